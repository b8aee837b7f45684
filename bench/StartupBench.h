#pragma once

#include <QString>

namespace bench {
void runStartup(const QString& tilloraExe, const QString& bareExe);
}
