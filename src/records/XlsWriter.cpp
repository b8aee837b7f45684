#include "records/XlsWriter.h"

#include <QHash>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>

namespace tillora::XlsWriter {

namespace {

// Record types of the workbook stream.
constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kCodePage = 0x0042;
constexpr quint16 kWindow1 = 0x003D;
constexpr quint16 kFont = 0x0031;
constexpr quint16 kXf = 0x00E0;
constexpr quint16 kStyle = 0x0293;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kSst = 0x00FC;
constexpr quint16 kContinue = 0x003C;
constexpr quint16 kExtSst = 0x00FF;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kWindow2 = 0x023E;
constexpr quint16 kLabelSst = 0x00FD;

// The most data one record carries; longer data goes on in CONTINUE records.
constexpr qsizetype kMaxRecordData = 8224;
// Strings are stored as UTF-16LE ("fHighByte" set), never as compressed 8-bit text.
constexpr quint8 kUtf16Flags = 0x01;
// XF 0-14 are the style XFs every workbook carries; XF 15 is the one cell XF.
constexpr int kStyleXfCount = 15;
constexpr quint16 kCellXf = 15;
// Strings of the SST per EXTSST bucket, and the most buckets Excel keeps.
constexpr qsizetype kMinStringsPerBucket = 8;
constexpr qsizetype kMaxBuckets = 128;
// No workbook this writer is asked for comes near this; it keeps every stream offset
// within the 32-bit fields that hold them.
constexpr qsizetype kMaxStreamBytes = qsizetype(1) << 31;

// Compound file constants.
constexpr qsizetype kSectorSize = 512;
constexpr qsizetype kIdsPerSector = kSectorSize / 4;
constexpr qsizetype kHeaderDifatEntries = 109;
constexpr qsizetype kMinStreamSize = 4096; // streams below this size would belong in the mini stream
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFreeSector = 0xFFFFFFFF;
constexpr quint32 kNoStream = 0xFFFFFFFF;

// A little-endian byte stream of BIFF records, grown in a buffer reserved up front.
class RecordStream {
public:
    explicit RecordStream(qsizetype reserve) { m_bytes.reserve(reserve); }

    qsizetype size() const { return m_bytes.size(); }

    void u8(quint8 value) { m_bytes.append(char(value)); }
    void u16(quint16 value)
    {
        char raw[2];
        qToLittleEndian(value, raw);
        m_bytes.append(raw, 2);
    }
    void u32(quint32 value)
    {
        char raw[4];
        qToLittleEndian(value, raw);
        m_bytes.append(raw, 4);
    }
    void bytes(const char* data, qsizetype count) { m_bytes.append(data, count); }
    void utf16(const QChar* units, qsizetype count)
    {
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            m_bytes.append(reinterpret_cast<const char*>(units), count * 2);
        } else {
            for (qsizetype i = 0; i < count; ++i)
                u16(units[i].unicode());
        }
    }

    // Starts a record whose length is filled in by endRecord(); returns the record's offset.
    qsizetype beginRecord(quint16 type)
    {
        const qsizetype start = size();
        u16(type);
        u16(0);
        return start;
    }
    void endRecord(qsizetype start) { patch16(start + 2, quint16(size() - start - 4)); }
    qsizetype recordDataSize(qsizetype start) const { return size() - start - 4; }

    void patch16(qsizetype at, quint16 value) { qToLittleEndian(value, m_bytes.data() + at); }
    void patch32(qsizetype at, quint32 value) { qToLittleEndian(value, m_bytes.data() + at); }

    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

// The shared string table: every distinct cell text once, in order of first use, and each
// cell's index into it in the order the cells are written.
struct StringTable {
    std::vector<const QString*> strings;
    std::vector<quint32> cellIndexes;
    qsizetype textBytes = 0; // the strings' bytes in the SST, without CONTINUE headers
};

bool isPair(const QChar* units, qsizetype at, qsizetype count)
{
    return at + 1 < count && units[at].isHighSurrogate() && units[at + 1].isLowSurrogate();
}

void writeBof(RecordStream& out, quint16 substreamType)
{
    const qsizetype record = out.beginRecord(kBof);
    out.u16(0x0600); // BIFF8
    out.u16(substreamType);
    out.u16(0x0DBB); // build
    out.u16(0x07CC); // build year
    out.u32(0); // file history flags
    out.u32(0x06); // lowest BIFF version that reads every record
    out.endRecord(record);
}

void writeEof(RecordStream& out)
{
    out.endRecord(out.beginRecord(kEof));
}

void writeFont(RecordStream& out)
{
    static const QString name = QStringLiteral("宋体");
    const qsizetype record = out.beginRecord(kFont);
    out.u16(240); // 12 points, in twentieths of a point
    out.u16(0); // not bold, italic, struck out
    out.u16(0x7FFF); // automatic colour
    out.u16(400); // normal weight
    out.u16(0); // no super- or subscript
    out.u8(0); // no underline
    out.u8(0); // family
    out.u8(0x86); // GB2312 character set
    out.u8(0);
    out.u8(quint8(name.size()));
    out.u8(kUtf16Flags);
    out.utf16(name.constData(), name.size());
    out.endRecord(record);
}

void writeXf(RecordStream& out, bool style, quint8 usedAttributes)
{
    const qsizetype record = out.beginRecord(kXf);
    out.u16(0); // font 0
    out.u16(0); // number format "General"
    // Locked; a style XF has no parent (0xFFF), the cell XF inherits from style XF 0.
    out.u16(style ? 0xFFF5 : 0x0001);
    out.u8(0x20); // general horizontal alignment, bottom-aligned, no wrapping
    out.u8(0); // no rotation
    out.u8(0); // no indent
    out.u8(usedAttributes);
    out.u32(0); // no borders
    out.u32(0); // border colours
    out.u16(0x20C0); // no fill: system foreground and background colours
    out.endRecord(record);
}

void writeGlobalsHead(RecordStream& out)
{
    writeBof(out, 0x0005);

    qsizetype record = out.beginRecord(kCodePage);
    out.u16(1200); // UTF-16
    out.endRecord(record);

    record = out.beginRecord(kWindow1);
    out.u16(0); // window position and size, in twips
    out.u16(0);
    out.u16(0x4000);
    out.u16(0x2000);
    out.u16(0x0038); // horizontal and vertical scroll bars, sheet tabs
    out.u16(0); // the first sheet is selected and shown first
    out.u16(0);
    out.u16(1); // one selected sheet
    out.u16(600); // tab bar takes 60 % of the scroll bar's width
    out.endRecord(record);

    writeFont(out);
    for (int i = 0; i < kStyleXfCount; ++i)
        writeXf(out, true, i == 0 ? 0x00 : 0xF4);
    writeXf(out, false, 0x00);

    record = out.beginRecord(kStyle);
    out.u16(0x8000); // built-in style on XF 0
    out.u8(0); // "Normal"
    out.u8(0xFF);
    out.endRecord(record);
}

// Writes the sheet's entry and returns the offset of the field that receives the offset of
// the sheet's BOF record, known only once the globals are written.
qsizetype writeBoundSheet(RecordStream& out)
{
    static const char name[] = "Sheet1";
    const qsizetype record = out.beginRecord(kBoundSheet);
    const qsizetype offsetField = out.size();
    out.u32(0);
    out.u8(0); // visible
    out.u8(0); // worksheet
    out.u8(quint8(sizeof name - 1));
    out.u8(0); // 8-bit characters
    out.bytes(name, sizeof name - 1);
    out.endRecord(record);
    return offsetField;
}

struct Bucket {
    quint32 streamOffset;
    quint16 recordOffset;
};

// Writes the SST and its CONTINUE records. A string's length and flags always stay in the
// same record as its first character (a surrogate pair counts as one character here); its
// characters may go on over any number of CONTINUE records, each of which then starts with
// the flags byte again. A UTF-16 unit, and a surrogate pair, is never cut.
std::vector<Bucket> writeSst(RecordStream& out, const StringTable& table, qsizetype perBucket)
{
    std::vector<Bucket> buckets;
    buckets.reserve(size_t((qsizetype(table.strings.size()) + perBucket - 1) / perBucket));

    qsizetype record = out.beginRecord(kSst);
    out.u32(quint32(table.cellIndexes.size()));
    out.u32(quint32(table.strings.size()));
    const auto room = [&] { return kMaxRecordData - out.recordDataSize(record); };
    const auto nextRecord = [&] {
        out.endRecord(record);
        record = out.beginRecord(kContinue);
    };

    for (size_t i = 0; i < table.strings.size(); ++i) {
        const QString& text = *table.strings[i];
        const QChar* units = text.constData();
        const qsizetype count = text.size();
        const qsizetype firstCharacter = count == 0 ? 0 : (isPair(units, 0, count) ? 2 : 1);
        if (room() < 3 + 2 * firstCharacter)
            nextRecord();
        if (qsizetype(i) % perBucket == 0)
            buckets.push_back({ quint32(out.size()), quint16(out.size() - record) });
        out.u16(quint16(count));
        out.u8(kUtf16Flags);
        qsizetype done = 0;
        for (;;) {
            qsizetype units_now = std::min(count - done, room() / 2);
            if (done + units_now < count && units_now > 1 && isPair(units, done + units_now - 1, count))
                --units_now;
            out.utf16(units + done, units_now);
            done += units_now;
            if (done == count)
                break;
            nextRecord();
            out.u8(kUtf16Flags);
        }
    }
    out.endRecord(record);
    return buckets;
}

void writeExtSst(RecordStream& out, const std::vector<Bucket>& buckets, qsizetype perBucket)
{
    const qsizetype record = out.beginRecord(kExtSst);
    out.u16(quint16(perBucket));
    for (const Bucket& bucket : buckets) {
        out.u32(bucket.streamOffset);
        out.u16(bucket.recordOffset);
        out.u16(0);
    }
    out.endRecord(record);
}

void writeSheet(
    RecordStream& out, const XlsSheet& sheet, const StringTable& table, quint32 usedRows, quint16 usedColumns)
{
    writeBof(out, 0x0010);

    // DIMENSIONS goes before the first cell: readers size the sheet from it.
    qsizetype record = out.beginRecord(kDimensions);
    out.u32(0);
    out.u32(usedRows); // one past the last row with a cell
    out.u16(0);
    out.u16(usedColumns); // one past the last column with a cell
    out.u16(0);
    out.endRecord(record);

    record = out.beginRecord(kWindow2);
    out.u16(0x06B6); // grid, headers, zeros, default grid colour, outline symbols, selected, shown
    out.u16(0); // top row
    out.u16(0); // left column
    out.u16(0x40); // grid colour: system foreground
    out.u16(0);
    out.u16(0); // default zoom in page break preview
    out.u16(0); // default zoom in normal view
    out.u32(0);
    out.endRecord(record);

    size_t cell = 0;
    const auto writeRow = [&](quint16 row, const QStringList& texts) {
        for (qsizetype column = 0; column < texts.size(); ++column) {
            const qsizetype labelRecord = out.beginRecord(kLabelSst);
            out.u16(row);
            out.u16(quint16(column));
            out.u16(kCellXf);
            out.u32(table.cellIndexes[cell++]);
            out.endRecord(labelRecord);
        }
    };
    writeRow(0, sheet.titles);
    for (size_t row = 0; row < sheet.rows.size(); ++row)
        writeRow(quint16(row + 1), sheet.rows[row]);

    writeEof(out);
}

void putU16(char* at, quint16 value)
{
    qToLittleEndian(value, at);
}
void putU32(char* at, quint32 value)
{
    qToLittleEndian(value, at);
}

// One 128-byte directory entry.
void putDirectoryEntry(
    char* entry, const QString& name, quint8 type, quint32 child, quint32 start, quint64 size)
{
    for (qsizetype i = 0; i < name.size(); ++i)
        putU16(entry + 2 * i, name[i].unicode());
    putU16(entry + 64, quint16((name.size() + 1) * 2)); // bytes, the terminating NUL included
    entry[66] = char(type);
    entry[67] = 1; // black
    putU32(entry + 68, kNoStream); // left sibling
    putU32(entry + 72, kNoStream); // right sibling
    putU32(entry + 76, child);
    putU32(entry + 116, start);
    qToLittleEndian(size, entry + 120);
}

} // namespace

std::optional<QByteArray> workbook(const XlsSheet& sheet)
{
    if (sheet.rows.size() > size_t(kMaxDataRows))
        return std::nullopt;

    // Number the distinct texts and check every row and cell on the way.
    StringTable table;
    qsizetype cellCount = sheet.titles.size();
    qsizetype widest = sheet.titles.size();
    quint32 usedRows = sheet.titles.isEmpty() ? 0 : 1;
    for (size_t row = 0; row < sheet.rows.size(); ++row) {
        cellCount += sheet.rows[row].size();
        widest = std::max(widest, sheet.rows[row].size());
        if (!sheet.rows[row].isEmpty())
            usedRows = quint32(row + 2);
    }
    if (widest > kMaxColumns)
        return std::nullopt;
    table.cellIndexes.reserve(size_t(cellCount));
    QHash<QString, quint32> indexOf;
    indexOf.reserve(cellCount);
    const auto number = [&](const QStringList& texts) {
        for (const QString& text : texts) {
            if (text.size() > kMaxCellLength)
                return false;
            auto it = indexOf.constFind(text);
            if (it == indexOf.constEnd()) {
                it = indexOf.insert(text, quint32(table.strings.size()));
                // The sheet's own strings stay put while it is written; the hash's do not.
                table.strings.push_back(&text);
                table.textBytes += 3 + 2 * text.size();
            }
            table.cellIndexes.push_back(*it);
        }
        return true;
    };
    if (!number(sheet.titles))
        return std::nullopt;
    for (const QStringList& row : sheet.rows) {
        if (!number(row))
            return std::nullopt;
    }

    const qsizetype uniqueCount = qsizetype(table.strings.size());
    const qsizetype perBucket = std::clamp((uniqueCount + kMaxBuckets - 1) / kMaxBuckets,
        kMinStringsPerBucket, qsizetype(std::numeric_limits<quint16>::max()));
    const qsizetype bucketCount = (uniqueCount + perBucket - 1) / perBucket;
    // Globals and sheet records, the SST with room for each CONTINUE's header, repeated flags
    // byte and the few bytes left unused when a string moves on, the EXTSST and one
    // LABELSST of 14 bytes per cell.
    const qsizetype estimate = 1024 + 12 + table.textBytes + (table.textBytes / (kMaxRecordData - 8) + 1) * 12
        + 8 + 8 * bucketCount + 14 * cellCount;
    if (estimate > kMaxStreamBytes)
        return std::nullopt;

    RecordStream out(estimate);
    writeGlobalsHead(out);
    const qsizetype sheetOffsetField = writeBoundSheet(out);
    const std::vector<Bucket> buckets = writeSst(out, table, perBucket);
    writeExtSst(out, buckets, perBucket);
    writeEof(out);
    out.patch32(sheetOffsetField, quint32(out.size()));
    writeSheet(out, sheet, table, usedRows, quint16(widest));
    return compoundFile(out.take());
}

QByteArray compoundFile(const QByteArray& workbookStream)
{
    const qsizetype streamSize = std::max(workbookStream.size(), kMinStreamSize);
    const qsizetype streamSectors = (streamSize + kSectorSize - 1) / kSectorSize;

    // The FAT covers every sector, its own and the DIFAT's included; the header lists the
    // first 109 FAT sectors, each DIFAT sector 127 more and the next DIFAT sector's number.
    qsizetype fatSectors = 0;
    qsizetype difatSectors = 0;
    for (;;) {
        const qsizetype sectors = streamSectors + 1 + fatSectors + difatSectors;
        const qsizetype fatNeeded = (sectors + kIdsPerSector - 1) / kIdsPerSector;
        const qsizetype difatNeeded = fatNeeded > kHeaderDifatEntries
            ? (fatNeeded - kHeaderDifatEntries + kIdsPerSector - 2) / (kIdsPerSector - 1)
            : 0;
        if (fatNeeded == fatSectors && difatNeeded == difatSectors)
            break;
        fatSectors = fatNeeded;
        difatSectors = difatNeeded;
    }

    // Sectors: the stream, one directory sector, the FAT, the DIFAT.
    const quint32 directorySector = quint32(streamSectors);
    const quint32 firstFatSector = directorySector + 1;
    const quint32 firstDifatSector = firstFatSector + quint32(fatSectors);
    const qsizetype sectorCount = streamSectors + 1 + fatSectors + difatSectors;

    QByteArray file(kSectorSize * (1 + sectorCount), '\0');
    char* const data = file.data();
    const auto sector = [&](qsizetype number) { return data + kSectorSize * (1 + number); };

    // Header.
    static const unsigned char signature[8] = { 0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1 };
    std::memcpy(data, signature, sizeof signature);
    putU16(data + 0x18, 0x003E); // minor version
    putU16(data + 0x1A, 0x0003); // version 3: 512-byte sectors
    putU16(data + 0x1C, 0xFFFE); // little-endian
    putU16(data + 0x1E, 9); // 2^9-byte sectors
    putU16(data + 0x20, 6); // 2^6-byte mini sectors
    putU32(data + 0x2C, quint32(fatSectors));
    putU32(data + 0x30, directorySector);
    putU32(data + 0x38, quint32(kMinStreamSize)); // mini stream cutoff
    putU32(data + 0x3C, kEndOfChain); // no mini FAT
    putU32(data + 0x44, difatSectors > 0 ? firstDifatSector : kEndOfChain);
    putU32(data + 0x48, quint32(difatSectors));
    for (qsizetype i = 0; i < kHeaderDifatEntries; ++i)
        putU32(data + 0x4C + 4 * i, i < fatSectors ? firstFatSector + quint32(i) : kFreeSector);

    // DIFAT sectors: the FAT sectors' numbers beyond the header's 109, then the next one.
    for (qsizetype d = 0; d < difatSectors; ++d) {
        char* const at = sector(firstDifatSector + d);
        for (qsizetype i = 0; i < kIdsPerSector - 1; ++i) {
            const qsizetype fat = kHeaderDifatEntries + d * (kIdsPerSector - 1) + i;
            putU32(at + 4 * i, fat < fatSectors ? firstFatSector + quint32(fat) : kFreeSector);
        }
        putU32(at + 4 * (kIdsPerSector - 1),
            d + 1 < difatSectors ? firstDifatSector + quint32(d + 1) : kEndOfChain);
    }

    // FAT: the stream's chain, the directory, the FAT and DIFAT sectors themselves.
    char* const fat = sector(firstFatSector);
    for (qsizetype i = 0; i < fatSectors * kIdsPerSector; ++i) {
        quint32 entry = kFreeSector;
        if (i < streamSectors)
            entry = i + 1 < streamSectors ? quint32(i + 1) : kEndOfChain;
        else if (i == directorySector)
            entry = kEndOfChain;
        else if (i < firstDifatSector)
            entry = kFatSector;
        else if (i < sectorCount)
            entry = kDifatSector;
        putU32(fat + 4 * i, entry);
    }

    // Directory: the root storage (no mini stream), "Workbook", two unused entries.
    char* const directory = sector(directorySector);
    putDirectoryEntry(directory, QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    putDirectoryEntry(directory + 128, QStringLiteral("Workbook"), 2, kNoStream, 0, quint64(streamSize));
    for (int unused = 2; unused < 4; ++unused) {
        char* const entry = directory + 128 * unused;
        putU32(entry + 68, kNoStream);
        putU32(entry + 72, kNoStream);
        putU32(entry + 76, kNoStream);
    }

    // The stream; zeros pad it to whole sectors (and to 4,096 bytes when it is shorter).
    std::memcpy(sector(0), workbookStream.constData(), size_t(workbookStream.size()));
    return file;
}

bool write(const QString& path, const XlsSheet& sheet)
{
    const std::optional<QByteArray> bytes = workbook(sheet);
    if (!bytes)
        return false;
    // QSaveFile writes a temporary file beside path and renames it over path on commit; the
    // temporary file is removed when anything fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(*bytes) != bytes->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tillora::XlsWriter
