#pragma once

#include <QString>

namespace tillora {

// MD5 of the text's GBK bytes, as 32 lowercase hexadecimal digits.
QString PasswordDigest(const QString& password);

} // namespace tillora
