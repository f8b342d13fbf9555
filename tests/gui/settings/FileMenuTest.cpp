// The main window's File menu with the real settings files on disk: what a
// user sees after Open, Save and Save As, and that a failed one costs
// neither the file on disk nor the current settings file.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include "FileSizeLimit.h"
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
    EXPECT_EQ(m.t.ctx.gSettingsFile, p);
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
    const struct {
        const char* what;
        QString chosen;
    } cases[] = {{"a missing file", m.path("gone.spw")}, {"a folder", m.t.dir.path()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m.t.boxes->expect(QStringLiteral("File ") + c.chosen + QStringLiteral(" is not found."));
        m.choose(m.main().itmOpen, c.chosen);
        EXPECT_TRUE(m.t.boxes->done());
        EXPECT_EQ(m.t.ctx.gSettingsFile, current);
        EXPECT_EQ(m.main().txtOutq->text(), outq);
        EXPECT_TRUE(m.main().itmSave->isEnabled());
    }
    EXPECT_EQ(m.file(current), kPdfSettings);
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
    EXPECT_TRUE(m.t.ctx.gSettingsFile.isEmpty()) << "a file not written does not become the current one";

    m.t.boxes->expect(QStringLiteral(" already exists.  Replace?"), vbOK);
    m.choose(m.main().itmSaveAs, p);
    EXPECT_TRUE(m.file(p).contains("\r\nOutq=PRT07\r\n"));
    EXPECT_EQ(m.t.ctx.gSettingsFile, p);

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
    EXPECT_EQ(m.t.ctx.gSettingsFile, p);
    EXPECT_NE(m.main().statusPanel(), QStringLiteral("Settings saved to file ") + p + QStringLiteral("."));
    EXPECT_EQ(QDir(m.t.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.spw"})
        << "nothing left beside the file";
}
