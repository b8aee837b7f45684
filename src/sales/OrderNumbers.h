#pragma once

#include <QString>

namespace tillora {

class Clock;
class Database;
class Prompter;

// Order numbers: a prefix (fixed text for mode 1, the date stamp otherwise)
// followed by a seven-digit sequence that runs on from the newest stored sale.
class OrderNumbers {
public:
    OrderNumbers(Database& db, Prompter& prompter, const Clock& clock);

    // The numbering mode as stored (全局单号格式 read as a whole number; 0 when
    // no row holds a non-zero mode). On a failed query mode keeps its value.
    void readMode(int& mode);
    // 单号格式; "" after "查询失败！".
    QString customPrefix();
    // ID of the newest sales record as number text; "" when there is none.
    QString newestRecordId();
    // 销售票号 of the newest sales record; "" when there is none.
    QString newestOrderNumber();

    // The number the sales window starts with: prefix + the last seven bytes of
    // the newest stored number, or prefix + "0000000".
    QString startNumber(int mode);
    // The next number after current: its last seven bytes plus one, at least seven
    // digits, under a prefix read anew. Modes other than 1 and 2 leave it unchanged.
    QString advance(const QString& current, int mode);

    static constexpr int kSequenceBytes = 7;

private:
    QString prefixFor(int mode);
    void reportQueryFailure();

    Database& m_db;
    Prompter& m_prompter;
    const Clock& m_clock;
};

} // namespace tillora
