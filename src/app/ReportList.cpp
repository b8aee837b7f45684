#include "app/ReportList.h"

#include <QTreeWidget>

namespace tillora::ReportList {

namespace {
constexpr int kTagRole = Qt::UserRole;
}

QTreeWidgetItem* makeItem(const QTreeWidget* list, int position, const QStringList& cells, qint64 tag)
{
    QStringList texts;
    texts.reserve(cells.size() + 1);
    texts << QString::number(position) << cells;
    auto* item = new QTreeWidgetItem(texts);
    item->setData(0, kTagRole, tag);
    for (int i = 1; i < texts.size(); ++i)
        item->setTextAlignment(i, Qt::Alignment(list->headerItem()->textAlignment(i)));
    return item;
}

QTreeWidgetItem* append(QTreeWidget* list, const QStringList& cells, qint64 tag)
{
    QTreeWidgetItem* item = makeItem(list, list->topLevelItemCount() + 1, cells, tag);
    list->addTopLevelItem(item);
    return item;
}

void fill(QTreeWidget* list, const Rows& rows, const std::function<QStringList(const Row&)>& cellsOf)
{
    list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(rows.size()));
    for (const Row& row : rows)
        items << makeItem(list, int(items.size()) + 1, cellsOf(row), row.integer(QStringLiteral("ID")));
    // One insertion for all rows: the view is told once.
    list->addTopLevelItems(items);
}

void fill(QTreeWidget* list, const Rows& rows, const QStringList& columns)
{
    fill(list, rows, [&columns](const Row& row) {
        QStringList cells;
        cells.reserve(columns.size());
        for (const QString& column : columns)
            cells << row.text(column);
        return cells;
    });
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
