#pragma once

#include <QString>
#include <QStringList>

namespace tillora {

// Starting other programs, opening addresses and restarting this program.
class Shell {
public:
    virtual ~Shell() = default;
    // Starts a program found on the search path (or by full path), detached.
    // False when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    // Opens an address with the desktop's handler.
    virtual bool openAddress(const QString& address) = 0;
    // Starts this program's own executable again with the given arguments, detached.
    // The caller then ends the running copy.
    virtual bool restartSelf(const QStringList& arguments) = 0;
};

// The desktop's own shell: QProcess::startDetached and QDesktopServices.
class DesktopShell final : public Shell {
public:
    bool startProgram(const QString& program, const QStringList& arguments) override;
    bool openAddress(const QString& address) override;
    bool restartSelf(const QStringList& arguments) override;
};

} // namespace tillora
