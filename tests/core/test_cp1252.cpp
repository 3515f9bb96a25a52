#include "Cp1252.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesTheRoundTripAndDecodesToADistinctCharacter) {
    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        tous += char(i);
    const QString texte = cp1252::decode(tous);
    ASSERT_EQ(texte.size(), 256);
    EXPECT_EQ(cp1252::encode(texte), tous);
    QSet<QChar> vus(texte.begin(), texte.end());
    EXPECT_EQ(vus.size(), 256);
}

TEST(Cp1252, KnownCharacters) {
    EXPECT_EQ(cp1252::decode("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(cp1252::decode("\xe0"), QStringLiteral("à"));
    EXPECT_EQ(cp1252::encode(QStringLiteral("é€œ")), QByteArray("\xe9\x80\x9c"));
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(cp1252::encode(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("x\xf0\x9f\x98\x80y")), QByteArray("x?y")); // one emoji, one '?'
}
