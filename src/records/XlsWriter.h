#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tillora {

// One worksheet "Sheet1": titles in the first row, every cell a text cell.
struct XlsSheet {
    QStringList titles;
    std::vector<QStringList> rows;
};

// Excel 97-2003 workbooks (.xls): one worksheet of text cells in the BIFF8 record
// format, inside a compound file. Every text is written as UTF-16, so any Unicode
// text (Chinese, emoji, line breaks, quotes) comes back exactly as given.
namespace XlsWriter {

constexpr int kMaxDataRows = 65535; // BIFF8 row numbers are 16-bit and the titles take row 0
constexpr int kMaxColumns = 256; // the widest sheet Excel 97-2003 opens (columns A to IV)
constexpr int kMaxCellLength = 32767; // UTF-16 units; Excel holds no longer text in a cell

// The workbook's bytes; std::nullopt when the sheet has more than kMaxDataRows rows, a row
// (titles included) has more than kMaxColumns cells or a cell more than kMaxCellLength
// UTF-16 units: such a sheet cannot be written without losing or garbling cells.
std::optional<QByteArray> workbook(const XlsSheet& sheet);

// Writes the workbook to path through a temporary file beside it and a rename, replacing an
// existing file; false (and nothing left behind, an existing file untouched) on any failure,
// too many rows included.
bool write(const QString& path, const XlsSheet& sheet);

// The compound file (version 3, 512-byte sectors) holding one stream named "Workbook" with
// the given bytes. A stream under 4,096 bytes is padded with zeros to 4,096 bytes, so that it
// lives in ordinary sectors rather than in the mini stream. Used by workbook(); public so that
// the container can be checked on its own.
QByteArray compoundFile(const QByteArray& workbookStream);

} // namespace XlsWriter

} // namespace tillora
