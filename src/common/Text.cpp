#include "common/Text.h"

#include <QStringEncoder>
#include <QStringView>
#include <algorithm>
#include <climits>

namespace tillora {

namespace {

// Written by gbkBytes() in place of a character GBK cannot encode: the
// full-width question mark, two bytes like the width counted for it.
constexpr char unencodableBytes[] = "\xA3\xBF";
constexpr int unencodableWidth = 2;

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The number of UTF-16 units of the character starting at i: a surrogate pair
// is one character; a lone surrogate is a character of its own.
qsizetype charSizeAt(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

// The number of UTF-16 units of the character that ends just before end.
qsizetype charSizeBefore(QStringView text, qsizetype end)
{
    return end >= 2 && text[end - 1].isLowSurrogate() && text[end - 2].isHighSurrogate() ? 2 : 1;
}

// Encodes one character at a time. Qt's ICU-backed encoder writes "?" for a
// character it cannot encode and nothing at all for some (soft hyphen, zero
// width space, variation selectors), and its error flag stays set once raised
// even after resetState(), so the output itself is examined instead.
class CharEncoder {
public:
    explicit CharEncoder(const char* name)
        : encoder_(name, QStringConverter::Flag::Stateless)
    {
    }
    bool isValid() const { return encoder_.isValid(); }

    // The bytes of one non-ASCII character; empty when it cannot be encoded.
    QByteArray encode(QStringView ch)
    {
        QByteArray bytes = encoder_.encode(ch);
        // No non-ASCII character is mapped to "?" by GBK or GB18030.
        if (bytes.size() == 1 && bytes[0] == '?')
            bytes.clear();
        return bytes;
    }

private:
    QStringEncoder encoder_;
};

// GBK as the system knows it. Should a Qt build lack "GBK", GB18030 is used:
// it agrees with GBK on GBK's characters (two bytes) and writes four bytes for
// every other character, which are then treated as not encodable.
class GbkEncoder {
public:
    GbkEncoder()
        : gbk_("GBK")
    {
        if (!gbk_.isValid()) {
            gbk_ = CharEncoder("GB18030");
            viaGb18030_ = true;
        }
    }

    // The GBK bytes of one character; empty when GBK cannot encode it.
    QByteArray encode(QStringView ch)
    {
        if (ch.size() == 1 && ch[0].unicode() < 0x80)
            return QByteArray(1, char(ch[0].unicode()));
        QByteArray bytes = gbk_.encode(ch);
        if (viaGb18030_ && bytes.size() > 2)
            bytes.clear();
        return bytes;
    }

    int width(QStringView ch)
    {
        if (ch.size() == 1 && ch[0].unicode() < 0x80)
            return 1;
        const QByteArray bytes = encode(ch);
        return bytes.isEmpty() ? unencodableWidth : int(bytes.size());
    }

private:
    CharEncoder gbk_;
    bool viaGb18030_ = false;
};

// Encoders keep conversion state, so each thread has its own.
GbkEncoder& gbkEncoder()
{
    thread_local GbkEncoder encoder;
    return encoder;
}

CharEncoder& gb18030Encoder()
{
    thread_local CharEncoder encoder("GB18030");
    return encoder;
}

} // namespace

namespace {

// The GBK bytes of each character; fallback gives the bytes of a character
// that GBK cannot encode.
template <typename Fallback> QByteArray encodeEach(const QString& text, Fallback fallback)
{
    if (isAscii(text))
        return text.toLatin1();
    GbkEncoder& encoder = gbkEncoder();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = charSizeAt(text, i);
        const QStringView ch = QStringView(text).mid(i, units);
        const QByteArray bytes = encoder.encode(ch);
        out += bytes.isEmpty() ? fallback(ch) : bytes;
        i += units;
    }
    return out;
}

} // namespace

QByteArray gbkBytes(const QString& text)
{
    return encodeEach(text, [](QStringView) { return QByteArray(unencodableBytes); });
}

int gbkLength(const QString& text)
{
    if (isAscii(text))
        return int(std::min<qsizetype>(text.size(), INT_MAX));
    GbkEncoder& encoder = gbkEncoder();
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = charSizeAt(text, i);
        length += encoder.width(QStringView(text).mid(i, units));
        i += units;
    }
    return int(std::min<qsizetype>(length, INT_MAX));
}

QString gbkLeft(const QString& text, int n)
{
    if (n <= 0)
        return {};
    if (isAscii(text))
        return text.left(n);
    GbkEncoder& encoder = gbkEncoder();
    qsizetype taken = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype units = charSizeAt(text, i);
        const int width = encoder.width(QStringView(text).mid(i, units));
        if (taken + width > n)
            break;
        taken += width;
        i += units;
    }
    return text.left(i);
}

QString gbkRight(const QString& text, int n)
{
    if (n <= 0)
        return {};
    if (isAscii(text))
        return text.right(n);
    GbkEncoder& encoder = gbkEncoder();
    qsizetype taken = 0;
    qsizetype start = text.size();
    while (start > 0) {
        const qsizetype units = charSizeBefore(text, start);
        const int width = encoder.width(QStringView(text).mid(start - units, units));
        if (taken + width > n)
            break;
        taken += width;
        start -= units;
    }
    return text.mid(start);
}

QByteArray gbkBytesDistinct(const QString& text)
{
    return encodeEach(text, [](QStringView ch) {
        QByteArray bytes = gb18030Encoder().encode(ch);
        // Only a lone surrogate is left: it is no character at all and is
        // written as the replacement character U+FFFD.
        if (bytes.isEmpty())
            bytes = gb18030Encoder().encode(QStringView(u"\uFFFD"));
        return bytes;
    });
}

} // namespace tillora
