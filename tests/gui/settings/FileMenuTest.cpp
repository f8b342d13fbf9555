// The main window's File menu with the real settings files on disk: what a
// user sees after Open, Save and Save As, and that a failed one costs
// neither the file on disk nor the current settings file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <sys/stat.h>

#include "FileSizeLimit.h"
#include "QtPresenter.h"
#include "frmPrint.h"
#include "SettingsWindows.h"

namespace {
struct Menu : SettingsWindows {
    // Chooses `chosen` in the next file dialog and runs the menu item.
    void choose(QAction* item, const QString& chosen) {
        t.presenter->fileAnswers.push_back(chosen);
        item->trigger();
    }
};

const QByteArray kPdfSettings =
    "[Properties]\r\nID=Spwrter_10.0\r\nSaved=2024-02-29 09:08\r\nUser=QPGMR\r\nOutq=PRT01\r\nLibrary=QUSRSYS\r\n"
    "Process=PDF document\r\nPDF paper size=Legal\r\nPDF page orientation=False\r\nPDF file=/srv/out/a=b.pdf\r\n";
}  // namespace

TEST(FileMenu, OpenFillsTheWindowsAndBecomesTheCurrentFile) {
    Menu m;
    const QString p = m.path("pdf.spw");
    m.write(p, kPdfSettings);
    m.choose(m.main().itmOpen, p);
    EXPECT_EQ(m.main().statusPanel(), QStringLiteral("Settings loaded from ") + p);
    EXPECT_TRUE(m.main().itmSave->isEnabled());
    EXPECT_EQ(m.t.ctx.connection.gSettingsFile, p);
    EXPECT_EQ(m.main().txtWrkSplf->text(), "QPGMR");
    EXPECT_EQ(m.main().txtOutq->text(), "PRT01");
    EXPECT_EQ(m.main().cboLibrary->currentText(), "QUSRSYS");
    EXPECT_EQ(m.splf().cboProcessType->currentText(), "PDF document");
    EXPECT_EQ(m.splf().cboPaperSize->currentText(), "Legal");
    EXPECT_TRUE(m.splf().optPageOrientation[1]->isChecked());
    EXPECT_EQ(SaveDialog(m.t.ctx, frmSaveAs::Kind::Pdf).txtSave->text(), "/srv/out/a=b.pdf");
    EXPECT_EQ(m.file(p), kPdfSettings) << "opening leaves the file as it is";
}

// A file that cannot be opened changes nothing: not the windows, not the
// current file that Save would write to.
TEST(FileMenu, AFileThatCannotBeOpenedChangesNothing) {
    Menu m;
    const QString current = m.path("current.spw");
    m.write(current, kPdfSettings);
    m.choose(m.main().itmOpen, current);
    const QString outq = m.main().txtOutq->text();
    const QString pipe = m.path("pipe.spw");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const struct {
        const char* what;
        QString chosen;
        QString message;
    } cases[] = {
        {"a missing file", m.path("gone.spw"), QStringLiteral(" is not found.")},
        {"a folder", m.t.dir.path(), QStringLiteral(" is a folder, not a plain file.")},
        {"a pipe", pipe, QStringLiteral(" is a pipe (FIFO), not a plain file.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = m.t.boxes->shown().size();
        m.t.boxes->expect(QStringLiteral("File ") + c.chosen + c.message);
        m.choose(m.main().itmOpen, c.chosen);
        EXPECT_TRUE(m.t.boxes->done());
        EXPECT_EQ(m.t.ctx.connection.gSettingsFile, current);
        EXPECT_EQ(m.main().txtOutq->text(), outq);
        EXPECT_TRUE(m.main().itmSave->isEnabled());
        EXPECT_EQ(m.t.boxes->shown().size(), before + 1) << "one message, and only one";
    }
    EXPECT_EQ(m.file(current), kPdfSettings);
    EXPECT_TRUE(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile()) << "the pipe stays a pipe";
}

// Save As asks before it replaces a file; Save writes the file opened last
// without asking; what was saved opens to the same windows elsewhere.
TEST(FileMenu, SaveAsAsksSaveReplacesAndTheFileOpensElsewhere) {
    Menu m;
    const QString p = m.path("mine.spw");
    const QByteArray old = "[Properties]\r\nID=Spwrter_10.0\r\nOutq=OLD\r\n";
    m.write(p, old);
    m.main().txtOutq->setText(QStringLiteral("PRT07"));

    m.t.boxes->expect(QStringLiteral("File ") + p + QStringLiteral(" already exists.  Replace?"), vbCancel);
    m.choose(m.main().itmSaveAs, p);
    EXPECT_EQ(m.file(p), old);
    EXPECT_TRUE(m.t.ctx.connection.gSettingsFile.isEmpty()) << "a file not written does not become the current one";

    m.t.boxes->expect(QStringLiteral(" already exists.  Replace?"), vbOK);
    m.choose(m.main().itmSaveAs, p);
    EXPECT_TRUE(m.file(p).contains("\r\nOutq=PRT07\r\n"));
    EXPECT_EQ(m.t.ctx.connection.gSettingsFile, p);

    m.choose(m.main().itmOpen, p);
    m.splf().cboProcessType->setEditText(QStringLiteral("XML document"));
    m.main().itmSave->trigger();
    EXPECT_TRUE(m.t.boxes->done()) << "Save does not ask";
    EXPECT_EQ(m.main().statusPanel(), QStringLiteral("Settings saved to file ") + p + QStringLiteral("."));
    EXPECT_TRUE(m.file(p).contains("\r\nProcess=XML document\r\n"));

    Menu other;
    other.choose(other.main().itmOpen, p);
    EXPECT_EQ(other.main().txtOutq->text(), "PRT07");
    EXPECT_EQ(other.splf().cboProcessType->currentText(), "XML document");
}

// A save that cannot write its file (the disk is full) keeps the file that
// was there, says so, and the file stays the current one.
TEST(FileMenu, AFailedSaveKeepsTheOldFile) {
    Menu m;
    const QString p = m.path("kept.spw");
    m.write(p, kPdfSettings);
    m.choose(m.main().itmOpen, p);
    m.main().txtOutq->setText(QStringLiteral("CHANGED"));

    m.t.boxes->expect(QStringLiteral("Unable to save properties to file ") + p +
                      QStringLiteral(".  Check specified path."));
    {
        FileSizeLimit full(64);
        m.main().itmSave->trigger();
    }
    EXPECT_TRUE(m.t.boxes->done());
    EXPECT_EQ(m.file(p), kPdfSettings);
    EXPECT_EQ(m.t.ctx.connection.gSettingsFile, p);
    EXPECT_NE(m.main().statusPanel(), QStringLiteral("Settings saved to file ") + p + QStringLiteral("."));
    EXPECT_EQ(QDir(m.t.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.spw"})
        << "nothing left beside the file";
}

namespace {
// The file dialog a person sees: once it is up, `use` looks at it and fills
// it in, and the dialog ends as that makes it end. A question the dialog asks
// itself (its own "replace?") is counted and answered No, and the dialog is
// then given up, so that the test cannot hang on it; so is a dialog that its
// use left up for half a minute.
struct RealFileDialog {
    explicit RealFileDialog(Menu& m) { m.t.ctx.services.presenter = std::make_unique<QtPresenter>(); }
    void whenShown(std::function<void(QFileDialog&)> use) {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, use] {
            QWidget* top = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(top)) {
                ++ownQuestions;
                if (QAbstractButton* no = box->button(QMessageBox::No))
                    no->click();
                else
                    box->reject();
                giveUp();
            } else if (auto* d = qobject_cast<QFileDialog*>(top)) {
                if (shown == d) {
                    if (inUse.hasExpired(30000)) {
                        ADD_FAILURE() << "the file dialog stayed up after its use";
                        giveUp();
                    }
                    return;
                }
                shown = d;
                used = true;
                inUse.start();
                QObject::connect(d, &QDialog::finished, &timer, [this] { ended = true; });
                // Outside this timer's own event, which would keep it from
                // seeing a question that the typing brings up.
                QMetaObject::invokeMethod(d, [d, use] { use(*d); }, Qt::QueuedConnection);
            }
        });
        timer.start();
    }
    void giveUp() {
        if (QPointer<QFileDialog> d = shown)
            QMetaObject::invokeMethod(d, [d] { if (d) d->reject(); }, Qt::QueuedConnection);
    }
    // Types `name` into the dialog's file name box and presses Enter.
    static void type(QFileDialog& d, const QString& name) {
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->clear();
        QTest::keyClicks(edit, name);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QTimer timer;
    QPointer<QFileDialog> shown;
    QElapsedTimer inUse;
    bool used = false;
    bool ended = false;  // the dialog's own end
    int ownQuestions = 0;
};
}  // namespace

// Save As in the real dialog: a name typed without an extension is saved as a
// settings file (".spw" added), the user is asked once before an existing
// file is replaced, and File > Save is on afterwards.
TEST(FileMenu, SaveAsAddsTheExtensionAsksOnceAndTurnsSaveOn) {
    for (const char* typed : {"mine", "mine.spw"}) {
        SCOPED_TRACE(typed);
        Menu m;
        RealFileDialog dialog(m);
        const QString p = m.path("mine.spw");
        m.write(p, "[Properties]\r\nID=Spwrter_10.0\r\nOutq=OLD\r\n");
        m.main().txtOutq->setText(QStringLiteral("PRT07"));
        EXPECT_FALSE(m.main().itmSave->isEnabled());

        m.t.boxes->expect(QStringLiteral("File ") + p + QStringLiteral(" already exists.  Replace?"), vbOK);
        QStringList offered;
        dialog.whenShown([&](QFileDialog& d) {
            offered = d.nameFilters();
            RealFileDialog::type(d, m.path(typed));
        });
        m.main().itmSaveAs->trigger();
        EXPECT_TRUE(dialog.used);
        EXPECT_TRUE(dialog.ended);
        EXPECT_EQ(offered, QStringList{"Spoolwright settings (*.spw)"});
        EXPECT_EQ(dialog.ownQuestions, 0) << "the dialog does not ask as well";
        EXPECT_TRUE(m.t.boxes->done());
        EXPECT_EQ(m.t.boxes->shown().size(), 1u) << "asked once";
        EXPECT_TRUE(m.file(p).contains("\r\nOutq=PRT07\r\n"));
        EXPECT_FALSE(QFileInfo::exists(m.path("mine"))) << "no file without the extension";
        EXPECT_EQ(m.t.ctx.connection.gSettingsFile, p);
        EXPECT_TRUE(m.main().itmSave->isEnabled());

        m.main().txtOutq->setText(QStringLiteral("PRT08"));
        m.main().itmSave->trigger();
        EXPECT_TRUE(m.file(p).contains("\r\nOutq=PRT08\r\n")) << "Save writes the file Save As named";
        EXPECT_EQ(m.t.boxes->shown().size(), 1u) << "Save does not ask";
    }
}

// Open in the real dialog offers every file beside the settings files, and a
// settings file saved under another extension opens.
TEST(FileMenu, OpenOffersAllFiles) {
    Menu m;
    RealFileDialog dialog(m);
    const QString p = m.path("reports.txt");
    m.write(p, kPdfSettings);
    QStringList offered;
    dialog.whenShown([&](QFileDialog& d) {
        offered = d.nameFilters();
        RealFileDialog::type(d, p);
    });
    m.main().itmOpen->trigger();
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(offered, (QStringList{"Spoolwright settings (*.spw)", "All files (*)"}));
    EXPECT_EQ(m.main().statusPanel(), QStringLiteral("Settings loaded from ") + p);
    EXPECT_EQ(m.main().txtOutq->text(), "PRT01");
    EXPECT_EQ(m.file(p), kPdfSettings);
}

// File > Open fills "Printer format options" for this run: the window shows
// the file's values, and they are remembered only when its OK is pressed,
// whether "&Remember Settings" is ticked or not.
TEST(FileMenu, OpenFillsThePrinterFormatWindowAndOnlyItsOkRemembersIt) {
    const QByteArray file = "[Properties]\r\nID=Spwrter_10.0\r\nPrint font size80=10\r\nPrint font size198=4\r\n"
                            "Print orientation80=False\r\nPrint orientation132=True\r\n";
    for (const bool remember : {true, false}) {
        SCOPED_TRACE(remember ? "remembering settings" : "not remembering settings");
        Menu m;
        m.main().itmSaveSettings->setChecked(remember);
        m.t.ctx.services.saveSetting(QStringLiteral("80 Fontsize"), QStringLiteral("9"));
        const QString p = m.path("print.spw");
        m.write(p, file);
        m.choose(m.main().itmOpen, p);
        for (const char* key : {"132 Fontsize", "198 Fontsize", "Orientation 1", "Orientation 2", "Orientation 3"})
            EXPECT_EQ(m.t.ctx.services.getSetting(QString::fromLatin1(key)), "None") << key;
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("80 Fontsize")), "9");

        // What the user sees on "&Font sizes and page orientation...": the file's values. Cancel keeps them unstored.
        QStringList seen;
        auto look = [&](bool ok) {
            return [&seen, ok](QWidget* w) {
                auto* f = static_cast<frmPrint*>(w);
                seen = {f->cboFontSize[0]->currentText(), f->cboFontSize[1]->currentText(),
                        f->cboFontSize[2]->currentText(),
                        f->optPortraitOrLandscape[0]->isChecked() ? "portrait" : "landscape",
                        f->optPortraitOrLandscape[2]->isChecked() ? "landscape" : "portrait",
                        f->optPortraitOrLandscape[4]->isChecked() ? "landscape" : "portrait"};
                (ok ? f->cmdOK : f->CancelButton)->click();
            };
        };
        m.t.presenter->expectModal(QStringLiteral("frmPrint"), look(false));
        m.splf().cmdPrinter->click();
        EXPECT_EQ(seen, (QStringList{"10", "Auto", "4", "landscape", "portrait", "landscape"}));
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("80 Fontsize")), "9");
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("Orientation 1")), "None");

        m.t.presenter->expectModal(QStringLiteral("frmPrint"), look(false));
        m.splf().cmdPrinter->click();
        EXPECT_EQ(seen, (QStringList{"9", "Auto", "Auto", "portrait", "landscape", "landscape"}))
            << "after Cancel the window starts again from the remembered values";

        m.choose(m.main().itmOpen, p);
        m.t.presenter->expectModal(QStringLiteral("frmPrint"), look(true));
        m.splf().cmdPrinter->click();
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("80 Fontsize")), "10");
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("198 Fontsize")), "4");
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("Orientation 1")), "False");
        EXPECT_EQ(m.t.ctx.services.getSetting(QStringLiteral("Orientation 2")), "False");
        EXPECT_TRUE(m.t.presenter->done());
    }
}

// Save As over a pipe or a folder says what is at the name, once, asks
// nothing, and leaves it as it was; the current file stays as it was.
TEST(FileMenu, SaveAsOverAPipeOrAFolderSaysSoOnce) {
    Menu m;
    const QString pipe = m.path("pipe.spw"), folder = m.path("folder.spw");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(folder));
    const std::pair<QString, QString> cases[] = {
        {pipe, QStringLiteral(" is a pipe (FIFO), not a plain file.")},
        {folder, QStringLiteral(" is a folder, not a plain file.")},
    };
    for (const auto& [chosen, message] : cases) {
        SCOPED_TRACE(chosen.toStdString());
        const size_t before = m.t.boxes->shown().size();
        m.t.boxes->expect(QStringLiteral("File ") + chosen + message);
        m.choose(m.main().itmSaveAs, chosen);
        EXPECT_TRUE(m.t.boxes->done());
        EXPECT_EQ(m.t.boxes->shown().size(), before + 1) << "one message, and only one";
        EXPECT_TRUE(m.t.ctx.connection.gSettingsFile.isEmpty());
        EXPECT_FALSE(m.main().itmSave->isEnabled());
    }
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QDir(folder).isEmpty());
}
