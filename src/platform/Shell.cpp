#include "Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace tillora {

bool DesktopShell::startProgram(const QString& program, const QStringList& arguments)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

bool DesktopShell::openAddress(const QString& address)
{
    // Accepts what a user would type: "example.com", a file path or a full address.
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::restartSelf(const QStringList& arguments)
{
    const QString self = QCoreApplication::applicationFilePath();
    if (self.isEmpty())
        return false;
    return QProcess::startDetached(self, arguments);
}

} // namespace tillora
