#include <gtest/gtest.h>

#include <cstring>

#include "SignOnScramble.h"

namespace {
char at(int position) { return SignOnScramble::kAlphabet[position - 1]; }

TEST(SignOnScramble, AlphabetHas94DistinctCharacters) {
    const std::string a = SignOnScramble::kAlphabet;
    ASSERT_EQ(a.size(), 94u);
    for (char c : a) EXPECT_EQ(a.find(c), a.rfind(c)) << c;
}

TEST(SignOnScramble, EachPositionMovesItsCharacterAlongTheAlphabet) {
    struct Case {
        char c;
        int position;
        char expected;
    };
    const Case cases[] = {
        {'a', 1, 'Z'},               // 1 + 1
        {' ', 1, 'b'},               // blank is the 4th character
        {' ', 2, 'Y'},
        {'~', 1, 'a'},               // 94 + 1 wraps once to 1
        {'\xE9', 5, at(5)},          // not in the alphabet: the position's own character
        {'\xE9', 100, at(6)},        // ... less 94 past the end
        {'~', 95, '~'},              // 94 + 95 - 94 is still past the end: unchanged
        {'|', 100, '|'},             // 91 + 100 - 94 = 97
        {'Z', 93, at(1)},            // 2 + 93 = 95 wraps to 1
    };
    for (const Case& c : cases) {
        std::string field(128, ' ');
        field[static_cast<size_t>(c.position - 1)] = c.c;
        EXPECT_EQ(SignOnScramble::scramble(field)[static_cast<size_t>(c.position - 1)], c.expected)
            << c.c << " at " << c.position;
    }
}

TEST(SignOnScramble, FieldIsPaddedAndCutBeforeScrambling) {
    EXPECT_EQ(SignOnScramble::scrambledField("AB", 10), SignOnScramble::scramble("AB        "));
    EXPECT_EQ(SignOnScramble::scrambledField("ABCDEFGHIJKL", 10), SignOnScramble::scramble("ABCDEFGHIJ"));
    EXPECT_EQ(SignOnScramble::scrambledField("", 128).size(), 128u);
}

TEST(SignOnScramble, UserIdComesBack) {
    for (const std::string user : {"SWUSER    ", "QPGMR     ", "A1B2C3D4E5", "          "})
        EXPECT_EQ(SignOnScramble::unscrambleUserId(SignOnScramble::scramble(user)), user);
}
}  // namespace
