#pragma once

#include "platform/Clock.h"
#include "platform/Shell.h"

#include <QDateTime>
#include <QStringList>
#include <vector>

namespace tillora::test {

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime time = QDateTime(QDate(2017, 6, 7), QTime(9, 5, 3)))
        : time(std::move(time))
    {
    }
    QDateTime now() const override { return time; }
    QDateTime time;
};

class RecordingShell final : public Shell {
public:
    struct Call {
        QString what; // "start", "open" or "restart"
        QString target;
        QStringList arguments;
    };
    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        calls.push_back({ QStringLiteral("start"), program, arguments });
        return true;
    }
    bool openAddress(const QString& address) override
    {
        calls.push_back({ QStringLiteral("open"), address, {} });
        return true;
    }
    bool restartSelf(const QStringList& arguments) override
    {
        calls.push_back({ QStringLiteral("restart"), {}, arguments });
        return true;
    }
    std::vector<Call> calls;
};

} // namespace tillora::test
