#include <gtest/gtest.h>

#include "Codec.h"

namespace {
struct Case {
    const char* name;
    std::u16string unicode;
    std::string bytes;
};
}  // namespace

TEST(Codec, TheWindowsCodePagesCharactersComeBackAsTheyWent) {
    const Case cases[] = {
        {"ascii", u"ABC xyz 09", "ABC xyz 09"},
        {"euro and quotes", u"\u20AC\u201C\u201D", "\x80\x93\x94"},
        {"latin-1 range", u"\u00E9\u00FC\u00FF\u00A0", "\xE9\xFC\xFF\xA0"},
        {"bullet page mark", u"\u2022", "\x95"},
        {"s caron, Y diaeresis", u"\u0161\u0178", "\x9A\x9F"},
    };
    for (const Case& c : cases) {
        const QString u = QString::fromUtf16(c.unicode.data(), static_cast<qsizetype>(c.unicode.size()));
        EXPECT_EQ(Codec::fromUnicode(u), c.bytes) << c.name;
        EXPECT_EQ(Codec::toUnicode(c.bytes), u) << c.name;
    }
}

TEST(Codec, UnmappableBecomesQuestionMark) {
    EXPECT_EQ(Codec::fromUnicode(QString::fromUtf8("a\u4E2Db\u0100")), "a?b?");
}

TEST(Codec, EveryByteRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    EXPECT_EQ(Codec::fromUnicode(Codec::toUnicode(all)), all);
}
