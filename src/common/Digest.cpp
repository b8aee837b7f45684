#include "common/Digest.h"

#include "common/Text.h"

#include <QCryptographicHash>

namespace tillora {

QString PasswordDigest(const QString& password)
{
    // The GBK bytes of any password GBK can encode. A character it cannot
    // encode (an emoji, say) is hashed in its GB18030 form rather than as a
    // placeholder, so that such passwords do not all share one digest.
    const QByteArray digest = QCryptographicHash::hash(gbkBytesDistinct(password), QCryptographicHash::Md5);
    return QString::fromLatin1(digest.toHex());
}

} // namespace tillora
