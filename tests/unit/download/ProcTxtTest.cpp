#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "FileDownload.h"
#include "FileSizeLimit.h"
#include "ProcTxt.h"
#include "SpoolExchange.h"
#include "ReportFile.h"
#include "SpoolDownload.h"
#include "ScriptedHostSocket.h"
#include "CoreTestSupport.h"
#include "TransferTestSupport.h"
#include "WorkDirectory.h"

using Record = SpoolReplies::Record;

namespace {
class ProcTxtTest : public ::testing::Test {
protected:
    CoreTestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    DownloadOptions options = TextFileOptions();
    StatusRecorder screen{t.ctx.link};
    QString width;

    QString path(const QString& name) { return t.dir.path() + QLatin1Char('/') + name; }
    ReportResult run(const QString& file, const QString& code = QStringLiteral("Text"),
                     const SpoolFileRow& row = SampleRow()) {
        const ReportResult result = ProcTxt(t.ctx, options, screen, file, code, row);
        width = result.recordWidth;
        return result;
    }
    QString lastStatus() const { return screen.last(); }
    // "Replace file" (1) or "Add to file" (0).
    void replaceFile(int replace) {
        options.textFile = replace ? DownloadOptions::AddReplace::Replace : DownloadOptions::AddReplace::Add;
    }
    // "Replace file" (1) or "Add to file" (0), and an earlier file of known content.
    QString earlierFile(int replace) {
        replaceFile(replace);
        const QString file = path(QStringLiteral("keep.txt"));
        WriteFileBytes(file, "EARLIER REPORT\r\n");
        return file;
    }
};
}  // namespace

TEST_F(ProcTxtTest, AnUnknownWidthCodeIsARefusedDownload) {
    for (int replace : {1, 0}) {
        SCOPED_TRACE(replace);
        host->requests.clear();
        host->cancelRequests = 0;
        const QString file = earlierFile(replace);
        host->reply(SpoolReplies::reply({SpoolReplies::slot(80, {"001", ' ', "LOST"})}, "(MORE)", " 81"));
        t.boxes->expect(QStringLiteral("The host sent the report with the record width code \" 81\""));
        EXPECT_FALSE(run(file));
        EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
        EXPECT_TRUE(width.isEmpty());
        EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Critical);
        // The host, which still holds the rest, is told to drop it.
        EXPECT_EQ(host->downloadRequests(), 1);
        EXPECT_EQ(host->cancelRequests, 1);
    }
    // With no earlier file none is made; a last block needs no cancel.
    host->reply(SpoolReplies::reply({}, "(END)", "999"));
    t.boxes->expect(QStringLiteral("The host sent the report with the record width code \"999\""));
    EXPECT_FALSE(run(path(QStringLiteral("never.txt"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("never.txt"))));
    EXPECT_EQ(host->cancelRequests, 1);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ProcTxtTest, AReportWithoutRecordsGivesAnEmptyFile) {
    const QString file = path(QStringLiteral("empty.txt"));
    for (int replace : {1, 0}) {
        SCOPED_TRACE(replace);
        replaceFile(replace);
        WriteFileBytes(file, "EARLIER REPORT\r\n");
        host->reply(SpoolReplies::reply({}, "(END)", " 80"));
        EXPECT_TRUE(run(file));
        // Replaced by the empty report, or nothing added to it.
        EXPECT_EQ(ReadFileBytes(file), replace ? "" : "EARLIER REPORT\r\n");
        EXPECT_EQ(lastStatus(), QStringLiteral("Transfer is complete to ") + file + QStringLiteral(".  0 records transferred."));
    }
    QFile::remove(file);
    host->reply(SpoolReplies::reply({}, "(END)", " 80"));
    EXPECT_TRUE(run(file));
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(ReadFileBytes(file), "");
}

TEST_F(ProcTxtTest, BlocksAreRequestedUntilTheEndAndBlankSlotsSkipped) {
    options.pageLength = QStringLiteral("Variable");
    std::vector<std::string> replies = SpoolReplies::report(NumberedRecords(23), " 80");
    ASSERT_EQ(replies.size(), 3u);
    // A blank slot between two used ones in the first block.
    std::vector<std::string> first;
    for (int i = 1; i <= 10; ++i) first.push_back(SpoolReplies::slot(80, {i == 1 ? "001" : "   ", '1', "RECORD " + std::to_string(i)}));
    first.insert(first.begin() + 5, std::string(84, ' '));
    replies[0] = SpoolReplies::reply(first, "(MORE)", " 80");
    host->replies(replies);
    const QString file = path(QStringLiteral("blocks.txt"));
    ASSERT_TRUE(run(file));
    EXPECT_EQ(host->downloadRequests(), 3);
    for (const std::string& r : host->requests) EXPECT_EQ(r, host->requests[0]);
    std::string expected;
    for (int i = 1; i <= 23; ++i)
        if (i != 11) expected += "RECORD " + std::to_string(i) + "\r\n";
    EXPECT_EQ(ReadFileBytes(file), expected);
    EXPECT_EQ(lastStatus(), QStringLiteral("Transfer is complete to ") + file + QStringLiteral(".  22 records transferred."));
}

TEST_F(ProcTxtTest, TheRequestCarriesTheScreensOptions) {
    options.minusSignApplicable = true;
    options.fromPage = QStringLiteral("2");
    options.toPage = QStringLiteral("5");
    host->replies(SpoolReplies::report(NumberedRecords(1), " 80"));
    ASSERT_TRUE(run(path(QStringLiteral("a.txt"))));
    EXPECT_EQ(host->requests[0].substr(51, 22), "00000000020000000005Y1");
    // With print control the host does not drop overprinting.
    options.printControl = true;
    options.minusSignApplicable = false;
    host->replies(SpoolReplies::report(NumberedRecords(1), " 80"));
    ASSERT_TRUE(run(path(QStringLiteral("b.txt"))));
    EXPECT_EQ(host->requests[1].substr(71, 2), "  ");
}

TEST_F(ProcTxtTest, ProgressEveryFiftyRecords) {
    options.pageLength = QStringLiteral("Variable");
    host->replies(SpoolReplies::report(NumberedRecords(120), " 80"));
    const QString file = path(QStringLiteral("progress.txt"));
    ASSERT_TRUE(run(file));
    QStringList progress;
    for (const QString& s : screen.history)
        if (s.startsWith(QLatin1String("Records transferred: "))) progress << s;
    EXPECT_EQ(progress, (QStringList{QStringLiteral("Records transferred: 55   "), QStringLiteral("Records transferred: 110   ")}));
    EXPECT_EQ(screen.history.first(),
              QStringLiteral("Preparing records for transfer to file ") + file + QStringLiteral(".   "));
}

TEST_F(ProcTxtTest, AddToFileAppendsAfterTheOldLines) {
    replaceFile(0);
    options.pageLength = QStringLiteral("Variable");
    const QString file = path(QStringLiteral("add.txt"));
    WriteFileBytes(file, "OLD LINE\r\n");
    host->replies(SpoolReplies::report(NumberedRecords(2), " 80"));
    ASSERT_TRUE(run(file));
    EXPECT_EQ(ReadFileBytes(file), "OLD LINE\r\nRECORD 1\r\nRECORD 2\r\n");
}

TEST_F(ProcTxtTest, ARefusedReportLeavesAnExistingFileUntouched) {
    for (int replace : {1, 0}) {
        SCOPED_TRACE(replace);
        const QString file = earlierFile(replace);
        host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
        t.boxes->expect(QStringLiteral("Spool file is not available. The spool file may have been removed from the system, may be empty,"));
        EXPECT_FALSE(run(file));
        EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        EXPECT_TRUE(width.isEmpty());
        EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("Tolvane"));
        EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Critical);
    }
    // A whole-queue batch run shows no message; a new name is not created.
    t.ctx.mode.gBatchNoDialogs = true;
    host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
    EXPECT_FALSE(run(path(QStringLiteral("never.txt"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("never.txt"))));
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ProcTxtTest, AnExchangeThatFailsBeforeItsFirstReplyLeavesAnExistingFileUntouched) {
    const struct {
        const char* what;
        bool cancel;
        const char* box;
    } cases[] = {{"a broken link", false, "Error in SendReceive procedure."},
                 {"a cancel", true, "Operation has been canceled by request of the user.  "}};
    for (const auto& c : cases) {
        for (int replace : {1, 0}) {
            SCOPED_TRACE(std::string(c.what) + (replace ? " replace" : " add"));
            const QString file = earlierFile(replace);
            host->script.clear();
            if (c.cancel) {
                host->replies(SpoolReplies::report(NumberedRecords(30), " 80"));
                t.ctx.link.requestCancel();
            } else {
                host->drop();
            }
            t.boxes->expect(QString::fromLatin1(c.box));
            EXPECT_FALSE(run(file));
            t.ctx.link.clearCancel();
            EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
            EXPECT_TRUE(width.isEmpty());
        }
    }
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ProcTxtTest, ALaterRefusalLeavesAnIncompleteReport) {
    options.pageLength = QStringLiteral("Variable");
    std::vector<std::string> replies = SpoolReplies::report(NumberedRecords(15), " 80");
    replies[1] = SpoolReplies::reply({}, "(INVALID)", " 80");
    host->replies(replies);
    t.boxes->expect(QStringLiteral("Access denied.  Possible authority problem."));
    const QString file = path(QStringLiteral("denied.txt"));
    EXPECT_FALSE(run(file));
    EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("iSeries Spoolwright"));
    const std::string written = ReadFileBytes(file);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 11);
    EXPECT_EQ(lastStatus(), QStringLiteral("Transfer to file ") + file + QStringLiteral(" is incomplete.  11 records transferred."));
}

TEST_F(ProcTxtTest, ABrokenLinkLeavesAnIncompleteReport) {
    options.pageLength = QStringLiteral("Variable");
    host->reply(SpoolReplies::report(NumberedRecords(15), " 80")[0]);
    host->drop();
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    const QString file = path(QStringLiteral("broken.txt"));
    EXPECT_FALSE(run(file));
    const std::string written = ReadFileBytes(file);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 11);
    EXPECT_EQ(lastStatus(), QStringLiteral("Transfer to file ") + file + QStringLiteral(" is incomplete.  11 records transferred."));
}

TEST_F(ProcTxtTest, ACancelAfterTheFirstBlockKeepsTheCancelTexts) {
    options.pageLength = QStringLiteral("Variable");
    host->replies(SpoolReplies::report(NumberedRecords(40), " 80"));
    // The user presses Cancel while the second block is on its way.
    host->afterReply = [&](int n) {
        if (n == 1) t.ctx.link.requestCancel();
    };
    t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  "));
    const QString file = path(QStringLiteral("cancel.txt"));
    EXPECT_FALSE(run(file));
    EXPECT_EQ(host->cancelRequests, 1);
    const std::string written = ReadFileBytes(file);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 11);
    EXPECT_EQ(lastStatus(), QStringLiteral("Last operation was canceled by user request."));
}

TEST_F(ProcTxtTest, EveryFailureAfterTheFirstBlockLeavesAnEarlierFileByteForByte) {
    options.pageLength = QStringLiteral("Variable");
    const std::string firstBlock = SpoolReplies::report(NumberedRecords(15), " 80")[0];
    const QString incomplete = QStringLiteral(" is incomplete.  11 records transferred.  The earlier file is unchanged.");
    const struct {
        const char* what;
        std::function<void()> script;
        const char* box;
        bool canceled;
    } cases[] = {
        {"a later refusal", [&] { host->reply(SpoolReplies::reply({}, "(INVALID)", " 80")); },
         "Access denied.  Possible authority problem.", false},
        {"a lost link", [&] { host->drop(); }, "Error in SendReceive procedure.", false},
        {"a host that stops answering", [&] { host->script.push_back({ScriptedHost::Step::Silence, {}}); },
         "Error in SendReceive procedure.", false},
        {"a cancel",
         [&] {
             host->reply(SpoolReplies::report(NumberedRecords(15), " 80")[1]);
             host->afterReply = [&](int n) {
                 if (n == 1) t.ctx.link.requestCancel();
             };
         },
         "Operation has been canceled by request of the user.  ", true},
    };
    for (const auto& c : cases) {
        for (int replace : {1, 0}) {
            SCOPED_TRACE(std::string(c.what) + (replace ? " replace" : " add"));
            const QString file = earlierFile(replace);
            host->script.clear();
            host->requests.clear();
            host->afterReply = nullptr;
            t.ctx.link.discardSocket();
            host->reply(firstBlock);
            c.script();
            t.boxes->expect(QString::fromLatin1(c.box));
            EXPECT_FALSE(run(file));
            t.ctx.link.clearCancel();
            EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
            EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
            EXPECT_EQ(lastStatus(), c.canceled ? QStringLiteral("Last operation was canceled by user request.")
                                               : QStringLiteral("Transfer to file ") + file + incomplete);
        }
    }
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ProcTxtTest, AHostThatKeepsSayingMoreIsStoppedAtWhatThePagesCanHold) {
    SpoolFileRow::Fields onePage = SampleRowFields();
    onePage.pages = "     1";
    options.pageLength = QStringLiteral("Variable");
    const QString file = path(QStringLiteral("keep.txt"));
    WriteFileBytes(file, "EARLIER REPORT\r\n");
    // One page holds 255 lines: 24 blocks of 11 lines fill more. The 25th was
    // asked for while the 24th was written; its reply is read and dropped.
    host->replies(SpoolReplies::report(NumberedRecords(11 * 40), " 80"));
    t.boxes->expect(QStringLiteral("The host keeps sending lines beyond what the report's page count (1) can hold."));
    EXPECT_FALSE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(onePage)));
    EXPECT_EQ(host->downloadRequests(), 25);
    EXPECT_EQ(host->cancelRequests, 1);
    EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
    EXPECT_EQ(lastStatus(), QStringLiteral("Transfer to file ") + file +
                                QStringLiteral(" is incomplete.  264 records transferred.  The earlier file is unchanged."));
    EXPECT_TRUE(t.boxes->done());
}

// The guard counts the lines of the host's pages, not what a layout makes of
// them: records that each skip to line 200 of a new page fill ten pages'
// 2,550 lines with the 13th record, in the second block, however few lines
// a page length or "Remove blank lines" leaves in the file.
TEST_F(ProcTxtTest, TheGuardCountsTheSameLinesWhateverTheLayout) {
    SpoolFileRow::Fields tenPages = SampleRowFields();
    tenPages.pages = "    10";
    std::vector<Record> records;
    for (int i = 1; i <= 11 * 40; ++i) records.push_back({"200", ' ', "RECORD " + std::to_string(i)});
    const struct {
        const char* what;
        const char* pageLength;
        bool removeBlank, printControl;
    } cases[] = {{"variable pages", "Variable", false, false},
                 {"pages of 66 lines", "66", false, false},
                 {"blank lines removed", "Variable", true, false},
                 {"print control", "66", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host->requests.clear();
        host->cancelRequests = 0;
        options.pageLength = QString::fromLatin1(c.pageLength);
        options.removeBlankLines = c.removeBlank;
        options.printControl = c.printControl;
        const QString file = earlierFile(1);
        host->replies(SpoolReplies::report(records, " 80"));
        t.boxes->expect(QStringLiteral("The host keeps sending lines beyond what the report's page count (10) can hold."));
        EXPECT_FALSE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(tenPages)));
        EXPECT_EQ(host->downloadRequests(), 3);
        EXPECT_EQ(host->cancelRequests, 1);
        EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        EXPECT_TRUE(t.boxes->done());
    }
}

TEST_F(ProcTxtTest, AOnePageReportOfBlankSlotsBetweenItsRecordsDownloadsWhole) {
    SpoolFileRow::Fields onePage = SampleRowFields();
    onePage.pages = "     1";
    options.pageLength = QStringLiteral("Variable");
    // 40 records, each alone in its block of 11 slots: 440 slots, 40 lines.
    std::string expected;
    for (int i = 1; i <= 40; ++i) {
        const std::string text = "RECORD " + std::to_string(i);
        host->reply(SpoolReplies::reply({SpoolReplies::slot(80, {i == 1 ? "001" : "   ", '1', text})},
                                        i == 40 ? "(END)" : "(MORE)", " 80"));
        expected += text + "\r\n";
    }
    const QString file = path(QStringLiteral("whole.txt"));
    EXPECT_TRUE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(onePage)));
    EXPECT_EQ(ReadFileBytes(file), expected);
    EXPECT_EQ(host->cancelRequests, 0);
    EXPECT_TRUE(t.boxes->done());
}

// A page holds 255 lines: a one-page report that writes its last line there
// is whole, also when the host sends its "(END)" in a block of its own; a
// line more is beyond the page.
TEST_F(ProcTxtTest, AOnePageReportFilledToItsLastLineDownloadsWhole) {
    SpoolFileRow::Fields onePage = SampleRowFields();
    onePage.pages = "     1";
    options.pageLength = QStringLiteral("Variable");
    const QString file = path(QStringLiteral("keep.txt"));
    for (const bool lineMore : {false, true}) {
        SCOPED_TRACE(lineMore ? "a line beyond the page" : "the page filled");
        host->script.clear();
        host->requests.clear();
        host->cancelRequests = 0;
        WriteFileBytes(file, "EARLIER REPORT\r\n");
        std::vector<std::string> blockSlots{SpoolReplies::slot(80, SpoolReplies::Record{"001", ' ', "TOP"}),
                                            SpoolReplies::slot(80, SpoolReplies::Record{"255", ' ', "FOOTER"})};
        if (lineMore) blockSlots.push_back(SpoolReplies::slot(80, SpoolReplies::Record{"   ", '1', "BEYOND"}));
        host->reply(SpoolReplies::reply(blockSlots, "(MORE)", " 80"));
        host->reply(SpoolReplies::reply({}, "(END)", " 80"));
        if (lineMore) {
            t.boxes->expect(
                QStringLiteral("The host keeps sending lines beyond what the report's page count (1) can hold."));
            EXPECT_FALSE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(onePage)));
            EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        } else {
            EXPECT_TRUE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(onePage)));
            std::string expected = "TOP\r\n";
            for (int i = 2; i < 255; ++i) expected += "\r\n";
            EXPECT_EQ(ReadFileBytes(file), expected + "FOOTER\r\n");
            EXPECT_EQ(host->cancelRequests, 0);
        }
    }
    EXPECT_TRUE(t.boxes->done());
}

// A slow host takes seconds for each block; a page of empty lines between two
// records (23 empty blocks of 11 slots: at most 255 lines) is still a report, an endless run of
// empty blocks is not, however slowly it comes.
TEST_F(ProcTxtTest, RunsOfEmptyBlocksFromASlowHostAreAReportUntilNoPageCouldHoldThem) {
    const struct {
        const char* name;
        qint64 replyMs;
        int emptyBlocks;  // after each of the three records; -1: for ever
    } cases[] = {
        {"quick host, a page of empty lines", 0, 23},
        {"3 s a block, a few empty lines", 3000, 3},
        {"3 s a block, a page of empty lines", 3000, 23},
        {"30 s a block, a page of empty lines", 30000, 23},
        {"3 s a block, empty blocks for ever", 3000, -1},
    };
    SpoolFileRow::Fields noCount = SampleRowFields();
    noCount.pages = "      ";
    options.pageLength = QStringLiteral("Variable");
    const QString file = path(QStringLiteral("keep.txt"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host->script.clear();
        host->requests.clear();
        host->cancelRequests = 0;
        WriteFileBytes(file, "EARLIER REPORT\r\n");
        std::string expected;
        for (int i = 1; i <= 3; ++i) {
            const std::string text = "RECORD " + std::to_string(i);
            host->reply(SpoolReplies::reply({SpoolReplies::slot(80, {i == 1 ? "001" : "   ", '1', text})},
                                            i == 3 && c.emptyBlocks >= 0 ? "(END)" : "(MORE)", " 80"));
            expected += text + "\r\n";
            if (i == 3) break;
            for (int b = 0; b < std::max(c.emptyBlocks, 0); ++b) host->reply(SpoolReplies::reply({}, "(MORE)", " 80"));
        }
        if (c.emptyBlocks < 0)
            for (qint64 b = 0; b < kQuietBlocks + 10; ++b) host->reply(SpoolReplies::reply({}, "(MORE)", " 80"));
        host->afterReply = [&](int) { t.clock->advance(c.replyMs); };
        if (c.emptyBlocks < 0) {
            t.boxes->expect(
                QStringLiteral("The host keeps saying that more of the report follows, but sends nothing more."));
            EXPECT_FALSE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(noCount)));
            EXPECT_LT(host->downloadRequests(), 2 + 2 * 24 + 40);
            EXPECT_EQ(host->cancelRequests, 1);
            EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        } else {
            EXPECT_TRUE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(noCount)));
            EXPECT_EQ(ReadFileBytes(file), expected);
            EXPECT_EQ(host->cancelRequests, 0);
        }
        host->afterReply = nullptr;
    }
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ProcTxtTest, AHostThatSaysMoreAndSendsNothingIsStoppedSoonAfterItsLastRecord) {
    // No page count: the row names none.
    SpoolFileRow::Fields noCount = SampleRowFields();
    noCount.pages = "      ";
    const QString file = path(QStringLiteral("keep.txt"));
    WriteFileBytes(file, "EARLIER REPORT\r\n");
    host->reply(SpoolReplies::report(NumberedRecords(12), " 80")[0]);  // 11 records and "(MORE)"
    for (qint64 i = 0; i < kQuietBlocks + 10; ++i) host->reply(SpoolReplies::reply({}, "(MORE)", " 80"));
    t.boxes->expect(QStringLiteral("The host keeps saying that more of the report follows, but sends nothing more."));
    EXPECT_FALSE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(noCount)));
    EXPECT_EQ(host->downloadRequests(), kQuietBlocks + 2);  // one asked for ahead
    EXPECT_EQ(host->cancelRequests, 1);
    EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
    EXPECT_TRUE(t.boxes->done());
}

// What arrives goes to the disk whenever it fills the writer's 64 KiB, never
// held whole: read while the report is on its way, the new file beside the
// earlier one (replacing) or the addition holds the report's first lines,
// each whole, and less than 64 KiB of what had arrived is still held.
TEST_F(ProcTxtTest, WhatArrivedGoesToTheDiskIn64KiBPieces) {
    options.pageLength = QStringLiteral("Variable");
    const QString file = path(QStringLiteral("report.txt"));
    std::vector<Record> records;
    std::string report;
    for (int i = 1; i <= 3000; ++i) {
        const std::string text = "RECORD " + std::to_string(i) + std::string(60, '.');
        records.push_back({"   ", '1', text});
        report += text + "\r\n";
    }
    // 80 columns: 11 records a block.
    auto firstLines = [&](int n) {
        size_t at = 0;
        for (int i = 0; i < n; ++i) at = report.find("\r\n", at) + 2;
        return at;
    };
    for (int replace : {1, 0}) {
        SCOPED_TRACE(replace);
        replaceFile(replace);
        WriteFileBytes(file, "EARLIER REPORT\r\n");
        const std::string before = replace ? "" : "EARLIER REPORT\r\n";
        host->replies(SpoolReplies::report(records, " 80"));
        // Read as the 201st block is asked for: before the 200th is written,
        // so 199 blocks have arrived.
        std::string seen;
        const int read = static_cast<int>(host->requests.size()) + 200;
        host->afterReply = [&](int n) {
            if (n != read) return;
            // Replacing, the lines go to the one new file beside the earlier one.
            QString beside = file;
            for (const QString& name : QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden))
                if (replace && name != QLatin1String("report.txt") && !name.startsWith(QLatin1String(".swlk-")))
                    beside = path(name);
            seen = ReadFileBytes(beside);
        };
        SpoolFileRow::Fields pages = SampleRowFields();
        pages.pages = "    12";
        ASSERT_TRUE(run(file, QStringLiteral("Text"), SpoolFileRow::fromFields(pages)));
        host->afterReply = nullptr;
        EXPECT_EQ(ReadFileBytes(file), before + report);
        ASSERT_GT(seen.size(), before.size());
        const std::string added = seen.substr(before.size());
        EXPECT_EQ(seen.substr(0, before.size()), before);
        EXPECT_EQ(added, report.substr(0, added.size()));
        EXPECT_TRUE(added.ends_with("\r\n"));
        const size_t arrived = firstLines(199 * 11);
        EXPECT_LE(added.size(), arrived);
        EXPECT_LT(arrived - added.size(), size_t(64 * 1024));
    }
}

TEST_F(ProcTxtTest, AMissingFolderIsReportedBeforeTheHostIsAskedAndOpensTheNamingOptions) {
    struct NamingOptionsSeen : RunWindows {
        QStringList& shown;
        explicit NamingOptionsSeen(QStringList& s) : shown(s) {}
        void showNamingOptions(const QString& fullName) override { shown << fullName; }
    };
    QStringList namingOptionsShown;
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    t.ctx.installRunWindows(std::make_unique<NamingOptionsSeen>(namingOptionsShown));
    const QString file = path(QStringLiteral("missing/out.txt"));
    t.boxes->expect(QStringLiteral("PC level file error: 76  File may already be in use or the default directory for "
                                   "saving files is invalid.  Please specify a valid directory in Naming Options.  "
                                   "Description: Path not found  Path and file: ") + file + QLatin1Char(' '));
    EXPECT_FALSE(run(file));
    EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("iSeries Spoolwright - ProcTxt"));
    EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Exclamation);
    EXPECT_EQ(namingOptionsShown, QStringList{QStringLiteral("1")});
    EXPECT_TRUE(host->requests.empty());

    // A batch run opens no window.
    t.ctx.mode.gBatchMode = true;
    t.boxes->expect(QStringLiteral("PC level file error: 76"));
    EXPECT_FALSE(run(file));
    EXPECT_EQ(namingOptionsShown.size(), 1);
}

TEST_F(ProcTxtTest, FilesInTheWorkFolderAreNewAndTheUsersAlone) {
    t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
    t.ctx.services.saveSetting(QStringLiteral("User"), QStringLiteral("JSMITH"));
    ASSERT_TRUE(ApplyWorkDirectoryRule(t.ctx.services, t.ctx.connection));
    options.pageLength = QStringLiteral("Variable");
    const QString mine = t.ctx.connection.gWorkDir + QStringLiteral("/Spwrt.txt");
    host->replies(SpoolReplies::report(NumberedRecords(2), " 80"));
    ASSERT_TRUE(run(mine));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(mine).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(t.ctx.connection.createdFiles().contains(mine));

    // A link planted at a name there is never written through, nor replaced.
    const QString victim = path(QStringLiteral("victim.txt"));
    WriteFileBytes(victim, "NOT YOURS\r\n");
    const QString planted = t.ctx.connection.gWorkDir + QStringLiteral("/Spwrt001.txt");
    ASSERT_TRUE(QFile::link(victim, planted));
    t.ctx.mode.gBatchMode = true;
    for (int replace : {1, 0}) {
        replaceFile(replace);
        t.boxes->expect(QStringLiteral("PC level file error: 58  "));
        EXPECT_FALSE(run(planted));
    }
    EXPECT_EQ(host->downloadRequests(), 1);
    EXPECT_EQ(ReadFileBytes(victim), "NOT YOURS\r\n");
    EXPECT_TRUE(QFileInfo(planted).isSymLink());
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ProcTxtTest, FileErrorsCarryTheirNumbers) {
    QDir(t.dir.path()).mkdir(QStringLiteral("folder"));
    const struct {
        QString file;
        const char* text;
    } cases[] = {{path(QStringLiteral("folder")), "PC level file error: 75  "},
                 {QString(), "PC level file error: 75  "},
                 {path(QStringLiteral("a.txt/b.txt")), "PC level file error: 76  "}};
    WriteFileBytes(path(QStringLiteral("a.txt")), "");
    t.ctx.mode.gBatchMode = true;
    for (const auto& c : cases) {
        t.boxes->expect(QString::fromLatin1(c.text));
        EXPECT_FALSE(run(c.file)) << c.file.toStdString();
    }
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(host->requests.empty());
}

namespace {
// A writer whose disk fills up after `room` records.
struct FillingSink : FileSink {
    int room = 0;
    void accepted(const std::string&) override {}
    void record(const SpoolRecordSlot&) override {
        if (room-- == 0) throw PcFileError{61, QStringLiteral("Disk full")};
    }
    void finish(bool) override {}
    void abandon() noexcept override {}
    bool replacesEarlierFile() const override { return false; }
};
}  // namespace

TEST_F(ProcTxtTest, AFileErrorComesBackToTheCallerWithItsNumberAndIsNotYetShown) {
    const QString earlier = earlierFile(1);
    const struct {
        const char* what;
        QString file;
        int number;
        const char* description;
        int downloads, cancels;  // the next block is asked for before a block is written
    } cases[] = {{"a missing folder", path(QStringLiteral("missing/out.txt")), 76, "Path not found", 0, 0},
                 {"a disk that fills up", earlier, 61, "Disk full", 2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host->requests.clear();
        host->cancelRequests = 0;
        host->replies(SpoolReplies::report(NumberedRecords(200), " 80"));
        FillingSink sink;
        sink.room = 3;
        const ReportResult result =
            RunFileDownload(t.ctx, options, ExchangeStyle{}, screen, c.file, false, SampleRow(), sink);
        EXPECT_FALSE(result);
        ASSERT_TRUE(result.outcome.failure.has_value());
        EXPECT_EQ(result.outcome.failure->number, c.number);
        EXPECT_EQ(result.outcome.failure->text, QString::fromLatin1(c.description));
        EXPECT_EQ(result.writtenAs, c.file);
        // The caller words the message: nothing was shown yet.
        EXPECT_TRUE(t.boxes->shown().empty());
        EXPECT_EQ(host->downloadRequests(), c.downloads);
        EXPECT_EQ(host->cancelRequests, c.cancels);
        EXPECT_EQ(ReadFileBytes(earlier), "EARLIER REPORT\r\n");
        host->script.clear();
    }
}

TEST_F(ProcTxtTest, ADiskThatFillsUpStopsTheHostToo) {
    std::vector<Record> records;
    for (int i = 0; i < 200; ++i) records.push_back({"   ", '1', std::string(980, 'x')});
    host->replies(SpoolReplies::report(records, "990"));
    const QString file = path(QStringLiteral("keep.txt"));
    WriteFileBytes(file, "EARLIER REPORT\r\n");
    replaceFile(0);
    t.ctx.mode.gBatchMode = true;
    t.boxes->expect(QStringLiteral("PC level file error: 61  "));
    {
        // The disk takes some 70 records, then no more.
        FileSizeLimit full(70 * 1024);
        EXPECT_FALSE(run(file));
    }
    EXPECT_EQ(host->cancelRequests, 1);
    EXPECT_LT(host->downloadRequests(), 200);
    EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
}

// A disk that fills up while the next block is on its way, and a host that
// then falls silent: the message comes within the second a cancel allows for
// a reply on its way, not after the reply limit; the earlier file stays as it
// was, and the link, out of step now, is closed.
TEST_F(ProcTxtTest, ADiskThatFillsUpBeforeAHostFallsSilentIsToldWithinASecond) {
    std::vector<Record> records;
    for (int i = 0; i < 200; ++i) records.push_back({"   ", '1', std::string(980, 'x')});
    const std::vector<std::string> replies = SpoolReplies::report(records, "990");
    t.ctx.mode.gBatchMode = true;
    for (int replace : {1, 0}) {
        SCOPED_TRACE(replace);
        const QString file = earlierFile(replace);
        host->script.clear();
        host->requests.clear();
        host->cancelRequests = 0;
        t.ctx.link.discardSocket();
        // The disk takes less than the writer's first 64 KiB (66 records): the
        // 67th record fails it while the 68th block is asked for, which the
        // host never sends.
        for (int i = 0; i < 67; ++i) host->reply(replies[static_cast<size_t>(i)]);
        host->script.push_back({ScriptedHost::Step::Silence, {}});
        t.boxes->expect(QStringLiteral("PC level file error: 61  "));
        const qint64 start = t.clock->nowMs();
        {
            FileSizeLimit full(30 * 1024);
            EXPECT_FALSE(run(file));
        }
        EXPECT_LE(t.clock->nowMs() - start, 1500);
        EXPECT_EQ(host->downloadRequests(), 68);
        EXPECT_EQ(host->cancelRequests, 0);
        EXPECT_EQ(t.ctx.link.socketIfOpen(), nullptr);
        EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.txt")});
    }
    EXPECT_TRUE(t.boxes->done());
}

TEST(PcFileErrors, NumbersAsTheMessagesShowThem) {
    // A read-only file or a folder closed to the user is 75 (path/file access
    // error); 70 (permission denied) is a write-protected disk or a locked file.
    const std::pair<int, int> cases[] = {{ENOENT, 76}, {ENOTDIR, 76}, {EACCES, 75},       {EPERM, 75},
                                         {EROFS, 70},  {ETXTBSY, 70}, {ENOSPC, 61},       {EISDIR, 75},
                                         {ENAMETOOLONG, 52}, {EMFILE, 67}};
    for (const auto& [err, number] : cases) EXPECT_EQ(PcFileErrorFromErrno(err, true).number, number) << err;
    EXPECT_EQ(PcFileErrorFromErrno(ENOENT, false).number, 53);
    EXPECT_EQ(PcFileErrorFromErrno(ENOENT, false).description, QStringLiteral("File not found"));
}
