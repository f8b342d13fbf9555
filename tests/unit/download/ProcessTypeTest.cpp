// The destinations' table: a text names one destination, exactly.
#include <gtest/gtest.h>

#include <set>

#include "ProcessType.h"

TEST(ProcessType, EachTextNamesItsOwnDestinationExactly) {
    std::set<QString> texts;
    for (const ProcessType& t : ProcessTypeTable()) {
        SCOPED_TRACE(t.text.toStdString());
        EXPECT_TRUE(texts.insert(t.text).second) << "two destinations share a text";
        ASSERT_NE(FindProcessType(t.text), nullptr);
        EXPECT_EQ(FindProcessType(t.text)->id, t.id);
        EXPECT_EQ(&ProcessTypeOf(t.id), FindProcessType(t.text));
    }
    EXPECT_EQ(texts.size(), 16u);
    // Compared whole: one Word is never the other, and a near miss is none.
    EXPECT_EQ(FindProcessType(QStringLiteral("Microsoft Word"))->id, Destination::MicrosoftWord);
    EXPECT_EQ(FindProcessType(QStringLiteral("Microsoft Word 6/95"))->id, Destination::MicrosoftWord695);
    for (const char* none : {"Please select a destination...", "text file", "Text file ", "", "Fax"})
        EXPECT_EQ(FindProcessType(QString::fromLatin1(none)), nullptr) << none;
}

// What an unattended run may use: everything but the two windows.
TEST(ProcessType, OnlyTheViewersNeedSomeoneAtTheScreen) {
    for (const ProcessType& t : ProcessTypeTable())
        EXPECT_EQ(t.unattended, !(t.id == Destination::ViewFewPages || t.id == Destination::ViewEntireReport))
            << t.text.toStdString();
}
