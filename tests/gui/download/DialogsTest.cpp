#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QCoreApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QRadioButton>

#include "DownloadWindows.h"
#include "WorkDirectory.h"
#include "PcFileName.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
using Kind = frmSaveAs::Kind;

template <class T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void screenshot(QWidget* w) {
    QDir().mkpath(QStringLiteral(SW_BINARY_DIR "/screenshots"));
    w->adjustSize();
    w->grab().save(QStringLiteral(SW_BINARY_DIR "/screenshots/") + w->objectName() + QStringLiteral(".png"));
}

// Remembered values in memory that count their writes.
class CountingStore : public MemorySettingsStore {
public:
    void save(const QString& app, const QString& section, const QString& key, const QString& value) override {
        ++writes;
        MemorySettingsStore::save(app, section, key, value);
    }
    int writes = 0;
};

// Records what Browse hands to the file dialog.
class RecordingPresenter : public TestPresenter {
public:
    QString saveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) override {
        dirs << dir;
        filters << filter;
        return TestPresenter::saveFileName(parent, title, dir, filter);
    }
    QStringList dirs, filters;
};

class DialogsTest : public ::testing::Test {
protected:
    TestContext t;
    TestPresenter* presenter = t.presenter;
};
}  // namespace

TEST_F(DialogsTest, TheFourSaveAsWindows) {
    const struct {
        Kind kind;
        const char *name, *caption, *filter, *messageTitle, *pattern;
    } cases[] = {
        {Kind::Text, "frmSave", "Save iSeries report as text file", "Text (*.txt)|*.txt|All files (*.*)|*.*",
         "Copy iSeries Spool File to PC Text File", "*.txt"},
        {Kind::Html, "frmSaveHtml", "Save iSeries report as HTML document", "Html (*.htm*)|*.htm*|All files (*.*)|*.*",
         "Copy iSeries Spool File to html document", "*.htm*"},
        {Kind::Xml, "frmSaveXml", "Save iSeries report as XML document", "xml (*.xml*)|*.xml*|All files (*.*)|*.*",
         "Copy iSeries Spool File to xml document", "*.xml*"},
        {Kind::Pdf, "frmPDF", "Save iSeries report as PDF document", "PDF (*.pdf)|*.pdf|All files (*.*)|*.*",
         "Copy iSeries Spool File to PDF document", "*.pdf"},
    };
    auto recording = std::make_unique<RecordingPresenter>();
    RecordingPresenter& p = *recording;
    t.ctx.services.presenter = std::move(recording);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        frmSaveAs& d = SaveDialog(t.ctx, c.kind);
        // Browse offers the window's own type first and proposes its pattern.
        d.cmdBrowse_Click();
        EXPECT_EQ(p.filters.last(), QString::fromLatin1(c.filter));
        EXPECT_TRUE(p.dirs.last().endsWith(QString::fromLatin1(c.pattern)));
        // A blank name is refused with the window's own title.
        d.txtSave->setText(QStringLiteral("  "));
        t.boxes->expect(QStringLiteral("A file name must be specified."));
        d.OKButton_Click();
        EXPECT_EQ(t.boxes->shown().back().title, QString::fromLatin1(c.messageTitle));
        // Each window has its own flags.
        d.CancelButton_Click();
        for (Kind other : {Kind::Text, Kind::Html, Kind::Xml, Kind::Pdf})
            EXPECT_EQ(SaveDialog(t.ctx, other).cancelledFlag(), other == c.kind) << static_cast<int>(other);
        d.cancelledFlag() = false;
        EXPECT_EQ(d.objectName(), QString::fromLatin1(c.name));
        EXPECT_EQ(d.windowTitle(), QString::fromLatin1(c.caption));
        EXPECT_EQ(child<QLabel>(&d, "Label1")->text(), QStringLiteral("File name:"));
        EXPECT_EQ(child<QPushButton>(&d, "cmdBrowse")->text(), QStringLiteral("..."));
        EXPECT_EQ(child<QPushButton>(&d, "OKButton")->text(), QStringLiteral("&Save"));
        EXPECT_EQ(child<QPushButton>(&d, "CancelButton")->text(), QStringLiteral("&Cancel"));
        EXPECT_EQ(child<QPushButton>(&d, "cmdOpenAll")->text(), QStringLiteral("Save &All"));
        EXPECT_NE(child<QLineEdit>(&d, "txtSave"), nullptr);
        EXPECT_EQ(QString::fromLatin1(frmSaveAs::textsOf(c.kind).filter), QString::fromLatin1(c.filter));
        EXPECT_EQ(&SaveDialog(t.ctx, c.kind), &d);  // one instance, kept
    }
    // The flags are the context's own, which the driver and the settings file read.
    EXPECT_EQ(&SaveDialog(t.ctx, Kind::Text).acceptedFlag(), &t.ctx.saveDialogs.text.accepted);
    EXPECT_EQ(&SaveDialog(t.ctx, Kind::Html).saveAllFlag(), &t.ctx.saveDialogs.html.all);
    EXPECT_EQ(&SaveDialog(t.ctx, Kind::Xml).cancelledFlag(), &t.ctx.saveDialogs.xml.cancelled);
    EXPECT_EQ(&SaveDialog(t.ctx, Kind::Pdf).acceptedFlag(), &t.ctx.saveDialogs.pdf.accepted);
    screenshot(&SaveDialog(t.ctx, Kind::Text));
}

TEST_F(DialogsTest, NamingOptionsCaptions) {
    frmFormat& f = NamingOptionsWindow(t.ctx);
    const std::pair<const char*, const char*> captions[] = {
        {"Frame2", "Local PC file naming options: "},
        {"chkFullName", "Generate PC file names using iSeries spool file attributes:"},
        {"Label3", "Generate the file name with this attribute placed first:"},
        {"optUseFileName", "Printer file name"},
        {"optUseJobName", "Job name"},
        {"optUseJobNumber", "Job number"},
        {"optUseUserName", "User name"},
        {"optUseDateandTime", "Date and time"},
        {"optUseUserData", "User data"},
        {"Label2", "Default directory for saving text, HTML and PDF files: "},
        {"Label1", "Change:"},
        {"cmdApply", "Apply"},
        {"cmdCancel", "Cancel"},
        {"cmdOK", "OK"},
    };
    for (const auto& [name, caption] : captions) {
        QWidget* w = f.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        const QVariant text = w->property(w->inherits("QGroupBox") ? "title" : "text");
        EXPECT_EQ(text.toString(), QString::fromLatin1(caption)) << name;
    }
    EXPECT_EQ(f.chkFullName->toolTip(),
              QStringLiteral("Specify whether AS/400 spool file attributes are to be used for local PC file names."));
    for (const char* name : {"txtSavePath", "drvSavePath", "dirSavePath"})
        EXPECT_NE(f.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    // The six options are one group.
    f.optUseJobNumber->click();
    f.optUseDateandTime->click();
    int selected = 0;
    for (QRadioButton* b : {f.optUseFileName, f.optUseJobName, f.optUseJobNumber, f.optUseUserName,
                            f.optUseDateandTime, f.optUseUserData})
        selected += b->isChecked();
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(f.optUseDateandTime->isChecked());
}

TEST_F(DialogsTest, SaveAcceptsANameAndRefusesBlanks) {
    frmSaveAs& d = SaveDialog(t.ctx, Kind::Html);
    int presses = 0;
    presenter->onModal = [&](QWidget*) {
        d.txtSave->setText(QStringLiteral("   "));
        child<QPushButton>(&d, "OKButton")->click();  // refused: the window stays
        ++presses;
        d.txtSave->setText(QStringLiteral("/tmp/r.htm"));
        child<QPushButton>(&d, "OKButton")->click();
    };
    t.boxes->expect(QStringLiteral("A file name must be specified."));
    d.showModal();
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("Copy iSeries Spool File to html document"));
    EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(t.ctx.saveDialogs.html.accepted);
    EXPECT_FALSE(t.ctx.saveDialogs.html.cancelled);
    EXPECT_TRUE(d.chosenByUser());
}

// A long path is shown whole, folder and name; the window grows no wider than
// the screen for one longer still, whose whole shows in the tooltip.
TEST_F(DialogsTest, ALongNameIsShownWhole) {
    frmSaveAs& d = SaveDialog(t.ctx, Kind::Text);
    // Longer than the box of old (420 pixels), shorter than the test screen.
    const QString fits = QStringLiteral("/home/jsmith/Reports/2024/QSYSPRT PAYROLL JSMITH 123456 2024-06-30.txt");
    const QString tooLong = QStringLiteral("/") + QStringLiteral("a folder with a long name/").repeated(40) + "r.txt";
    for (const QString& name : {fits, tooLong}) {
        d.txtSave->setText(name);
        presenter->onModal = [&](QWidget*) {
            QApplication::processEvents();
            const QRect screen = d.screen()->availableGeometry();
            const int room = d.txtSave->contentsRect().width() - 4;  // QLineEdit keeps 2 pixels each side
            if (name == fits) {
                EXPECT_LE(d.txtSave->fontMetrics().horizontalAdvance(name), room);
            } else {
                EXPECT_LE(d.frameGeometry().width(), screen.width());
            }
            EXPECT_EQ(d.txtSave->toolTip(), name);
            d.OKButton->click();
        };
        d.showModal();
        EXPECT_EQ(d.txtSave->text(), name);
    }
}

TEST_F(DialogsTest, SaveAllAcceptsTheLaterWindowsAtOnce) {
    frmSaveAs& d = SaveDialog(t.ctx, Kind::Text);
    d.txtSave->setText(QString());
    presenter->onModal = [&](QWidget*) {
        d.cmdOpenAll_Click();  // empty name: the message, the window stays, save-all stays set
        EXPECT_TRUE(t.ctx.saveDialogs.text.all);
        d.txtSave->setText(QStringLiteral("/tmp/a.txt"));
        d.cmdOpenAll_Click();
    };
    t.boxes->expect(QStringLiteral("A file name must be specified."));
    d.showModal();
    EXPECT_EQ(presenter->shownNames().size(), 1u);
    EXPECT_TRUE(d.chosenByUser());
    d.showModal();  // accepted without waiting
    EXPECT_EQ(presenter->shownNames().size(), 1u);
    EXPECT_FALSE(d.chosenByUser());
    EXPECT_TRUE(t.ctx.saveDialogs.text.accepted);
}

TEST_F(DialogsTest, CancelAndEscapeClearTheFlags) {
    frmSaveAs& d = SaveDialog(t.ctx, Kind::Pdf);
    for (bool escape : {false, true}) {
        t.ctx.saveDialogs.pdf.cancelled = false;
        presenter->onModal = [&](QWidget*) {
            t.ctx.saveDialogs.pdf.all = true;  // set in an earlier report of the run
            if (escape) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(&d, &esc);
            } else
                child<QPushButton>(&d, "CancelButton")->click();
        };
        d.showModal();
        EXPECT_TRUE(t.ctx.saveDialogs.pdf.cancelled) << escape;
        EXPECT_FALSE(t.ctx.saveDialogs.pdf.accepted) << escape;
        EXPECT_FALSE(t.ctx.saveDialogs.pdf.all) << escape;
    }
}

TEST_F(DialogsTest, BrowseStartsInTheRememberedOrTemporaryFolderAndKeepsTheChoice) {
    auto recording = std::make_unique<RecordingPresenter>();
    RecordingPresenter& p = *recording;
    t.ctx.services.presenter = std::move(recording);
    frmSaveAs& d = SaveDialog(t.ctx, Kind::Text);
    p.fileAnswers << QStringLiteral("/data/reports/june.txt");
    d.cmdBrowse_Click();
    EXPECT_EQ(p.dirs.last(), SystemTempFolder(t.ctx.services) + QStringLiteral("*.txt"));
    EXPECT_EQ(p.filters.last(), QStringLiteral("Text (*.txt)|*.txt|All files (*.*)|*.*"));
    EXPECT_EQ(d.txtSave->text(), QStringLiteral("/data/reports/june.txt"));
    d.cmdBrowse_Click();  // no answer left: the user cancels
    EXPECT_EQ(p.dirs.last(), QStringLiteral("/data/reports/june.txt"));
    EXPECT_EQ(d.txtSave->text(), QStringLiteral("/data/reports/june.txt"));

    t.ctx.services.saveSetting(QStringLiteral("Save dir PDF"), QStringLiteral("/srv/pdf"));
    SaveDialog(t.ctx, Kind::Pdf).cmdBrowse_Click();
    EXPECT_EQ(p.dirs.last(), QStringLiteral("/srv/pdf/*.pdf"));
}

TEST_F(DialogsTest, NamingOptionsFirstOpening) {
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
    t.ctx.services.saveSetting(QStringLiteral("Text file"), QStringLiteral("old.txt"));
    SaveDialog(t.ctx, Kind::Text).txtSave->setText(QStringLiteral("old.txt"));
    frmFormat& f = NamingOptionsWindow(t.ctx);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Naming Options"));
    EXPECT_TRUE(f.chkFullName->isChecked());
    EXPECT_TRUE(f.optUseUserData->isChecked());
    for (QRadioButton* b : {f.optUseFileName, f.optUseJobName, f.optUseJobNumber, f.optUseUserName, f.optUseDateandTime})
        EXPECT_FALSE(b->isChecked()) << b->objectName().toStdString();
    EXPECT_EQ(f.txtSavePath->text(), QDir::toNativeSeparators(t.dir.path()));
    screenshot(&f);

    f.cmdOK_Click();
    EXPECT_EQ(t.setting(QStringLiteral("Use user data")), QStringLiteral("True"));
    for (const char* key : {"Use file name", "Use job name", "Use job number", "Use user name", "Use date and time"})
        EXPECT_EQ(t.setting(QString::fromLatin1(key)), QStringLiteral("False")) << key;
    EXPECT_EQ(t.setting(QStringLiteral("Text file")), QString());
    EXPECT_EQ(SaveDialog(t.ctx, Kind::Text).txtSave->text(), QString());
    EXPECT_EQ(t.ctx.connection.gWorkDir, t.dir.path() + QStringLiteral("/Default"));
    EXPECT_EQ(&NamingOptionsWindow(t.ctx), &f);  // OK keeps the window loaded
}

TEST_F(DialogsTest, TheCheckBoxEnablesTheAttributeChoice) {
    frmFormat& f = NamingOptionsWindow(t.ctx);
    f.chkFullName->setChecked(false);
    for (QRadioButton* b : {f.optUseFileName, f.optUseUserData}) EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(f.Label3->isEnabled());
    f.chkFullName->setChecked(true);
    EXPECT_TRUE(f.optUseJobNumber->isEnabled());
    EXPECT_TRUE(f.Label3->isEnabled());
}

TEST_F(DialogsTest, ApplyStoresOnlyWhatChangedAndAlwaysRebuildsTheWorkDirectory) {
    auto store = std::make_unique<CountingStore>();
    CountingStore* counted = store.get();
    t.ctx.services.settings = std::move(store);
    t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
    frmFormat& f = NamingOptionsWindow(t.ctx);
    f.setOption(f.optUseFileName, true);
    f.cmdApply_Click();
    t.ctx.services.saveSetting(QStringLiteral("Text file"), QStringLiteral("keep.txt"));
    t.ctx.connection.gWorkDir.clear();
    const int before = counted->writes;
    f.cmdApply_Click();
    EXPECT_EQ(counted->writes, before);
    EXPECT_EQ(t.setting(QStringLiteral("Text file")), QStringLiteral("keep.txt"));
    EXPECT_EQ(t.ctx.connection.gWorkDir, t.dir.path() + QStringLiteral("/Default"));

    // Another attribute first: both changed values are stored, the names cleared.
    child<QRadioButton>(&f, "optUseJobName")->click();
    EXPECT_FALSE(f.optUseFileName->isChecked());
    f.cmdApply_Click();
    EXPECT_EQ(t.setting(QStringLiteral("Use job name")), QStringLiteral("True"));
    EXPECT_EQ(t.setting(QStringLiteral("Use file name")), QStringLiteral("False"));
    EXPECT_EQ(t.setting(QStringLiteral("Text file")), QString());
    EXPECT_TRUE(BuildPcFileName(t.ctx, QString(), SampleRow(), true).startsWith(QStringLiteral("QPADEV0001 QSYSPRT")));

    // A typed path is stored as typed; an empty one becomes the temporary folder.
    f.txtSavePath->setText(t.dir.path() + QStringLiteral("/typed"));
    f.cmdApply_Click();
    EXPECT_EQ(t.setting(QStringLiteral("Save Path")), t.dir.path() + QStringLiteral("/typed"));
    f.txtSavePath->clear();
    f.cmdOK_Click();
    EXPECT_EQ(t.setting(QStringLiteral("Save Path")), SystemTempFolder(t.ctx.services));
}

// A folder the work folder may not be in is refused with the message, not
// stored, and the work folder stays where it was, with its files.
TEST_F(DialogsTest, ARefusedFolderIsShownAndTheEarlierWorkFolderStays) {
    t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
    frmFormat& f = NamingOptionsWindow(t.ctx);
    f.cmdApply_Click();
    const QString work = t.dir.path() + QStringLiteral("/Default");
    ASSERT_EQ(t.ctx.connection.gWorkDir, work);
    WriteFileBytes(work + QStringLiteral("/Spwrt.txt"), "EARLIER REPORT\r\n");

    const QString shared = t.dir.path() + QStringLiteral("/shared");
    QDir().mkpath(shared + QStringLiteral("/Default"));
    QFile::setPermissions(shared + QStringLiteral("/Default"), QFileDevice::Permissions(0x7777));
    const QString linked = t.dir.path() + QStringLiteral("/linked");
    QDir().mkpath(linked);
    ASSERT_TRUE(QFile::link(work, linked + QStringLiteral("/Default")));
    const QString file = t.dir.path() + QStringLiteral("/a file");
    WriteFileBytes(file, "NOT A FOLDER\r\n");
    const struct {
        const char* what;
        QString savePath;
    } cases[] = {
        {"open to all", shared},
        {"a link", linked},
        {"cannot be made", file},
    };
    f.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        f.txtSavePath->setText(c.savePath);
        t.boxes->expect(QStringLiteral("Directory ") + c.savePath +
                        QStringLiteral("/Default not found.  Please specify a valid directory."));
        f.cmdOK_Click();
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("iSeries Spoolwright"));
        EXPECT_TRUE(f.isVisible());  // open for another choice
        EXPECT_EQ(t.ctx.connection.gWorkDir, work);
        EXPECT_EQ(t.setting(QStringLiteral("Save Path")), t.dir.path());
    }
    EXPECT_EQ(ReadFileBytes(work + QStringLiteral("/Spwrt.txt")), "EARLIER REPORT\r\n");
    EXPECT_EQ(ReadFileBytes(file), "NOT A FOLDER\r\n");

    // A fit folder is taken as before.
    f.txtSavePath->setText(t.dir.path() + QStringLiteral("/mine"));
    f.cmdOK_Click();
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(t.ctx.connection.gWorkDir, t.dir.path() + QStringLiteral("/mine/Default"));
    EXPECT_EQ(t.setting(QStringLiteral("Save Path")), t.dir.path() + QStringLiteral("/mine"));
}

TEST_F(DialogsTest, CancelStoresNothingAndTheNextOpeningShowsTheStoredChoices) {
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("0"));
    for (const char* key : {"Use file name", "Use job name", "Use job number", "Use user name", "Use user data"})
        t.ctx.services.saveSetting(QString::fromLatin1(key), QStringLiteral("False"));
    t.ctx.services.saveSetting(QStringLiteral("Use date and time"), QStringLiteral("True"));
    presenter->onModal = [&](QWidget* w) {
        auto* f = static_cast<frmFormat*>(w);
        EXPECT_FALSE(f->chkFullName->isChecked());  // from "FullName" "0"
        f->chkFullName->setChecked(true);
        f->setOption(f->optUseJobName, true);
        child<QPushButton>(f, "cmdCancel")->click();
    };
    ShowNamingOptions(t.ctx);
    EXPECT_EQ(t.setting(QStringLiteral("FullName")), QStringLiteral("0"));
    EXPECT_EQ(t.setting(QStringLiteral("Use job name")), QStringLiteral("False"));
    frmFormat& again = NamingOptionsWindow(t.ctx);
    EXPECT_FALSE(again.chkFullName->isChecked());
    EXPECT_TRUE(again.optUseDateandTime->isChecked());
    EXPECT_FALSE(again.optUseJobName->isChecked());
}
