#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "HostLink.h"
#include "ConnectionWindows.h"
#include "ScriptedHostSocket.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "frmMain.h"
#include "frmSplf.h"

namespace {
// The spooled-file screen itself, its "&Open" and "&Cancel" driving a download.
struct RealScreen {
    RealScreen() {
        installWindows(t.ctx);
        installDownloadWindows(t.ctx);
        splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
        splf->cboProcessType->setEditText(QStringLiteral("Text file"));
        splf->cboProcessType_Click();
        splf->setValue(QStringLiteral("optAddReplace"), 2);
        t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
        AddGridRow(*splf, QStringLiteral("REPORTA"), QStringLiteral("QPADEV0001/0003"));
    }
    TestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    frmSplf* splf = nullptr;
};

std::vector<SpoolReplies::Record> lines(int n) {
    std::vector<SpoolReplies::Record> r{{"001", ' ', "LINE 1"}};
    for (int i = 2; i <= n; ++i) r.push_back({"   ", '1', "LINE " + std::to_string(i)});
    return r;
}
}  // namespace

TEST(SplfDownload, TheScreenIsLockedForTheRunAndUnlockedAfter) {
    RealScreen s;
    s.host->replies(SpoolReplies::report(lines(3), " 80"));
    s.t.presenter->expectModal(QStringLiteral("frmSave"), [&](QWidget* w) {
        EXPECT_EQ(s.splf->cmdCancel->text(), QStringLiteral("&Cancel"));
        EXPECT_FALSE(s.splf->controlEnabled(ScreenControl::OK));
        EXPECT_FALSE(s.splf->controlEnabled(ScreenControl::Grid));
        EXPECT_FALSE(s.splf->controlEnabled(ScreenControl::ProcessType));
        EXPECT_TRUE(s.splf->enabled(QStringLiteral("cboTranslation")));
        static_cast<frmSaveAs*>(w)->OKButton->click();
    });
    s.splf->cmdOK->click();
    EXPECT_TRUE(s.t.presenter->done());
    const QString file =
        s.t.dir.path() + QStringLiteral("/REPORTA QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09.txt");
    EXPECT_EQ(ReadFileBytes(file).substr(0, 8), "LINE 1\r\n");
    EXPECT_EQ(s.splf->cmdCancel->text(), QStringLiteral("&Close"));
    EXPECT_TRUE(s.splf->controlEnabled(ScreenControl::OK));
    EXPECT_TRUE(s.splf->controlEnabled(ScreenControl::Grid));
    EXPECT_TRUE(s.splf->enabled(QStringLiteral("chkBlankLines")));  // the process type applied again
}

TEST(SplfDownload, CancelOnTheScreenStopsTheTransfer) {
    RealScreen s;
    s.t.presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
    s.host->replies(SpoolReplies::report(lines(30), " 80"));
    s.host->afterReply = [&](int n) {
        if (n != 1) return;
        s.splf->cmdCancel->click();
        EXPECT_FALSE(s.splf->cmdCancel->isEnabled());
        EXPECT_EQ(s.splf->status(), QStringLiteral("Cancel in progress...  Please wait."));
    };
    s.t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  "));
    s.splf->cmdOK->click();
    EXPECT_EQ(s.host->cancelRequests, 1);
    EXPECT_EQ(s.splf->status(), QStringLiteral("Last operation was canceled by user request."));
    EXPECT_EQ(s.splf->cmdCancel->text(), QStringLiteral("&Close"));
    EXPECT_TRUE(s.splf->cmdCancel->isEnabled());
    EXPECT_FALSE(s.t.ctx.link.cancelRequested());
}

// File > Refresh while a download waits for its block: the command is off,
// the list is not asked for, the grid keeps its rows and the report arrives
// whole. A list asked for by any other way is refused without touching the grid.
TEST(SplfDownload, NothingElseTalksToTheHostWhileADownloadWaits) {
    RealScreen s;
    s.t.presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
    s.host->replies(SpoolReplies::report(lines(30), " 80"));
    frmMain& m = s.t.ctx.mainWindow();
    m.txtOutq->setText(QStringLiteral("PRT01"));
    bool checked = false;
    s.host->afterReply = [&](int n) {
        if (n != 1) return;  // the second block is on its way
        checked = true;
        EXPECT_FALSE(s.splf->itmRefresh->isEnabled());
        EXPECT_FALSE(m.cmdOK->isEnabled());
        EXPECT_FALSE(m.cmdListOutqs->isEnabled());
        EXPECT_FALSE(m.itmDisconnect->isEnabled());
        s.splf->itmRefresh->trigger();
        EXPECT_FALSE(GetSpoolFiles(s.t.ctx, QStringLiteral("PRT01"), QStringLiteral("*LIBL"), QString()));
    };
    s.t.boxes->expect(QStringLiteral("Error in SendReceive procedure.  The iSeries is still busy"));
    s.splf->cmdOK->click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(s.t.boxes->done());
    for (const std::string& r : s.host->requests) EXPECT_EQ(r.substr(10, 1), "W");
    EXPECT_EQ(s.splf->grdSplf().rowCount(), 1);
    const QString file =
        s.t.dir.path() + QStringLiteral("/REPORTA QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09.txt");
    const std::string written = ReadFileBytes(file);
    EXPECT_NE(written.find("LINE 30\r\n"), std::string::npos);
    EXPECT_EQ(s.splf->status(), QStringLiteral("Transfer is complete to ") + file +
                                    QStringLiteral(".  30 records transferred."));
    // Back to what they were once the run has ended.
    EXPECT_TRUE(s.splf->itmRefresh->isEnabled());
    EXPECT_TRUE(m.cmdOK->isEnabled());
    EXPECT_TRUE(m.cmdListOutqs->isEnabled());
}

// While a list is read the main window's host commands are off too.
TEST(SplfDownload, TheMainWindowsHostCommandsAreOffWhileAListIsRead) {
    RealScreen s;
    frmMain& m = s.t.ctx.mainWindow();
    m.itmDisconnect->setEnabled(true);
    std::vector<std::string> block;
    block.push_back(std::string(1000, ' ') + HostWire::field("(END)", 24));
    s.host->replies(block);
    bool checked = false;
    s.host->afterReply = [&](int) {
        checked = true;
        EXPECT_FALSE(m.cmdOK->isEnabled());
        EXPECT_FALSE(m.cmdListOutqs->isEnabled());
        EXPECT_FALSE(m.itmListOutqs->isEnabled());
        EXPECT_FALSE(m.itmConnect->isEnabled());
        EXPECT_FALSE(m.itmDisconnect->isEnabled());
        EXPECT_FALSE(s.splf->itmRefresh->isEnabled());
    };
    s.t.boxes->expect(QStringLiteral("There are no spool files available. "));
    GetSpoolFiles(s.t.ctx, QStringLiteral("PRT01"), QStringLiteral("*LIBL"), QString());
    EXPECT_TRUE(checked);
    EXPECT_TRUE(m.cmdOK->isEnabled());
    EXPECT_TRUE(m.itmDisconnect->isEnabled());
    EXPECT_TRUE(s.splf->itmRefresh->isEnabled());
}

// "Auto connect at startup" connects at once when ticked; while a download
// waits for its block that would take the download's link away. The tick is
// kept for the next start, the download goes on and arrives whole.
TEST(SplfDownload, TickingAutoConnectDuringADownloadLeavesItsLinkAlone) {
    RealScreen s;
    s.t.presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
    s.host->replies(SpoolReplies::report(lines(30), " 80"));
    frmMain& m = s.t.ctx.mainWindow();
    m.itmAutoConnect->setChecked(false);
    s.host->afterReply = [&](int n) {
        if (n == 1) m.itmAutoConnect->trigger();
    };
    s.splf->cmdOK->click();
    EXPECT_TRUE(m.itmAutoConnect->isChecked());
    EXPECT_TRUE(s.t.boxes->done());
    for (const std::string& r : s.host->requests) EXPECT_EQ(r.substr(10, 1), "W");
    const QString file =
        s.t.dir.path() + QStringLiteral("/REPORTA QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09.txt");
    EXPECT_EQ(s.splf->status(), QStringLiteral("Transfer is complete to ") + file +
                                    QStringLiteral(".  30 records transferred."));
}

// Closing the main window while a report is on its way must not end the
// program with the report half written: the run is cancelled, the file that
// was there before is as it was, and only then does the program end, with
// no box left for anybody to answer.
TEST(SplfDownload, ClosingTheMainWindowDuringADownloadCancelsItAndKeepsTheEarlierFile) {
    for (const bool replace : {true, false}) {
        SCOPED_TRACE(replace ? "replace" : "add");
        RealScreen s;
        s.splf->setChosen(ScreenChoice::TextAddReplace, 0, replace);
        s.splf->setChosen(ScreenChoice::TextAddReplace, 1, !replace);
        const QString file =
            s.t.dir.path() + QStringLiteral("/REPORTA QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09.txt");
        WriteFileBytes(file, "EARLIER REPORT\r\n");
        s.t.presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
        s.host->replies(SpoolReplies::report(lines(30), " 80"));
        frmMain& m = s.t.ctx.mainWindow();
        m.show();
        s.host->afterReply = [&](int n) {
            if (n == 1) {
                EXPECT_FALSE(m.close());
            }
        };
        s.splf->cmdOK->click();
        EXPECT_FALSE(s.t.ctx.services.programEnded.has_value()) << "not before the run has ended";
        QCoreApplication::processEvents();
        EXPECT_TRUE(s.t.ctx.services.programEnded.has_value()) << "the stop sequence follows the run";
        EXPECT_EQ(s.host->cancelRequests, 1);
        EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
        EXPECT_EQ(s.splf->status(), QStringLiteral("Last operation was canceled by user request."));
        EXPECT_TRUE(s.t.boxes->shown().empty()) << s.t.boxes->texts().join(QLatin1Char('|')).toStdString();
    }
}

// The name a save dialog proposes is free among the files of its own kind: a
// text file of the same name does not push an HTML, XML or PDF document to a
// numbered name, and an existing document of that kind does.
TEST(SplfDownload, TheProposedNameIsFreeAmongFilesOfItsOwnExtension) {
    const QString base = QStringLiteral("/REPORTA QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09");
    const struct {
        const char* processType;
        const char* extension;
    } destinations[] = {{"Text file", "txt"}, {"HTML document", "html"}, {"XML document", "xml"}, {"PDF document", "pdf"}};
    for (const auto& d : destinations) {
        for (const bool documentThere : {false, true}) {
            SCOPED_TRACE(std::string(d.processType) + (documentThere ? ", a file of that kind there" : ""));
            RealScreen s;
            const QString ext = QString::fromLatin1(d.extension);
            WriteFileBytes(s.t.dir.path() + base + QStringLiteral(".txt"), "EARLIER TEXT\r\n");
            if (documentThere && ext != QLatin1String("txt"))
                WriteFileBytes(s.t.dir.path() + base + QLatin1Char('.') + ext, "EARLIER\r\n");
            s.splf->cboProcessType->setEditText(QString::fromLatin1(d.processType));
            s.splf->cboProcessType_Click();
            QString proposed;
            s.t.presenter->onModal = [&](QWidget* w) {
                auto* dialog = static_cast<frmSaveAs*>(w);
                proposed = dialog->txtSave->text();
                dialog->CancelButton->click();
            };
            s.splf->cmdOK->click();
            const bool numbered = documentThere || ext == QLatin1String("txt");
            EXPECT_EQ(proposed, s.t.dir.path() + base + (numbered ? QStringLiteral(" 001.") : QStringLiteral(".")) + ext);
            EXPECT_TRUE(s.host->requests.empty()) << "a cancelled dialog downloads nothing";
            EXPECT_EQ(ReadFileBytes(s.t.dir.path() + base + QStringLiteral(".txt")), "EARLIER TEXT\r\n");
        }
    }
}

// "PC printer" on a computer without a printer: the user is told so before
// any print dialog opens, and the report is not asked for.
TEST(SplfDownload, PrintingWithoutAPrinterSaysSoBeforeAnyDialog) {
    RealScreen s;
    s.t.printer->present = false;
    s.t.presenter->strict = true;
    s.splf->cboProcessType->setEditText(QStringLiteral("PC printer"));
    s.splf->cboProcessType_Click();
    s.host->replies(SpoolReplies::report(lines(3), " 80"));
    s.t.boxes->expect(QStringLiteral("No printer is set up on this computer.  The spool file was not printed."));
    s.splf->cmdOK->click();
    EXPECT_TRUE(s.t.boxes->done());
    for (const TestPresenter::Shown& shown : s.t.presenter->shown()) EXPECT_NE(shown.kind, "print");
    EXPECT_TRUE(s.t.printer->log().isEmpty()) << s.t.printer->log().join(", ").toStdString();
    EXPECT_TRUE(s.host->requests.empty());
    EXPECT_EQ(s.splf->cmdCancel->text(), QStringLiteral("&Close")) << "the screen is ready for the next try";
}
