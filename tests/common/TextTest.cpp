#include "common/Text.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tillora;

namespace {

QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

const char* const emoji = "\xF0\x9F\x98\x80"; // U+1F600, outside GBK, a surrogate pair in UTF-16

} // namespace

TEST(GbkText, LengthCountsGbkBytes)
{
    struct Case {
        QString text;
        int length;
    };
    const std::vector<Case> cases = {
        { u(""), 0 }, { u("abc 123"), 7 }, { u("中文"), 4 }, { u("a中b"), 4 },
        { u("１２．５"), 8 }, // full-width forms are double-byte
        { u(emoji), 2 }, // unencodable, one character although two UTF-16 units
        { u("a") + u(emoji) + u("中"), 5 },
        { QString(QChar(0xD800)), 2 }, // a lone surrogate is kept as a character
        { u("\u00AD"), 2 }, // soft hyphen: the encoder writes nothing for it
        { u("€"), 1 }, // code page 936 has the euro sign as the single byte 0x80
    };
    for (const Case& c : cases)
        EXPECT_EQ(gbkLength(c.text), c.length) << c.text.toStdString();
}

TEST(GbkText, LeftAndRightNeverSplitACharacter)
{
    struct Case {
        QString text;
        int n;
        QString left;
        QString right;
    };
    const QString e = u(emoji);
    const std::vector<Case> cases = {
        { u("hello"), 3, u("hel"), u("llo") },
        { u("hello"), 99, u("hello"), u("hello") },
        { u("hello"), 0, u(""), u("") },
        { u("hello"), -1, u(""), u("") },
        { u(""), 4, u(""), u("") },
        // The cut falls in the middle of a Chinese character: it is left out.
        { u("ab中文cd"), 3, u("ab"), u("cd") },
        { u("ab中文cd"), 4, u("ab中"), u("文cd") },
        { u("ab中文cd"), 5, u("ab中"), u("文cd") },
        { u("ab中文cd"), 8, u("ab中文cd"), u("ab中文cd") },
        { u("中"), 1, u(""), u("") },
        // An unencodable character counts 2 and its surrogate pair stays whole.
        { u("a") + e + u("b"), 2, u("a"), u("b") },
        { u("a") + e + u("b"), 3, u("a") + e, e + u("b") },
        { e + e, 3, e, e },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbkLeft(c.text, c.n), c.left) << c.text.toStdString() << " n=" << c.n;
        EXPECT_EQ(gbkRight(c.text, c.n), c.right) << c.text.toStdString() << " n=" << c.n;
    }
}

TEST(GbkText, BytesAreGbkWithTwoBytePlaceholder)
{
    struct Case {
        QString text;
        QByteArray hex;
    };
    const std::vector<Case> cases = {
        { u(""), "" },
        { u("A1"), "4131" },
        { u("A中"), "41d6d0" },
        { u("收银员"), "cad5d2f8d4b1" },
        { u("€"), "80" },
        { u(emoji), "a3bf" }, // full-width question mark
        { u("a\u00AD"), "61a3bf" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(gbkBytes(c.text).toHex(), c.hex) << c.text.toStdString();
        // The bytes written always match the length counted, so fixed-width
        // layouts (receipts) stay aligned.
        EXPECT_EQ(gbkBytes(c.text).size(), gbkLength(c.text)) << c.text.toStdString();
    }
}

TEST(GbkText, DistinctBytesUseGb18030OnlyOutsideGbk)
{
    EXPECT_EQ(gbkBytesDistinct(u("A中€")), gbkBytes(u("A中€")));
    EXPECT_EQ(gbkBytesDistinct(u("中") + u(emoji)).toHex(), QByteArray("d6d09439fc36"));
    EXPECT_NE(gbkBytesDistinct(u("\xF0\x9F\x98\x80")), gbkBytesDistinct(u("\xF0\x9F\x98\x81")));
    EXPECT_NE(gbkBytesDistinct(u(emoji)), gbkBytesDistinct(u("？")));
}
