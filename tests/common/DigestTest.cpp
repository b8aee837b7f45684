#include "common/Digest.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tillora;

// Expected digests were computed apart from this code, with Python's hashlib
// on the GBK (or, for the emoji, GB18030) bytes.
TEST(PasswordDigest, Md5OfGbkBytes)
{
    struct Case {
        const char* password;
        const char* digest;
    };
    const std::vector<Case> cases = {
        { "", "d41d8cd98f00b204e9800998ecf8427e" }, { "Ab1", "c99f1621ddb8d08a4cac6ee4b6989349" },
        { "收银员123", "2e4fa0390721adfa9da64b56873ddebc" },
        { "€5", "af57cbcadf1213a6066c6c4e24ea70f9" }, // 80 35
        { "中\xF0\x9F\x98\x80", "687471b138c6e16646f6d0bdada79e8d" }, // d6d0 9439fc36
    };
    for (const Case& c : cases)
        EXPECT_EQ(PasswordDigest(QString::fromUtf8(c.password)), QString::fromLatin1(c.digest)) << c.password;
}

TEST(PasswordDigest, CharactersOutsideGbkStayDistinct)
{
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString beam = QString::fromUtf8("\xF0\x9F\x98\x81");
    EXPECT_NE(PasswordDigest(grin), PasswordDigest(beam));
    EXPECT_NE(PasswordDigest(grin), PasswordDigest(QString::fromUtf8("？")));
}
