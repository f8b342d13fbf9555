#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "CoreTestSupport.h"
#include "ReportDelivery.h"
#include "SpoolFileRow.h"

// One report's way to its destination, as the screen and the batch run both
// take it: the name it gets, what it must not overwrite, and why it failed.
namespace {
QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ReportDeliveryTest : ::testing::Test {
    CoreTestContext t;
    QString folder = QDir(t.dir.path()).filePath(QStringLiteral("out"));
    int runs = 0;
    // The procedure: writes the report's file, or fails after its message, or
    // hands its failure back untold.
    bool failWith = false;
    bool failAsValue = false;
    ReportRun run{t.ctx, {}, {}, {}};

    void SetUp() override {
        QDir().mkpath(folder);
        run.dispatch = [this](const ProcessType&, const DownloadOptions&) -> std::optional<ReportDelivery> {
            return ReportDelivery{[this](const QString& fileName, const SpoolFileRow& row) {
                ++runs;
                if (failWith) {
                    t.ctx.services.msgBox(QStringLiteral("Unable to open file ") + fileName);
                    return ReportResult{};
                }
                if (failAsValue)
                    return ReportResult{Outcome::Failed(Failure{QStringLiteral("Unable to open file ") + fileName,
                                                                MsgIcon::Exclamation, QStringLiteral("Tolvane"), 75}),
                                        {},
                                        fileName};
                QFile f(fileName);
                if (!f.open(QIODevice::WriteOnly)) return ReportResult{};
                f.write(QByteArray::fromStdString(row.fileName()));
                return ReportResult{Outcome::Done(), {}, fileName};
            }};
        };
    }
    QString path(const char* name) const { return QDir(folder).filePath(QString::fromLatin1(name)); }
    DownloadOptions options(Destination d) const {
        DownloadOptions o;
        o.processType = ProcessTypeOf(d).text;
        return o;
    }
    // An earlier file, as yesterday's run left it.
    static bool writeEarlier(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write("yesterday") == 9;
    }
    void nameAll(const QString& name, bool chosenByUser) {
        run.names = [name, chosenByUser](SaveDialogKind, const SpoolFileRow&) {
            return std::optional<ChosenName>(ChosenName{name, chosenByUser});
        };
    }
};

SpoolFileRow report(const char* file) { return SpoolFileRow::fromFields({.file = file}); }
}  // namespace

TEST_F(ReportDeliveryTest, ANameNobodyChoseNeverReplacesWhatTheRunWroteButAChosenOneDoes) {
    struct Case {
        const char* name;
        bool chosenByUser;
        DownloadOptions::AddReplace textFile;
        bool secondKeepsTheName;
    };
    const Case cases[] = {
        {"the batch rule", false, DownloadOptions::AddReplace::Replace, false},
        {"neither Replace nor Add", false, DownloadOptions::AddReplace::None, false},
        {"Add to file", false, DownloadOptions::AddReplace::Add, true},
        {"the user's choice", true, DownloadOptions::AddReplace::Replace, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run.writtenThisRun.clear();
        const QString target = path("night.txt");
        QFile::remove(target);
        nameAll(target, c.chosenByUser);
        DownloadOptions o = options(Destination::TextFile);
        o.textFile = c.textFile;
        const ReportOutcome first = DeliverReport(run, o, report("FIRST"));
        ASSERT_EQ(first.status, ReportOutcome::Delivered);
        EXPECT_EQ(first.target, target);
        const ReportOutcome second = DeliverReport(run, o, report("SECOND"));
        ASSERT_EQ(second.status, ReportOutcome::Delivered);
        EXPECT_EQ(second.target == target, c.secondKeepsTheName) << second.target.toStdString();
        if (!c.secondKeepsTheName) {
            EXPECT_TRUE(contentsOf(target).startsWith("FIRST"));
            EXPECT_TRUE(contentsOf(second.target).startsWith("SECOND"));
        }
        for (const QString& f : QDir(folder).entryList(QDir::Files)) QFile::remove(QDir(folder).filePath(f));
    }
}

TEST_F(ReportDeliveryTest, AFailedReportSaysWhyAndLeavesTheFileThatWasThere) {
    const QString target = path("kept.txt");
    ASSERT_TRUE(writeEarlier(target));
    nameAll(target, false);
    failWith = true;
    t.boxes->expect(QStringLiteral("Unable to open file"));
    const ReportOutcome out = DeliverReport(run, options(Destination::TextFile), report("R1"));
    EXPECT_EQ(out.status, ReportOutcome::Failed);
    EXPECT_EQ(out.reason, QStringLiteral("Unable to open file ") + target);
    EXPECT_EQ(contentsOf(target), "yesterday");
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ReportDeliveryTest, AFailureHandedBackIsToldOnceAndIsTheReason) {
    const QString target = path("kept.txt");
    ASSERT_TRUE(writeEarlier(target));
    nameAll(target, false);
    failAsValue = true;
    t.boxes->expect(QStringLiteral("Unable to open file ") + target);
    const ReportOutcome out = DeliverReport(run, options(Destination::TextFile), report("R1"));
    EXPECT_EQ(out.status, ReportOutcome::Failed);
    EXPECT_EQ(out.reason, QStringLiteral("Unable to open file ") + target);
    ASSERT_EQ(t.boxes->shown().size(), 1u);
    EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Exclamation);
    EXPECT_EQ(contentsOf(target), "yesterday");
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ReportDeliveryTest, AReportThatCannotStartIsNotDeliveredAndItsProcedureNeverRuns) {
    struct Case {
        const char* name;
        QString processType;
        const char* message;  // empty: none, the report is skipped
        ReportOutcome::Status status;
    };
    // A work-folder destination with no work folder; no such destination; a name nobody gave.
    const Case cases[] = {
        {"no work folder", ProcessTypeOf(Destination::MicrosoftExcel).text, "There is no work directory for",
         ReportOutcome::Failed},
        {"no destination", QStringLiteral("Please select a destination..."),
         "Please select a valid application or format", ReportOutcome::Failed},
        {"a cancelled dialog", ProcessTypeOf(Destination::PdfDocument).text, "", ReportOutcome::Skipped},
    };
    t.ctx.connection.gWorkDir.clear();
    run.names = [](SaveDialogKind, const SpoolFileRow&) { return std::optional<ChosenName>(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (*c.message) t.boxes->expect(QString::fromLatin1(c.message));
        DownloadOptions o;
        o.processType = c.processType;
        const ReportOutcome out = DeliverReport(run, o, report("R1"));
        EXPECT_EQ(out.status, c.status);
        if (*c.message) EXPECT_TRUE(out.reason.startsWith(QString::fromLatin1(c.message))) << out.reason.toStdString();
        else EXPECT_TRUE(out.reason.isEmpty()) << out.reason.toStdString();
        EXPECT_TRUE(t.boxes->done());
    }
    EXPECT_EQ(runs, 0);
}
