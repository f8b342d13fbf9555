#include <gtest/gtest.h>

#include "SpoolExchange.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "DownloadDriver.h"
#include "HostSimFixture.h"
#include "QtPrinter.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
QString runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a record: its page and line, filled to the width with the
// right edge marked.
std::string recordText(int width, int page, int line) {
    std::string s = "PAGE " + std::to_string(page) + " LINE " + std::to_string(line) + " ";
    s.resize(static_cast<size_t>(width) - 1, '.');
    return s + "|";
}

// A report of `pages` pages of `lines` lines each, job 200001/SWUSER/PRINTS.
std::string report(const std::string& name, int number, int width, int pages, int lines) {
    std::string s = "name=" + name + "\njob=PRINTS\nuser=SWUSER\njobnumber=200001\nnumber=" + std::to_string(number) +
                    "\nwidth=" + std::to_string(width) +
                    "\nformtype=*STD\ndate=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    for (int p = 1; p <= pages; ++p)
        for (int l = 1; l <= lines; ++l) s += (l == 1 ? "001 " : "   1") + recordText(width, p, l) + "\n";
    return s;
}

class PrintToPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", "NARROW.splf", report("NARROW", 1, 80, 3, 60));
        HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", "WIDE.splf", report("WIDE", 2, 198, 2, 45));
        AddGridRow(screen, QStringLiteral("NARROW"), QStringLiteral("PRINTS/0001"));
        AddGridRow(screen, QStringLiteral("WIDE"), QStringLiteral("PRINTS/0002"));
        SplfGrid& g = screen.grdSplf();
        for (int i = 1; i <= 2; ++i) {
            g.setCellValue(i, QStringLiteral("User"), QStringLiteral("SWUSER"));
            g.setCellValue(i, QStringLiteral("JobNumber"), QStringLiteral("200001"));
        }
        screen.setText(ScreenText::ProcessType, QStringLiteral("PC printer"));
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    // Prints the selected rows into `pdf`.
    std::vector<ReportOutcome> printInto(const QString& pdf, int onlyRow) {
        t.ctx.services.printer = std::make_unique<QtPrinter>(pdf);
        for (int i = 1; i <= 2; ++i) screen.grdSplf().setCellSelected(i, 1, i == onlyRow);
        return RunSelectedDownloads(t.ctx);
    }
    // The pages of a PDF as pdftotext lays them out, trailing blanks removed.
    static std::vector<QStringList> pages(const QString& pdf) {
        std::vector<QStringList> out;
        for (const QString& page : runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                       .split(QLatin1Char('\f'))) {
            QStringList lines;
            for (const QString& l : page.split(QLatin1Char('\n'))) {
                const QString t = l.trimmed();
                if (!t.isEmpty()) lines << t;
            }
            if (!lines.isEmpty()) out.push_back(lines);
        }
        return out;
    }
    // Portrait (taller than wide) for each page.
    static std::vector<bool> portrait(const QString& pdf) {
        const QString info = runTool(QStringLiteral("pdfinfo"),
                                     {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("99"), pdf});
        std::vector<bool> out;
        auto it = QRegularExpression(QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+)")).globalMatch(info);
        while (it.hasNext()) {
            const auto m = it.next();
            out.push_back(m.captured(1).toDouble() < m.captured(2).toDouble());
        }
        return out;
    }
    static void render(const QString& pdf, const QString& name) {
        const QString dir = QStringLiteral(SW_BINARY_DIR "/screenshots");
        QDir().mkpath(dir);
        runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"),
                                             QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                             QStringLiteral("1"), pdf, dir + QLatin1Char('/') + name});
    }
    static void expectEveryLine(const std::vector<QStringList>& got, int width, int pageCount, int lines) {
        ASSERT_EQ(static_cast<int>(got.size()), pageCount);
        for (int p = 1; p <= pageCount; ++p) {
            ASSERT_EQ(got[static_cast<size_t>(p - 1)].size(), lines) << "page " << p;
            for (int l = 1; l <= lines; ++l)
                EXPECT_EQ(got[static_cast<size_t>(p - 1)][l - 1], QString::fromStdString(recordText(width, p, l)));
        }
    }

    TestContext t;
    QTemporaryDir spool, out;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    std::unique_ptr<HostSimFixture> host;
};
}  // namespace

TEST_F(PrintToPdfTest, An80ColumnReportPrintsEveryLineOnTheHostsPagesInPortrait) {
    const QString pdf = out.filePath(QStringLiteral("narrow.pdf"));
    const auto outcomes = printInto(pdf, 1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, ReportOutcome::Delivered);
    EXPECT_EQ(screen.status(), QStringLiteral("Print is complete to ") + pdf + QStringLiteral(".  180 records printed."));
    expectEveryLine(pages(pdf), 80, 3, 60);
    EXPECT_EQ(portrait(pdf), std::vector<bool>({true, true, true}));
    render(pdf, QStringLiteral("print80"));
}

// The stored format of 198 columns, in either orientation: every line comes
// whole; a size too large for the width of the page is taken down until the
// lines fit across it, and the status says so.
TEST_F(PrintToPdfTest, A198ColumnReportPrintsEveryLineWholeWithTheStoredFormat) {
    const struct {
        const char* landscape;
        const char* size;
        bool portrait;
        const char* note;  // in the completion text; empty: none
        const char* picture;
    } cases[] = {
        {"True", "Auto", false, "", "print198"},
        {"False", "8", true, " points instead of 8, so that all 198 columns fit across the page.", "print198portrait"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        t.ctx.services.saveSetting(QStringLiteral("Orientation 3"), QString::fromLatin1(c.landscape));
        t.ctx.services.saveSetting(QStringLiteral("198 Fontsize"), QString::fromLatin1(c.size));
        const QString pdf = out.filePath(QString::fromLatin1(c.picture) + QStringLiteral(".pdf"));
        const auto outcomes = printInto(pdf, 2);
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].status, ReportOutcome::Delivered);
        expectEveryLine(pages(pdf), 198, 2, 45);
        EXPECT_EQ(portrait(pdf), std::vector<bool>(2, c.portrait));
        EXPECT_EQ(screen.status().contains(QLatin1String(c.note)) && screen.status().contains(QLatin1String("points")),
                  *c.note != 0)
            << screen.status().toStdString();
        render(pdf, QString::fromLatin1(c.picture));
    }
}

TEST_F(PrintToPdfTest, AHostThatStopsAnsweringLeavesAFinishedDocumentOfWhatCame) {
    host->faults().dropAfter = 2;
    t.boxes->answerAllWithDefault = true;
    const QString pdf = out.filePath(QStringLiteral("cut.pdf"));
    const auto outcomes = printInto(pdf, 1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, ReportOutcome::Failed);
    EXPECT_TRUE(t.boxes->texts().join('|').contains(QStringLiteral("SendReceive"))) << t.boxes->texts().join('|').toStdString();
    const auto got = pages(pdf);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].size(), 22);  // two blocks of 11
    EXPECT_EQ(got[0].last(), QString::fromStdString(recordText(80, 1, 22)));
}

TEST_F(PrintToPdfTest, AHostThatKeepsSayingMoreIsStoppedAndTheJobEndsWithWhatCame) {
    host->faults().endlessMore = true;
    t.boxes->answerAllWithDefault = true;
    const QString pdf = out.filePath(QStringLiteral("endless.pdf"));
    const auto outcomes = printInto(pdf, 1);
    // Blocks that hold nothing: the host is stopped soon after the report's
    // last record and told to cancel.
    EXPECT_LE(host->jobFrames().size(), size_t(kQuietBlocks) + 20);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, ReportOutcome::Failed);
    EXPECT_TRUE(t.boxes->texts().join('|').contains(QStringLiteral("keeps saying that more of the report follows")))
        << t.boxes->texts().join('|').toStdString();
    // The report's three pages are all in the finished document.
    expectEveryLine(pages(pdf), 80, 3, 60);
}
