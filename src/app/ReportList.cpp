#include "app/ReportList.h"

#include <QTreeWidget>

namespace tillora::ReportList {

namespace {
constexpr int kTagRole = Qt::UserRole;
}

QTreeWidgetItem* append(QTreeWidget* list, const QStringList& cells, qint64 tag)
{
    auto* item = new QTreeWidgetItem(list);
    item->setText(0, QString::number(list->topLevelItemCount()));
    item->setData(0, kTagRole, tag);
    for (int i = 0; i < cells.size(); ++i) {
        item->setText(i + 1, cells.at(i));
        item->setTextAlignment(i + 1, Qt::Alignment(list->headerItem()->textAlignment(i + 1)));
    }
    return item;
}

void fill(QTreeWidget* list, const Rows& rows, const QStringList& columns)
{
    list->clear();
    for (const Row& row : rows) {
        QStringList cells;
        cells.reserve(columns.size());
        for (const QString& column : columns)
            cells << row.text(column);
        append(list, cells, row.integer(QStringLiteral("ID")));
    }
}

qint64 tag(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kTagRole).toLongLong() : 0;
}

void setColumns(
    QTreeWidget* list, const std::vector<int>& widths, const std::vector<Qt::Alignment>& alignments)
{
    for (int column = 0; column < int(widths.size()); ++column)
        list->setColumnWidth(column, widths[column]);
    for (int column = 0; column < int(alignments.size()); ++column)
        list->headerItem()->setTextAlignment(column, alignments[column] | Qt::AlignVCenter);
}

void renumber(QTreeWidget* list)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        list->topLevelItem(i)->setText(0, QString::number(i + 1));
}

} // namespace tillora::ReportList
