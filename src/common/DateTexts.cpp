#include "common/DateTexts.h"

namespace tillora {

namespace {

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// "YYYY-MM-DD" + separator + "HH:MM:SS", written with C digits whatever the
// user's locale; empty for an invalid date-time.
QString dateTimeText(const QDateTime& t, QLatin1StringView separator)
{
    if (!t.isValid())
        return {};
    const QDate d = t.date();
    const QTime time = t.time();
    return QStringLiteral("%1-%2-%3")
               .arg(d.year(), 4, 10, QLatin1Char('0'))
               .arg(twoDigits(d.month()), twoDigits(d.day()))
        + separator
        + QStringLiteral("%1:%2:%3")
              .arg(twoDigits(time.hour()), twoDigits(time.minute()), twoDigits(time.second()));
}

} // namespace

QString DateTimeText(const QDateTime& t)
{
    return dateTimeText(t, QLatin1StringView("  "));
}

QString DateStamp(const QDateTime& t, const QDateTime& now)
{
    if (!t.isValid() || !now.isValid())
        return {};
    const int year = (now.date().year() % 100 + 100) % 100;
    return twoDigits(year) + twoDigits(t.date().month()) + twoDigits(t.date().day());
}

QString StoredDateTime(const QDateTime& t)
{
    return dateTimeText(t, QLatin1StringView(" "));
}

} // namespace tillora
