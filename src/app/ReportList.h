#pragma once

#include "store/Database.h"

#include <QStringList>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace tillora {

// Report lists show database rows: column 0 holds the row's position counting
// from 1, the other columns the named table columns, and each list row carries
// the table's ID as its tag.
namespace ReportList {

// Empties the list and appends one list row per database row.
void fill(QTreeWidget* list, const Rows& rows, const QStringList& columns);
// The same with the cells after cell 0 made by cellsOf.
void fill(QTreeWidget* list, const Rows& rows, const std::function<QStringList(const Row&)>& cellsOf);
// Appends one list row with the given cells after cell 0 and the tag.
QTreeWidgetItem* append(QTreeWidget* list, const QStringList& cells, qint64 tag);
// The tag of a list row; 0 for none.
qint64 tag(const QTreeWidgetItem* item);
// Sets the column widths and the left/centre alignment of the titles.
void setColumns(
    QTreeWidget* list, const std::vector<int>& widths, const std::vector<Qt::Alignment>& alignments = {});
// Cell 0 of every row becomes its position again, after a deletion.
void renumber(QTreeWidget* list);

} // namespace ReportList
} // namespace tillora
