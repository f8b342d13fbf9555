// The main window's close box while a download runs, as the window system
// delivers it (a window blocked by a modal one never hears of it), with the
// spooled-file screen up as "&Open" shows it and hostsim serving the report.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include "DownloadWindows.h"
#include "HostSimFixture.h"
#include "QtPresenter.h"
#include "ScriptedMessageBoxes.h"
#include "SplfGrid.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "frmMain.h"
#include "frmSplf.h"

namespace {
// Real modal windows; a window's hook runs once its modal loop is going.
class ModalPresenter : public QtPresenter {
public:
    QMap<QString, std::function<void(QWidget*)>> hooks;
    void showModal(QWidget* window) override {
        if (window && hooks.contains(window->objectName()))
            QTimer::singleShot(0, window, [this, window] {
                // Nothing may leave an event handler: a failure is the test's.
                try {
                    hooks.value(window->objectName())(window);
                } catch (const std::exception& e) {
                    ADD_FAILURE() << "in " << window->objectName().toStdString() << ": " << e.what();
                    window->hide();
                }
            });
        QtPresenter::showModal(window);
    }
};

// A box stays up while the user reads it; the window system's events (a queued
// close among them) go on meanwhile, as under a real modal box.
class ReadBoxes : public ScriptedMessageBoxes {
public:
    std::function<void()> whileUp;
    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
             int defaultButton) override {
        QEventLoop reading;
        QTimer::singleShot(50, &reading, &QEventLoop::quit);
        reading.exec();
        if (whileUp) whileUp();
        return ScriptedMessageBoxes::show(text, buttons, icon, title, defaultButton);
    }
};

// Every text a label shows on the screen, in order.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label) : label_(label) { label->installEventFilter(this); }
    QStringList seen;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == label_ && e->type() == QEvent::Paint && (seen.isEmpty() || seen.last() != label_->text()))
            seen << label_->text();
        return false;
    }

private:
    QLabel* label_;
};

std::string longReport() {
    std::string s = "name=LEDGER\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\nnumber=1\nwidth=80\n"
                    "formtype=*STD\ndate=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    // 40 pages of 50 lines.
    for (int i = 1; i <= 2000; ++i) s += (i % 50 == 1 ? "001 " : "   1") + std::string("LEDGER LINE ") + std::to_string(i) + "\n";
    return s;
}
}  // namespace

// The close box during the download cancels it as the screen's Cancel does,
// keeps the file that was there, and then ends the program through the stop
// sequence with no box waiting for anybody (the cancel's word goes to the
// status line); also when the host has stopped answering.
TEST(CloseBox, DuringADownloadItCancelsTheDownloadThenClosesTheProgram) {
    for (const bool hostAnswers : {true, false}) {
        SCOPED_TRACE(hostAnswers ? "the host answers" : "the host has stopped answering");
        TestContext t;
        bool endedWhileBoxUp = false;
        auto reading = std::make_unique<ReadBoxes>();
        reading->whileUp = [&] { endedWhileBoxUp = endedWhileBoxUp || t.ctx.services.programEnded.has_value(); };
        t.boxes = reading.get();
        t.ctx.services.msg = std::move(reading);
        QTemporaryDir spool, out;
        HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("SALES"), QStringLiteral("PRT01"),
                                         QStringLiteral("LEDGER.splf"), longReport());
        HostSimFixture host({.spool = spool.path(), .clock = t.clock, .listener = false});
        host.faults().replyDelayMs = 1000;  // the report takes long enough to close the window during it
        installWindows(t.ctx);
        installDownloadWindows(t.ctx);
        auto presenter = std::make_unique<ModalPresenter>();
        ModalPresenter& modal = *presenter;
        t.ctx.services.presenter = std::move(presenter);
        t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), out.path());
        t.boxes->answerAllWithDefault = true;
        ASSERT_TRUE(host.connectJobPort(t.ctx));
        frmMain& main = t.ctx.mainWindow();
        main.lblStatus->setText(QStringLiteral("Connected to ") + host.address());
        main.show();
        PaintedTexts status(main.sbMainPanel1);
        const QString file = out.path() + QStringLiteral("/LEDGER MONTHEND SWUSER 100001 0001 2024-06-30 23-59-01.txt");
        WriteFileBytes(file, "EARLIER LEDGER\r\n");

        bool closed = false, endedAtClose = true;
        QTimer watch;
        watch.setInterval(2);
        QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
            // Once the report is on its way and no dialog is in front.
            bool asked = false;
            for (const std::string& f : host.jobFrames()) asked = asked || f.substr(10, 1) == "W";
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (closed || !asked || (dialog && dialog->objectName() != QLatin1String("frmSplf"))) return;
            closed = true;
            endedAtClose = t.ctx.services.programEnded.has_value();
            if (!hostAnswers) host.faults().silentAfter = static_cast<int>(host.jobFrames().size());
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(main.windowHandle());
        });
        modal.hooks[QStringLiteral("frmSave")] = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
        modal.hooks[QStringLiteral("frmSplf")] = [&](QWidget* w) {
            auto* splf = static_cast<frmSplf*>(w);
            EXPECT_FALSE(main.isEnabled()) << "the main window is out of reach while the screen is up";
            splf->grdSplf().setCellSelected(1, 1, true);
            splf->cboProcessType->setCurrentText(QStringLiteral("Text file"));
            splf->cboProcessType_Click();
            splf->setChosen(ScreenChoice::TextAddReplace, 0, true);
            watch.start();
            splf->cmdOK->click();
            watch.stop();
            // The stop sequence runs once the run has let go of the link.
            QTimer::singleShot(0, splf, [splf] { splf->hide(); });
        };
        main.txtOutq->setText(QStringLiteral("PRT01"));
        main.cboLibrary->setEditText(QStringLiteral("SALES"));
        main.txtWrkSplf->setText(QStringLiteral("*ALL"));
        main.cmdOK_Click();

        EXPECT_TRUE(closed) << "the download was over before the close box could be tried";
        EXPECT_FALSE(endedAtClose) << "the program did not end in the middle of the download";
        ASSERT_TRUE(t.ctx.services.programEnded.has_value()) << "the program went on after the close box";
        EXPECT_EQ(t.ctx.services.programEnded->exitStatus, t.ctx.services.stopExitStatus);
        EXPECT_EQ(t.ctx.services.getSetting(QStringLiteral("Defaults")), QStringLiteral("True"));
        EXPECT_EQ(ReadFileBytes(file), "EARLIER LEDGER\r\n");
        EXPECT_FALSE(endedWhileBoxUp) << "the program ended while its message was still up";
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QFileInfo(file).fileName()})
            << "the cancelled run left its hidden files in the folder";
        EXPECT_TRUE(t.boxes->shown().empty())
            << "a box kept the closing program waiting: " << t.boxes->texts().join(QLatin1Char('|')).toStdString();
        const QString shown = status.seen.join(QLatin1Char('|'));
        EXPECT_TRUE(shown.contains(QStringLiteral("Operation has been canceled by request of the user.")))
            << "the status line says the download was cancelled: " << shown.toStdString();
        if (!hostAnswers) {
            EXPECT_TRUE(shown.contains(QStringLiteral("had not answered yet")))
                << "the status line says the host did not answer: " << shown.toStdString();
        }
    }
}
