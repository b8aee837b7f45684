#include "records/XlsWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

using namespace tillora;

// Every workbook is read back with xlrd (tests/records/read_xls.py), a reader that shares
// nothing with the writer.
namespace {

constexpr int kXlrdText = 1; // xlrd.XL_CELL_TEXT

// Runs the reader; fails the test when it does not finish cleanly or says anything on
// stderr (xlrd reports irregular compound files there and reads on).
QJsonObject runReader(const QStringList& arguments)
{
    QProcess reader;
    reader.start(QStringLiteral("python3"), QStringList { QStringLiteral(XLS_READER) } + arguments);
    if (!reader.waitForFinished(180000)) {
        ADD_FAILURE() << "the reader did not finish";
        return {};
    }
    const QByteArray errors = reader.readAllStandardError();
    EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
    if (reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0) {
        ADD_FAILURE() << "the reader failed: " << errors.toStdString();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

// The book's sheet names, size, cell type counts and the given rows (all rows when none).
QJsonObject readBook(const QString& path, const QList<int>& rows = {})
{
    QStringList arguments { QStringLiteral("book"), path };
    for (int row : rows)
        arguments << QString::number(row);
    return runReader(arguments);
}

// Expects the row as read back to hold exactly these texts, each in a text cell.
void expectRow(const QJsonObject& book, int row, const QStringList& texts)
{
    SCOPED_TRACE("row " + std::to_string(row));
    const QJsonArray cells = book[QStringLiteral("rows")][QString::number(row)].toArray();
    ASSERT_EQ(cells.size(), texts.size());
    for (qsizetype column = 0; column < texts.size(); ++column) {
        const QJsonArray cell = cells[column].toArray();
        EXPECT_EQ(cell[0].toInt(), kXlrdText) << "column " << column;
        // Compared as UTF-16 so that a difference shows where it starts.
        EXPECT_EQ(cell[1].toString(), texts[column])
            << "column " << column << ", length " << texts[column].size() << " written, "
            << cell[1].toString().size() << " read";
    }
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

quint32 u32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

// n UTF-16 units: a tag telling strings apart, then the fill character.
QString filled(int n, const QString& tag, QChar fill = QChar(0x6C49))
{
    QString text = tag.left(n);
    text.reserve(n);
    while (text.size() < n)
        text.append(fill);
    return text;
}

// n UTF-16 units of mixed text: ASCII, Chinese, emoji (surrogate pairs), line breaks, quotes.
QString mixed(int n, QRandomGenerator& random)
{
    QString text;
    text.reserve(n);
    while (text.size() < n) {
        switch (random.bounded(6)) {
        case 0:
            text.append(QChar(u'a' + random.bounded(26)));
            break;
        case 1:
        case 2:
            text.append(QChar(char16_t(0x4E00 + random.bounded(0x51A5))));
            break;
        case 3:
            if (text.size() + 2 <= n) {
                const char32_t emoji[] = { char32_t(0x1F600 + random.bounded(0x50)) };
                text.append(QString::fromUcs4(emoji, 1));
            }
            break;
        case 4:
            if (text.size() + 2 <= n)
                text.append(QStringLiteral("\r\n"));
            break;
        default:
            text.append(random.bounded(2) ? QChar(u'"') : QChar(u'\''));
        }
    }
    return text;
}

class XlsFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
};

// ---------------------------------------------------------------------------------------
// Sheets read back cell for cell. Every case: one sheet "Sheet1", the rows as written
// (titles first), every cell a text cell with exactly the text written.

struct SheetCase {
    const char* name;
    std::function<XlsSheet()> sheet;
};

const QStringList kTitles { QStringLiteral("单号"), QStringLiteral("销售时间"), QStringLiteral("商品"),
    QStringLiteral("数量"), QStringLiteral("金额"), QStringLiteral("收银员"), QStringLiteral("备注") };

// The SST record holds 8,224 bytes of data: its two counts (8 bytes), then strings of
// 3 header bytes and 2 bytes per UTF-16 unit each. The first cases place a string's start
// at each kind of record edge; the strings are the titles (written first) and then row 1.
const SheetCase kSheetCases[] = {
    { "OneDataRow",
        [] {
            return XlsSheet { kTitles,
                { { QStringLiteral("20240301-0001"), QStringLiteral("2024-03-01 09:15:02"),
                    QStringLiteral("可口可乐 330ml"), QStringLiteral("2"), QStringLiteral("7.00"),
                    QStringLiteral("管理员"), QStringLiteral("会员价") } } };
        } },
    { "TitlesOnly",
        [] {
            return XlsSheet { kTitles, {} };
        } },
    { "RemarkWithLineBreaks",
        [] {
            return XlsSheet { kTitles,
                { { QStringLiteral("1"), QStringLiteral("2024-03-01 10:00:00"), QStringLiteral("面包"),
                    QStringLiteral("1"), QStringLiteral("5.50"), QStringLiteral("张三"),
                    QStringLiteral("第一行\r\n第二行\r\n\r\n末行\r\n") } } };
        } },
    { "QuotesApostrophesAndOddText",
        [] {
            return XlsSheet { { QStringLiteral("\"引号\""), QStringLiteral("It's") },
                { { QStringLiteral("He said \"hi\""), QStringLiteral("'leading apostrophe"),
                    QStringLiteral("\""), QStringLiteral("''"), QStringLiteral("=1+1"),
                    QStringLiteral("  spaced\ttab  "), QStringLiteral("0012"),
                    QStringLiteral("👍🏽 表情 🇨🇳"),
                    QStringLiteral("Grüße, Ελληνικά, עברית") } } };
        } },
    { "ShortEmptyAndWideRows",
        [] {
            return XlsSheet { kTitles,
                { { QStringLiteral("只有一格") }, {}, { QString(), QStringLiteral("空文本之后"), QString() },
                    kTitles + QStringList { QStringLiteral("多出的一格") }, { QStringLiteral("末行") } } };
        } },
    { "RepeatedTextsShareStrings",
        [] {
            XlsSheet sheet { kTitles, {} };
            for (int row = 0; row < 300; ++row)
                sheet.rows.push_back({ QString::number(row % 7), QStringLiteral("现金"), kTitles[row % 7],
                    QStringLiteral("备注%1").arg(row / 3) });
            return sheet;
        } },
    { "StringStartsRightAtRecordEdge",
        // 3 + 8000 + 3 + 210 = 8216: the SST record is full; row 1 starts the CONTINUE.
        [] {
            return XlsSheet { { filled(4000, QStringLiteral("A")), filled(105, QStringLiteral("B")) },
                { { filled(50, QStringLiteral("C")), QStringLiteral("短") } } };
        } },
    { "ThreeBytesLeftHeaderMovesOn",
        // 3 + 8210 = 8213: the next header would fit, but not its first character.
        [] {
            return XlsSheet { { filled(4105, QStringLiteral("A")) },
                { { filled(40, QStringLiteral("B")), filled(3, QStringLiteral("C")) } } };
        } },
    { "FourBytesLeftHeaderMovesOn",
        // 3 + 8000 + 3 + 206 = 8212: header and half a character.
        [] {
            return XlsSheet { { filled(4000, QStringLiteral("A")), filled(103, QStringLiteral("B")) },
                { { filled(40, QStringLiteral("C")) } } };
        } },
    { "OneCharacterThenContinue",
        // 3 + 8208 = 8211: header and one character fit; 39 go on after a flags byte.
        [] {
            return XlsSheet { { filled(4104, QStringLiteral("A")) },
                { { filled(40, QStringLiteral("B")), filled(7, QStringLiteral("C")) } } };
        } },
    { "SurrogatePairStartsAtRecordEdge",
        // 5 bytes left: a header and one unit, but the first character is a pair.
        [] {
            return XlsSheet { { filled(4104, QStringLiteral("A")) },
                { { QStringLiteral("😀") + filled(30, QStringLiteral("B")) } } };
        } },
    { "SurrogatePairAcrossRecordEdge",
        // 3 + 8000 = 8003, then a header: 210 bytes for 105 units, the 105th a high surrogate.
        [] {
            return XlsSheet { { filled(4000, QStringLiteral("A")) },
                { { QString(104, QChar(u'x')) + QStringLiteral("😀") + filled(50, QStringLiteral("B")) } } };
        } },
    { "EmojiStringOverSeveralRecords",
        // 24,000 units of pairs; a CONTINUE holds 4,111.5 units after its flags byte.
        [] {
            QString emoji;
            for (int i = 0; i < 12000; ++i)
                emoji += i % 2 ? QStringLiteral("😀") : QStringLiteral("🍜");
            return XlsSheet { { emoji },
                { { filled(10, QStringLiteral("B")), emoji + QStringLiteral("!") } } };
        } },
    { "LongestCellsOverSeveralRecords",
        [] {
            return XlsSheet { { filled(XlsWriter::kMaxCellLength, QStringLiteral("A")) },
                { { filled(20000, QStringLiteral("B"), QChar(u'z')), filled(5, QStringLiteral("C")),
                    filled(XlsWriter::kMaxCellLength, QStringLiteral("D"), QChar(u'\'')) } } };
        } },
    { "MixedLengths",
        [] {
            QRandomGenerator random(20240301);
            XlsSheet sheet { kTitles, {} };
            QStringList seen;
            for (int row = 0; row < 60; ++row) {
                QStringList cells;
                for (int column = 0; column < 7; ++column) {
                    const int kind = random.bounded(10);
                    if (kind == 0 && !seen.isEmpty())
                        cells << seen[random.bounded(int(seen.size()))];
                    else
                        cells << (seen << mixed(kind < 5 ? random.bounded(40) : random.bounded(9000), random))
                                     .constLast();
                }
                sheet.rows.push_back(cells);
            }
            return sheet;
        } },
};

void PrintTo(const SheetCase& sheetCase, std::ostream* out)
{
    *out << sheetCase.name;
}

class SheetReadBack : public XlsFiles, public ::testing::WithParamInterface<SheetCase> { };

TEST_P(SheetReadBack, EveryCellComesBackAsWrittenText)
{
    const XlsSheet sheet = GetParam().sheet();
    const QString file = path(QStringLiteral("export.xls"));
    ASSERT_TRUE(XlsWriter::write(file, sheet));

    const QJsonObject book = readBook(file);
    ASSERT_FALSE(book.isEmpty());
    EXPECT_EQ(book[QStringLiteral("biff_version")].toInt(), 80);
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray(), QJsonArray { QStringLiteral("Sheet1") });

    std::vector<QStringList> rows { sheet.titles };
    rows.insert(rows.end(), sheet.rows.begin(), sheet.rows.end());
    qsizetype cells = 0;
    qsizetype widest = 0;
    for (const QStringList& row : rows) {
        cells += row.size();
        widest = std::max(widest, row.size());
    }
    EXPECT_EQ(book[QStringLiteral("nrows")].toInt(), int(rows.size()));
    EXPECT_EQ(book[QStringLiteral("ncols")].toInt(), widest);
    EXPECT_EQ(book[QStringLiteral("types")].toObject(),
        (QJsonObject { { QString::number(kXlrdText), int(cells) } }));
    for (size_t row = 0; row < rows.size(); ++row)
        expectRow(book, int(row), rows[row]);

    // Each distinct text once; strings, EXTSST and DIMENSIONS laid out as the stricter
    // readers expect.
    QSet<QString> distinct;
    for (const QStringList& row : rows)
        distinct.unite(QSet<QString>(row.begin(), row.end()));
    const QJsonObject layout = runReader({ QStringLiteral("layout"), file });
    EXPECT_EQ(layout[QStringLiteral("strings")].toInt(), distinct.size());
    EXPECT_EQ(layout[QStringLiteral("problems")].toArray(), QJsonArray());
}

INSTANTIATE_TEST_SUITE_P(Xls, SheetReadBack, ::testing::ValuesIn(kSheetCases),
    [](const ::testing::TestParamInfo<SheetCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// The largest sheet: 65,535 data rows under the titles, 7 columns of Chinese text. Its
// file is far beyond what the header's 109 FAT sector numbers cover.

QStringList fullSheetRow(int row)
{
    return { QStringLiteral("20240301-%1").arg(row, 5, 10, QLatin1Char('0')),
        QStringLiteral("2024-03-01 %1:%2:00")
            .arg(row / 3600 % 24, 2, 10, QLatin1Char('0'))
            .arg(row / 60 % 60, 2, 10, QLatin1Char('0')),
        QStringLiteral("商品名称%1号").arg(row), QString::number(row % 9 + 1),
        QStringLiteral("%1.50").arg(row % 100),
        row % 2 ? QStringLiteral("收银员甲") : QStringLiteral("收银员乙"),
        QStringLiteral("备注第%1行").arg(row) };
}

TEST_F(XlsFiles, FullSheetOf65535RowsReadsBackWithTitlesFirstAndLastRowIntact)
{
    XlsSheet sheet { kTitles, {} };
    sheet.rows.reserve(XlsWriter::kMaxDataRows);
    for (int row = 0; row < XlsWriter::kMaxDataRows; ++row)
        sheet.rows.push_back(fullSheetRow(row));
    const QString file = path(QStringLiteral("full.xls"));
    ASSERT_TRUE(XlsWriter::write(file, sheet));

    const QByteArray bytes = readFile(file);
    EXPECT_GT(u32At(bytes, 0x2C), 109u) << "FAT sectors";
    EXPECT_GT(u32At(bytes, 0x48), 0u) << "DIFAT sectors";

    const QJsonObject book = readBook(file, { 0, 1, 32768, 65534, 65535 });
    ASSERT_FALSE(book.isEmpty());
    EXPECT_EQ(book[QStringLiteral("sheets")].toArray(), QJsonArray { QStringLiteral("Sheet1") });
    EXPECT_EQ(book[QStringLiteral("nrows")].toInt(), 65536);
    EXPECT_EQ(book[QStringLiteral("ncols")].toInt(), 7);
    EXPECT_EQ(book[QStringLiteral("types")].toObject(),
        (QJsonObject { { QString::number(kXlrdText), 65536 * 7 } }));
    expectRow(book, 0, kTitles);
    for (int row : { 0, 32767, 65533, 65534 })
        expectRow(book, row + 1, fullSheetRow(row));
    EXPECT_EQ(
        runReader({ QStringLiteral("layout"), file })[QStringLiteral("problems")].toArray(), QJsonArray());
}

// ---------------------------------------------------------------------------------------
// Sheets that cannot be written without losing cells are refused: nothing is written and
// an existing file stays as it was.

TEST_F(XlsFiles, SheetsBeyondTheFormatsLimitsAreRefusedAndLeaveTheOldFile)
{
    XlsSheet tooManyRows { { QStringLiteral("单号") }, {} };
    tooManyRows.rows.assign(XlsWriter::kMaxDataRows + 1, { QStringLiteral("行") });
    XlsSheet tooManyColumns { {}, { {} } };
    for (int column = 0; column <= XlsWriter::kMaxColumns; ++column)
        tooManyColumns.rows[0] << QString::number(column);
    const struct {
        const char* name;
        XlsSheet sheet;
    } cases[] = {
        { "65,536 data rows (the last would replace the titles)", tooManyRows },
        { "257 columns", tooManyColumns },
        { "a cell of 32,768 units",
            { { QStringLiteral("备注") }, { { QString(XlsWriter::kMaxCellLength + 1, QChar(u'长')) } } } },
        { "an over-long title", { { QString(XlsWriter::kMaxCellLength + 1, QChar(u't')) }, {} } },
    };

    const QString file = path(QStringLiteral("old.xls"));
    const QByteArray old("an earlier export");
    ASSERT_TRUE(writeFile(file, old));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(XlsWriter::workbook(c.sheet).has_value());
        EXPECT_FALSE(XlsWriter::write(file, c.sheet));
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(entries(), QStringList { QStringLiteral("old.xls") });
    }

    // Right at the limits the sheet is written.
    tooManyRows.rows.pop_back();
    EXPECT_TRUE(XlsWriter::workbook(tooManyRows).has_value());
    tooManyColumns.rows[0].removeLast();
    EXPECT_TRUE(XlsWriter::workbook(tooManyColumns).has_value());
}

// ---------------------------------------------------------------------------------------
// Writing the file.

TEST_F(XlsFiles, WriteReplacesAnExistingFileAndLeavesNothingElse)
{
    const QString file = path(QStringLiteral("销售记录.xls"));
    ASSERT_TRUE(writeFile(file, QByteArray(100000, 'x')));
    const XlsSheet sheet { kTitles, { { QStringLiteral("新的") } } };
    ASSERT_TRUE(XlsWriter::write(file, sheet));

    EXPECT_EQ(readFile(file), XlsWriter::workbook(sheet).value());
    EXPECT_EQ(entries(), QStringList { QStringLiteral("销售记录.xls") });
    const QJsonObject book = readBook(file);
    expectRow(book, 0, kTitles);
    expectRow(book, 1, { QStringLiteral("新的") });
}

TEST_F(XlsFiles, WriteFailsWithoutLeavingAnything)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.xls")));
    const struct {
        const char* name;
        QString path;
    } cases[] = {
        { "folder that does not exist", path(QStringLiteral("missing/export.xls")) },
        { "path is a folder", path(QStringLiteral("folder.xls")) },
        { "empty path", QString() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(XlsWriter::write(c.path, XlsSheet { kTitles, { { QStringLiteral("行") } } }));
        EXPECT_EQ(entries(), QStringList { QStringLiteral("folder.xls") });
        EXPECT_TRUE(QDir(path(QStringLiteral("folder.xls"))).isEmpty());
    }
}

// ---------------------------------------------------------------------------------------
// The compound file on its own: the stream xlrd finds in it is the stream given, at sizes
// around each layout boundary. Below 4,096 bytes the stream is padded with zeros rather
// than put in the mini stream. One FAT sector maps 128 sectors; the header lists 109 FAT
// sectors, each DIFAT sector 127 more.

struct ContainerCase {
    qsizetype streamSize;
    quint32 fatSectors;
    quint32 difatSectors;
};

TEST_F(XlsFiles, CompoundFileHoldsTheStreamAtEveryLayoutBoundary)
{
    const ContainerCase cases[] = {
        { 0, 1, 0 }, // padded to 4,096
        { 1, 1, 0 },
        { 4095, 1, 0 },
        { 4096, 1, 0 },
        { 4097, 1, 0 },
        { 126 * 512, 1, 0 }, // 126 + directory + FAT = 128 sectors: one FAT sector
        { 126 * 512 + 1, 2, 0 },
        { 13842 * 512, 109, 0 }, // 13,842 + 1 + 109 = 13,952 = 109 × 128
        { 13842 * 512 + 1, 110, 1 },
        { 29970 * 512, 236, 1 }, // 29,970 + 1 + 236 + 1 = 30,208 = 236 × 128; 236 = 109 + 127
        { 29970 * 512 + 1, 237, 2 },
    };
    QRandomGenerator random(4096);
    for (const ContainerCase& c : cases) {
        SCOPED_TRACE("stream of " + std::to_string(c.streamSize) + " bytes");
        QByteArray stream(c.streamSize, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(stream.data()), c.streamSize / 4);
        for (qsizetype i = c.streamSize / 4 * 4; i < c.streamSize; ++i)
            stream[i] = char(i);

        const QByteArray file = XlsWriter::compoundFile(stream);
        const QString filePath = path(QStringLiteral("container.bin"));
        ASSERT_TRUE(writeFile(filePath, file));
        EXPECT_EQ(u32At(file, 0x2C), c.fatSectors);
        EXPECT_EQ(u32At(file, 0x48), c.difatSectors);
        const qsizetype stored = std::max<qsizetype>(c.streamSize, 4096);
        const qsizetype sectors = (stored + 511) / 512 + 1 + c.fatSectors + c.difatSectors;
        EXPECT_EQ(file.size(), 512 * (1 + sectors));

        const QJsonObject read = runReader({ QStringLiteral("stream"), filePath });
        const QByteArray expected = stream + QByteArray(stored - c.streamSize, '\0');
        EXPECT_EQ(read[QStringLiteral("size")].toInteger(), stored);
        EXPECT_EQ(read[QStringLiteral("sha256")].toString(),
            QString::fromLatin1(QCryptographicHash::hash(expected, QCryptographicHash::Sha256).toHex()));
    }
}

TEST_F(XlsFiles, SmallWorkbookIsPaddedTo4096Bytes)
{
    const QString file = path(QStringLiteral("small.xls"));
    ASSERT_TRUE(XlsWriter::write(file, { { QStringLiteral("单号") }, { { QStringLiteral("1") } } }));
    EXPECT_EQ(runReader({ QStringLiteral("stream"), file })[QStringLiteral("size")].toInt(), 4096);
    const QJsonObject book = readBook(file);
    expectRow(book, 0, { QStringLiteral("单号") });
    expectRow(book, 1, { QStringLiteral("1") });
}

// ---------------------------------------------------------------------------------------
// LibreOffice, where it is installed, reads the same cells (line breaks become LF there).

QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

TEST_F(XlsFiles, LibreOfficeReadsTheSameCells)
{
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";

    const XlsSheet sheet { kTitles,
        { { QStringLiteral("1"), QStringLiteral("第一行\r\n第二行"), QStringLiteral("He said \"hi\""),
            QStringLiteral("It's"), QStringLiteral("👍🏽"), filled(9000, QStringLiteral("长")) } } };
    const QString file = path(QStringLiteral("office.xls"));
    ASSERT_TRUE(XlsWriter::write(file, sheet));
    QProcess convert;
    convert.start(office,
        { QStringLiteral("-env:UserInstallation=file://") + path(QStringLiteral("profile")),
            QStringLiteral("--headless"), QStringLiteral("--convert-to"),
            QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"),
            path(QStringLiteral("csv")), file });
    ASSERT_TRUE(convert.waitForFinished(120000));
    const QList<QStringList> rows
        = parseCsv(QString::fromUtf8(readFile(path(QStringLiteral("csv/office.csv")))));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], kTitles);
    QStringList expected = sheet.rows[0];
    expected[1].replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(rows[1].mid(0, expected.size()), expected);
}

} // namespace
