#pragma once

#include "app/Services.h"

class QTreeWidget;
class QWidget;

namespace tillora {

// Writes a report list, exactly as shown, into an Excel 97-2003 workbook the
// user names: the column titles in the first row, every cell as text.
void exportListToExcel(const QTreeWidget& list, Services services, QWidget* owner);

} // namespace tillora
