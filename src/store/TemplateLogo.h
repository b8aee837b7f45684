#pragma once

#include <QByteArray>

namespace tillora {

// The logo of a new database: a 430 x 430 JPEG drawn in code.
QByteArray templateLogoJpeg();

} // namespace tillora
