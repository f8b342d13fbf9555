#include <gtest/gtest.h>

#include "BatchRun.h"
#include "CoreTestSupport.h"

namespace {
Failure refusal() {
    Failure f{QStringLiteral("Spool file is not available."), MsgIcon::Critical};
    f.quietInQueueRun = true;
    return f;
}

// A question whose "Yes" would ask again.
Question retry() {
    return Question{QStringLiteral("Signon to the iSeries has timed out.  Would you like to retry?"),
                    MsgButtons::YesNo,
                    MsgIcon::None,
                    QStringLiteral("Tolvane"),
                    1,
                    2};
}
}  // namespace

TEST(Reporting, AFailureIsShownAsItsBoxUnlessAWholeQueueRunKeepsItQuiet) {
    const struct {
        bool quiet, wholeQueue, shown;
    } cases[] = {{false, false, true}, {false, true, true}, {true, false, true}, {true, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "quiet " << c.quiet << ", whole queue " << c.wholeQueue);
        CoreTestContext t;
        t.boxes->answerAllWithDefault = true;
        t.ctx.mode.gBatchNoDialogs = c.wholeQueue;
        Failure f = refusal();
        f.quietInQueueRun = c.quiet;
        t.ctx.services.report(f);
        ASSERT_EQ(t.boxes->shown().size(), c.shown ? 1u : 0u);
        if (!c.shown) continue;
        EXPECT_EQ(t.boxes->shown()[0].text, f.text);
        EXPECT_EQ(t.boxes->shown()[0].title, QStringLiteral("Tolvane"));
        EXPECT_EQ(t.boxes->shown()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(t.boxes->shown()[0].buttons, MsgButtons::OK);
    }
}

TEST(Reporting, AQuestionNobodyCanAnswerTakesTheAnswerThatEndsTheRun) {
    const struct {
        bool batch;
        int unattendedButton;
        int answer;
    } cases[] = {{false, 2, vbYes}, {true, 2, vbNo}, {true, 0, vbYes}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "batch " << c.batch << ", unattended button " << c.unattendedButton);
        CoreTestContext t;
        t.boxes->answerAllWithDefault = true;
        t.ctx.mode.gBatchMode = c.batch;
        Question q = retry();
        q.unattendedButton = c.unattendedButton;
        EXPECT_EQ(t.ctx.services.nobodyAnswers(), c.batch);
        EXPECT_EQ(t.ctx.services.ask(q), c.answer);
        ASSERT_EQ(t.boxes->shown().size(), 1u);
        EXPECT_EQ(t.boxes->shown()[0].buttons, MsgButtons::YesNo);
    }
}

TEST(Reporting, ARunNobodyWatchesWritesFailuresAndQuestionsOnStandardError) {
    CoreTestContext t;
    QStringList lines;
    ReportOnStandardError(t.ctx, [&](const QString& l) { lines << l; });
    t.ctx.services.report(Failure{QStringLiteral("iSeries library or outq not found.")});
    EXPECT_EQ(t.ctx.services.ask(retry()), vbNo);
    EXPECT_TRUE(t.ctx.services.nobodyAnswers());
    // A whole queue keeps its refusals to the batch lines.
    t.ctx.mode.gBatchNoDialogs = true;
    t.ctx.services.report(refusal());
    EXPECT_EQ(lines,
              (QStringList{QStringLiteral("Tolvane: iSeries library or outq not found."),
                           QStringLiteral("Tolvane: Signon to the iSeries has timed out.  Would you like to retry?")}));
    EXPECT_TRUE(t.boxes->shown().empty());
}
