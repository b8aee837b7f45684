#pragma once

#include <QDateTime>
#include <QString>

namespace tillora {

// "2017-06-07  09:05:03": two blanks between date and time.
QString DateTimeText(const QDateTime& t);
// Six digits: the last two digits of now's year, then t's month and day.
QString DateStamp(const QDateTime& t, const QDateTime& now);
inline QString DateStamp(const QDateTime& now)
{
    return DateStamp(now, now);
}
// The stored form of a date-time in the database: "2017-06-07 09:05:03".
QString StoredDateTime(const QDateTime& t);

} // namespace tillora
