#pragma once

#include <QString>
#include <optional>

namespace tillora {

class Database;
class Prompter;

// Reads and writes the one row of 配置文件. Readers report a failed query
// themselves and return the empty text, false or 0, as the callers expect.
class Config {
public:
    Config(Database& db, Prompter& prompter);

    static QString yes() { return QStringLiteral("真"); }
    static QString no() { return QStringLiteral("假"); }
    static QString yesNo(bool value) { return value ? yes() : no(); }

    // The column's text from the first row; "查询失败！" and "" on failure.
    QString readText(const QString& column);
    // True exactly when the column holds "真"; "查询失败！" and false on failure.
    bool readYesNo(const QString& column);
    // 纸张边距 and 打印偏差 as whole numbers: the text read as a number and cut
    // toward zero; a failed read or a text that is no number gives 0.
    int readDistance(const QString& column);
    // A distance as stored, for its edit box; "假" after a failed query.
    QString readDistanceText(const QString& column);
    // 是否打印logo through the logo reader; "logo数据打开失败！" on failure.
    bool readPrintLogo();

    // One UPDATE of the row with ID 1; false on failure (the caller shows its own message).
    bool writeText(const QString& column, const QString& value);
    bool writeYesNo(const QString& column, bool value) { return writeText(column, yesNo(value)); }

    // Whether column names one of the record's columns.
    static bool isColumn(const QString& column);

private:
    std::optional<QString> readColumn(const QString& column, const QString& where);

    Database& m_db;
    Prompter& m_prompter;
};

// A distance text as the program uses it: the number it starts with, cut toward zero.
int distanceFromText(const QString& text);

} // namespace tillora
