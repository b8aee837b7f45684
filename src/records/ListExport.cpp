#include "records/ListExport.h"

#include "common/DateTexts.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "records/XlsWriter.h"

#include <QTreeWidget>

namespace tillora {

namespace {

XlsSheet sheetOf(const QTreeWidget& list)
{
    XlsSheet sheet;
    const QTreeWidgetItem* header = list.headerItem();
    for (int column = 0; column < list.columnCount(); ++column)
        sheet.titles << header->text(column);
    sheet.rows.reserve(size_t(list.topLevelItemCount()));
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list.topLevelItem(row);
        QStringList cells;
        for (int column = 0; column < list.columnCount(); ++column)
            cells << item->text(column);
        sheet.rows.push_back(std::move(cells));
    }
    return sheet;
}

} // namespace

void exportListToExcel(const QTreeWidget& list, Services services, QWidget* owner)
{
    Prompter& prompter = services.prompter;
    if (list.topLevelItemCount() == 0) {
        prompter.message(
            QStringLiteral("没有数据可以导出！"), QStringLiteral("提示："), Prompter::Icon::None, owner);
        return;
    }
    Prompter::FileDialog dialog;
    dialog.filter = QStringLiteral("*.xls (*.xls)");
    dialog.proposedName = DateStamp(services.clock.now()) + QStringLiteral("查询结果");
    dialog.defaultSuffix = QStringLiteral("xls");
    const QString path = prompter.saveFile(dialog, owner);
    if (path.isEmpty()) {
        prompter.info(QStringLiteral("保存失败！"), owner);
        return;
    }
    // A list longer than one sheet holds is refused rather than cut.
    if (!XlsWriter::write(path, sheetOf(list))) {
        prompter.info(QStringLiteral("保存失败！错误代码：01"), owner);
        return;
    }
    prompter.message(QStringLiteral("保存成功！\r\n保存在：") + path, QStringLiteral("提示："),
        Prompter::Icon::Information, owner);
}

} // namespace tillora
