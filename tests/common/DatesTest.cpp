#include "common/DateTexts.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tillora;

TEST(DateTexts, DisplayedAndStoredForms)
{
    struct Case {
        QDateTime t;
        QString shown;
        QString stored;
    };
    const std::vector<Case> cases = {
        { QDateTime(QDate(2017, 6, 7), QTime(9, 5, 3)), "2017-06-07  09:05:03", "2017-06-07 09:05:03" },
        { QDateTime(QDate(2017, 12, 31), QTime(23, 59, 59)), "2017-12-31  23:59:59", "2017-12-31 23:59:59" },
        { QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0)), "2024-01-01  00:00:00", "2024-01-01 00:00:00" },
        { QDateTime(), "", "" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateTimeText(c.t), c.shown);
        EXPECT_EQ(StoredDateTime(c.t), c.stored);
    }
}

TEST(DateTexts, StampTakesYearFromNow)
{
    struct Case {
        QDateTime t;
        QDateTime now;
        QString stamp;
    };
    const QDateTime june7(QDate(2017, 6, 7), QTime(9, 5, 3));
    const std::vector<Case> cases = {
        { june7, june7, "170607" },
        { june7, QDateTime(QDate(2018, 1, 2), QTime(8, 0)), "180607" },
        { QDateTime(QDate(1999, 11, 30), QTime(0, 0)), QDateTime(QDate(2000, 1, 1), QTime(0, 0)), "001130" },
        { QDateTime(), june7, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(DateStamp(c.t, c.now), c.stamp);
    EXPECT_EQ(DateStamp(june7), "170607");
}
