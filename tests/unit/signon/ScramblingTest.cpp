#include <gtest/gtest.h>

#include <QString>

#include "SignOn.h"

using SignOnScrambling::scrambleField;

namespace {
std::string padded(const std::string& s, size_t n) {
    std::string f = s;
    f.resize(n, ' ');
    return f;
}
}  // namespace

// Expected forms worked out by hand from the alphabet and the rule
// n = k + i, less 94 once when above 94.
TEST(Scrambling, FieldsScrambleToTheFormsWorkedOutByHand) {
    struct Case {
        const char* name;
        std::string field;
        std::string scrambled;
    } cases[] = {
        {"user JSMITH", "JSMITH    ", ";(L=7F2#dW"},
        {"ten blanks", std::string(10, ' '), "bY1!cX2#dW"},
        {"user QPGMR", "QPGMR     ", "9lF/9X2#dW"},
        {"absent character takes the i-th letter", "\"\"\"", "aZ0"},
        {"last character wraps to the position", "~~", "aZ"},
        {"upper and lower case differ", "aA", "Z_"},
    };
    for (const Case& c : cases) EXPECT_EQ(scrambleField(c.field), c.scrambled) << c.name;
}

TEST(Scrambling, WholePasswordFieldIncludingFillingBlanks) {
    const std::string out = scrambleField(padded("0abc", 128));
    ASSERT_EQ(out.size(), 128u);
    // '0' is the third character: at position 1 it becomes the blank.
    EXPECT_EQ(out.substr(0, 4), " 0!d");
    // Filling blanks are scrambled too: position 5 of a blank gives 'c', 94 the blank, 128 the 38th character.
    EXPECT_EQ(out[4], 'c');
    EXPECT_EQ(out[93], ' ');
    EXPECT_EQ(out[127], 'Q');
}

TEST(Scrambling, PositionsBeyondTheAlphabet) {
    std::string f(128, ' ');
    f[94] = '"';   // absent at position 95: the (95 - 94)th character
    f[99] = '~';   // k + i = 94 + 100 > 188: unchanged
    f[127] = '\x7F';
    const std::string out = scrambleField(f);
    EXPECT_EQ(out[94], 'a');
    EXPECT_EQ(out[99], '~');
    EXPECT_EQ(out[127], SignOnScrambling::kSignOnAlphabet[127 + 1 - 94 - 1]);
}

TEST(Scrambling, CharactersTheScramblingCannotCarry) {
    struct Case {
        QString text;
        QChar refused;
    } cases[] = {
        {QStringLiteral("secret"), QChar()},
        {QString::fromLatin1(SignOnScrambling::kSignOnAlphabet), QChar()},
        {QStringLiteral("my\"pw"), QLatin1Char('"')},
        {QString::fromUtf8("caf\u00e9"), QChar(0xE9)},
        {QString::fromUtf8("\u20ac100"), QChar(0x20AC)},
        {QStringLiteral("tab\there"), QLatin1Char('\t')},
    };
    for (const Case& c : cases) EXPECT_EQ(SignOnScrambling::firstUncarriedCharacter(c.text), c.refused) << c.text.toStdString();
}

TEST(Scrambling, SavedPasswordIsUsableOnlyWhole) {
    const std::string good = scrambleField(std::string(128, ' '));
    EXPECT_TRUE(SignOnScrambling::isScrambledPassword(good));
    EXPECT_FALSE(SignOnScrambling::isScrambledPassword(good.substr(1)));
    EXPECT_FALSE(SignOnScrambling::isScrambledPassword("-None"));
    EXPECT_FALSE(SignOnScrambling::isScrambledPassword(good.substr(0, 127) + "\""));
}
