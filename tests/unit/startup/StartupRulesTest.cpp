#include <gtest/gtest.h>

#include "StartupRules.h"

namespace {

TEST(ReadAsBoolean, ReadsTruthValuesAsTheRuntimeDoes) {
    struct Case {
        const char* text;
        std::optional<bool> expected;
    };
    const Case cases[] = {
        {"True", true},        {"False", false},       {"TRUE", true},        {"false", false},
        {"0", false},          {"-1", true},           {"1", true},           {" 0 ", false},
        {"2.5", true},         {"0.0", false},         {"", std::nullopt},    {"  ", std::nullopt},
        {"yes", std::nullopt}, {"None", std::nullopt}, {"1,5", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readAsBoolean(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(CommandLine, IsTheArgumentsAfterTheProgramName) {
    EXPECT_EQ(commandLineOf({"Swdesk"}), "");
    EXPECT_EQ(commandLineOf({"Swdesk", "SETS:/home/u/my settings.spw,FILE:QSYSPRT"}),
              "SETS:/home/u/my settings.spw,FILE:QSYSPRT");
    EXPECT_EQ(commandLineOf({"Swdesk", "SETS:a.spw,", "FILE:QSYSPRT"}), "SETS:a.spw,,FILE:QSYSPRT");
}

}  // namespace
