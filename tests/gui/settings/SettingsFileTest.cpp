#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QRandomGenerator>

#include "SettingsWindows.h"
#include "frmPrint.h"

namespace {
using SettingsFile::Part;
using SettingsFile::Reader;

using Ctx = SettingsWindows;

// Every option away from its default.
void changeEverything(Ctx& c) {
    frmSplf& f = c.splf();
    c.main().txtWrkSplf->setText(QStringLiteral("QPGMR"));
    c.main().txtOutq->setText(QStringLiteral("PRT01"));
    c.main().cboLibrary->setEditText(QStringLiteral("QUSRSYS"));
    f.cboProcessType->setEditText(QStringLiteral("PDF document"));
    f.txtFrom->setText(QStringLiteral("2"));
    f.txtTo->setText(QStringLiteral("7"));
    f.chkMacro->setChecked(true);
    f.optEmail[0]->setChecked(true);
    f.optParse[2]->setChecked(true);
    f.chkOverprinting->setChecked(false);
    f.chkBlankLines->setChecked(true);
    f.chkORMinusSign->setChecked(false);
    f.chkAutoformat->setChecked(true);
    f.chkRunSilent->setChecked(true);
    f.cboPaperSize->setEditText(QStringLiteral("Legal"));
    f.cboFontSize->setEditText(QStringLiteral("8"));
    f.cboVertSize->setEditText(QStringLiteral("Auto"));
    f.optPageOrientation[1]->setChecked(true);
    f.chkAttachMultiples->setChecked(true);
    f.chkAutoSend->setChecked(true);
    f.chkPrtCtl->setChecked(true);
    f.optPrtCtlFormat[1]->setChecked(true);
    f.optAddReplace[1]->setChecked(true);
    f.cboTranslation->setEditText(f.cboTranslation->itemText(5));
    c.naming().chkFullName->setChecked(false);
    c.naming().setOption(c.naming().optUseUserData, true);
    c.naming().txtSavePath->setText(QStringLiteral("/srv/reports"));
    for (auto [kind, answer] : {std::pair{frmSaveAs::Kind::Text, &SaveDialogFlags::text},
                                std::pair{frmSaveAs::Kind::Pdf, &SaveDialogFlags::pdf}}) {
        SaveDialog(c.t.ctx, kind).txtSave->setText(kind == frmSaveAs::Kind::Pdf ? "/srv/a b.pdf" : "/srv/x=1.txt");
        (c.t.ctx.saveDialogs.*answer).accepted = true;
    }
}
}  // namespace

TEST(SettingsFile, HeadLinesAndKeysInTheirOrder) {
    Ctx c;
    changeEverything(c);
    const QString text = QString::fromLatin1(SettingsFile::contents(c.t.ctx));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.takeLast(), QString()) << "every line ends in CR LF";
    EXPECT_EQ(lines.value(0), "[Properties]");
    EXPECT_EQ(lines.value(1), "ID=Spwrter_10.0");
    EXPECT_TRUE(lines.value(2).startsWith(QStringLiteral("Saved=")));
    QStringList keys;
    for (const QString& l : lines.mid(3)) keys << l.section(QLatin1Char('='), 0, 0);
    EXPECT_EQ(keys, (QStringList{"User", "Outq", "Library", "Process", "From", "To", "Run macro", "Email",
                                 "Text or PDF", "Parse0", "Parse1", "Parse2", "Overprinting", "Remove blanks",
                                 "Convert minus", "Auto format", "Run silent", "PDF paper size", "PDF font size",
                                 "PDF vert size", "PDF page orientation", "PDF file", "Text file", "Save path",
                                 "Attach multples", "Auto send", "Use print control characters",
                                 "Print control format", "Print font size80", "Print font size132",
                                 "Print font size198", "Print orientation80", "Print orientation132",
                                 "Print orientation198", "Naming convention", "Use date and time", "Use file name",
                                 "Use job name", "Use user data", "Use user name", "Add replace", "Translation"}));
    EXPECT_TRUE(lines.contains(QStringLiteral("Email=True")));
    EXPECT_TRUE(lines.contains(QStringLiteral("PDF page orientation=False")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Print orientation80=True")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Text file=/srv/x=1.txt")));
}

// Saved from one run, opened in another: the same screen, except the keys
// only the batch run reads, which come back through it.
// The third line tells when the file was saved, in the system's short date and time.
TEST(SettingsFile, TheSavedLineIsTheTimeOfTheSave) {
    Ctx c;
    for (const QDateTime& when :
         {QDateTime(QDate(2024, 2, 29), QTime(9, 8, 7)), QDateTime(QDate(2031, 12, 1), QTime(23, 59))}) {
        c.t.ctx.services.wallClock = [when] { return when; };
        const QStringList lines = QString::fromLatin1(SettingsFile::contents(c.t.ctx)).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.value(2), QStringLiteral("Saved=") + QLocale::system().toString(when, QLocale::ShortFormat));
    }
}

// A saved file read back: File > Open gives the same screen; the batch run's
// reader gives the same run settings, except the keys only one of them reads.
TEST(SettingsFile, SavedAndReadBackGivesTheSameScreen) {
    Ctx a;
    changeEverything(a);
    const QString p = a.path("all.spw");
    ASSERT_TRUE(SaveSettingsFile(a.t.ctx, p, false));
    {
        SCOPED_TRACE("window");
        Ctx b;
        ASSERT_TRUE(OpenSettingsFile(b.t.ctx, p));
        EXPECT_TRUE(b.t.ctx.download.gSettingsFromFile);
        frmSplf& f = b.splf();
        EXPECT_EQ(b.main().txtWrkSplf->text(), "QPGMR");
        EXPECT_EQ(b.main().txtOutq->text(), "PRT01");
        EXPECT_EQ(b.main().cboLibrary->currentText(), "QUSRSYS");
        EXPECT_EQ(f.cboProcessType->currentText(), "PDF document");
        EXPECT_EQ(f.txtFrom->text(), "2");
        EXPECT_EQ(f.txtTo->text(), "7");
        EXPECT_TRUE(f.chkMacro->isChecked());
        EXPECT_TRUE(f.optParse[2]->isChecked());
        EXPECT_FALSE(f.optParse[0]->isChecked());
        EXPECT_FALSE(f.chkOverprinting->isChecked());
        EXPECT_TRUE(f.chkBlankLines->isChecked());
        EXPECT_FALSE(f.chkORMinusSign->isChecked());
        EXPECT_EQ(f.cboPaperSize->currentText(), "Legal");
        EXPECT_EQ(f.cboFontSize->currentText(), "8");
        EXPECT_EQ(f.cboVertSize->currentText(), "Auto");
        EXPECT_TRUE(f.optPageOrientation[1]->isChecked());
        EXPECT_TRUE(f.chkAutoSend->isChecked());
        EXPECT_TRUE(f.optAddReplace[1]->isChecked());
        EXPECT_FALSE(f.optAddReplace[0]->isChecked());
        EXPECT_EQ(f.cboTranslation->currentText(), a.splf().cboTranslation->itemText(5));
        EXPECT_FALSE(b.naming().chkFullName->isChecked());
        EXPECT_TRUE(b.naming().optUseUserData->isChecked());
        EXPECT_FALSE(b.naming().optUseFileName->isChecked());
        frmSaveAs& text = SaveDialog(b.t.ctx, frmSaveAs::Kind::Text);
        EXPECT_EQ(text.txtSave->text(), "/srv/x=1.txt");
        EXPECT_EQ(text.txtSaveTag(), "1");
        EXPECT_EQ(SaveDialog(b.t.ctx, frmSaveAs::Kind::Pdf).txtSave->text(), "/srv/a b.pdf");
        // Only the batch run reads these back.
        EXPECT_FALSE(f.optEmail[0]->isChecked());
        EXPECT_FALSE(f.chkAutoformat->isChecked());
        EXPECT_FALSE(f.chkRunSilent->isChecked());
        EXPECT_NE(b.naming().txtSavePath->text(), "/srv/reports");
        // Only the window reads these back.
        EXPECT_TRUE(f.chkAttachMultiples->isChecked());
        EXPECT_TRUE(f.chkPrtCtl->isChecked());
        EXPECT_TRUE(f.optPrtCtlFormat[1]->isChecked());
        // Neither reads "Text or PDF".
        EXPECT_TRUE(f.optTextOrPDF[0]->isChecked());
    }
    {
        SCOPED_TRACE("batch");
        RunSettings b;
        const std::vector<Part> parts =
            SettingsFile::apply(b, SettingsFile::lines(a.file(p), Reader::Batch), Reader::Batch);
        auto reads = [&parts](Part part) { return std::find(parts.begin(), parts.end(), part) != parts.end(); };
        const DownloadOptions& o = b.options;
        EXPECT_EQ(b.user, "QPGMR");
        EXPECT_EQ(b.outq, "PRT01");
        EXPECT_EQ(b.library, "QUSRSYS");
        EXPECT_EQ(o.processType, "PDF document");
        EXPECT_EQ(o.fromPage, "2");
        EXPECT_EQ(o.toPage, "7");
        EXPECT_TRUE(o.runMacro);
        EXPECT_EQ(o.parse, 2);
        EXPECT_FALSE(o.suppressOverprinting);
        EXPECT_TRUE(o.removeBlankLines);
        EXPECT_FALSE(o.convertMinusSign);
        EXPECT_EQ(o.pdfPaperSize, "Legal");
        EXPECT_EQ(o.pdfFontSize, "8");
        EXPECT_EQ(o.pdfVertSize, "Auto");
        EXPECT_TRUE(o.pdfLandscape);
        EXPECT_TRUE(o.autoSend);
        EXPECT_TRUE(o.htmlAddToFile);
        EXPECT_EQ(o.translation, a.splf().cboTranslation->itemText(5));
        EXPECT_FALSE(o.naming.fullName);
        EXPECT_TRUE(o.naming.useUserData);
        EXPECT_FALSE(o.naming.useFileName);
        EXPECT_EQ(b.saveNames[RunSettings::TextSave].name, "/srv/x=1.txt");
        EXPECT_TRUE(b.saveNames[RunSettings::TextSave].fromFile);
        EXPECT_EQ(b.saveNames[RunSettings::PdfSave].name, "/srv/a b.pdf");
        // Only the batch run reads these back.
        EXPECT_EQ(o.email, 0);
        EXPECT_TRUE(o.autoformat);
        EXPECT_TRUE(o.runSilent);
        EXPECT_EQ(o.naming.savePath, "/srv/reports");
        // Only the window reads these back.
        EXPECT_FALSE(reads(Part::AttachMultiples));
        EXPECT_FALSE(reads(Part::PrintControl));
        EXPECT_FALSE(reads(Part::PrintControlFormat));
        // Neither reads "Text or PDF".
        EXPECT_FALSE(reads(Part::TextOrPdf));
    }
}

// Damaged files: what can be used is used, the rest leaves its control alone.
TEST(SettingsFile, ADamagedFileSetsWhatItCanAndLeavesTheRestAlone) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::function<bool(Ctx&)> holds;
    };
    const Case cases[] = {
        {"no head lines, LF ends", "Outq=PRT02\nFrom=3\n",
         [](Ctx& c) { return c.main().txtOutq->text() == "PRT02" && c.splf().txtFrom->text() == "3"; }},
        {"unknown keys and lines without =", "[Properties]\r\nColour=blue\r\njunk\r\nTo=9\r\n",
         [](Ctx& c) { return c.splf().txtTo->text() == "9"; }},
        {"a blank before the key: the window trims it", " Outq=PRT03\r\n",
         [](Ctx& c) { return c.main().txtOutq->text() == "PRT03"; }},
        {"Print control format False chooses *FCFC", "Print control format=False\r\n",
         [](Ctx& c) { return !c.splf().optPrtCtlFormat[0]->isChecked() && c.splf().optPrtCtlFormat[1]->isChecked(); }},
        {"Use job number read though never written", "Use job number=True\r\n",
         [](Ctx& c) { return c.naming().optUseJobNumber->isChecked() && !c.naming().optUseFileName->isChecked(); }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Ctx c;
        c.applyText(k.bytes);
        EXPECT_TRUE(k.holds(c));
    }
}

// The same for the batch run's reader, into the settings it starts from.
TEST(SettingsFile, ADamagedFileSetsWhatTheBatchRunCanUseAndLeavesTheRestAlone) {
    struct Case {
        const char* name;
        QByteArray bytes;
        std::function<bool(const RunSettings&)> holds;
    };
    const Case cases[] = {
        {"values of the wrong type",
         "Remove blanks=x\r\nConvert minus=7\r\nParse1=maybe\r\nPDF page orientation=sideways\r\n",
         [](const RunSettings& s) {
             return !s.options.removeBlankLines && s.options.convertMinusSign && s.options.parse == 0 &&
                    !s.options.pdfLandscape;
         }},
        {"a blank before the key: batch skips it", " Outq=PRT03\r\nLibrary=  LIB1  \r\n",
         [](const RunSettings& s) { return s.outq != "PRT03" && s.library == "LIB1"; }},
        {"Excel file before Process is judged against the final type",
         "Excel file=/srv/sheet.xls\r\nProcess=Microsoft Excel\r\n",
         [](const RunSettings& s) { return s.saveNames[RunSettings::TextSave].name == "/srv/sheet.xls"; }},
        {"Word file with another type", "Process=Text file\r\nWord file=/srv/x.doc\r\n",
         [](const RunSettings& s) { return !s.saveNames[RunSettings::TextSave].fromFile; }},
        {"the last line of a key wins", "Outq=A\r\nOutq=B\r\n", [](const RunSettings& s) { return s.outq == "B"; }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RunSettings s;
        SettingsFile::apply(s, SettingsFile::lines(k.bytes, Reader::Batch), Reader::Batch);
        EXPECT_TRUE(k.holds(s));
    }
}

// A folder at the name is said to be one (see FileMenu's table of what stands there).
TEST(SettingsFile, ABinaryFileChangesNothingAMissingFileIsNotFoundAndAFolderSaysSo) {
    Ctx c;
    c.main().txtOutq->setText(QStringLiteral("KEEP"));
    QByteArray noise(4096, '\0');
    QRandomGenerator gen(7);
    for (char& b : noise) b = static_cast<char>(gen.bounded(256));
    const QString binary = c.path("noise.spw");
    c.write(binary, noise);
    EXPECT_TRUE(OpenSettingsFile(c.t.ctx, binary));
    EXPECT_EQ(c.main().txtOutq->text(), "KEEP");

    c.t.boxes->expect(QStringLiteral(" is not found."));
    EXPECT_FALSE(OpenSettingsFile(c.t.ctx, c.path("missing.spw")));
    c.t.boxes->expect(QStringLiteral(" is a folder, not a plain file."));
    EXPECT_FALSE(OpenSettingsFile(c.t.ctx, c.t.dir.path())) << "a folder is no settings file";
    EXPECT_TRUE(c.t.boxes->done());
    EXPECT_EQ(c.t.boxes->shown().back().title, "Open Spoolwright Settings File");
}

// Every failed save leaves the existing file as it was.
TEST(SettingsFile, SaveKeepsTheOldFileUnlessReplaced) {
    Ctx c;
    const QString p = c.path("mine.spw");
    const QByteArray old = "[Properties]\r\nID=Spwrter_10.0\r\nOutq=OLD\r\n";
    c.write(p, old);
    c.main().txtOutq->setText(QStringLiteral("NEW"));

    c.t.boxes->expect(QStringLiteral("already exists.  Replace?"), vbCancel);
    EXPECT_FALSE(SaveSettingsFile(c.t.ctx, p, false));
    EXPECT_EQ(c.file(p), old);

    const QString lockedDir = c.path("locked");
    ASSERT_TRUE(QDir().mkpath(lockedDir));
    const QString inLocked = lockedDir + QStringLiteral("/mine.spw");
    c.write(inLocked, old);
    QFile::setPermissions(lockedDir, QFile::ReadOwner | QFile::ExeOwner);
    const bool rootIgnoresModes = QFileInfo(lockedDir).isWritable();
    if (!rootIgnoresModes) {
        c.t.boxes->expect(QStringLiteral("Unable to save properties to file "));
        EXPECT_FALSE(SaveSettingsFile(c.t.ctx, inLocked, true));
        EXPECT_EQ(c.file(inLocked), old);
    }
    QFile::setPermissions(lockedDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    c.t.boxes->expect(QStringLiteral("Unable to save properties to file "));
    EXPECT_FALSE(SaveSettingsFile(c.t.ctx, c.path("no/such/folder.spw"), true));

    c.t.boxes->expect(QStringLiteral("already exists.  Replace?"), vbOK);
    EXPECT_TRUE(SaveSettingsFile(c.t.ctx, p, false));
    EXPECT_TRUE(c.file(p).contains("\r\nOutq=NEW\r\n"));
    EXPECT_TRUE(SaveSettingsFile(c.t.ctx, p, true)) << "Save replaces without asking";
    EXPECT_TRUE(c.t.boxes->done());
    EXPECT_EQ(QDir(c.t.dir.path()).entryList({QStringLiteral("*.spw*")}, QDir::Files), QStringList{"mine.spw"})
        << "nothing left beside the file";
}

// The printer format and the macro dialogs: a file's values fill the windows
// for this run (the printer format window as its user will see it) and a save
// writes them back, or fill the batch run's settings; the remembered printer
// format changes only by the window's OK.
TEST(SettingsFile, PrinterFormatAndMacroFields) {
    const QByteArray file =
        "Print font size80=8\r\nPrint font size132=huge\r\nPrint font size198=Auto\r\nPrint orientation80=False\r\n"
        "Print orientation132=True\r\nPrint orientation198=False\r\nExcel macro document=/srv/m.xls\r\n"
        "Excel macro name=Fix\r\nWord macro document=/srv/t.dot\r\nWord macro name=Tidy\r\n";
    for (const Reader r : {Reader::Window, Reader::Batch}) {
        SCOPED_TRACE(r == Reader::Window ? "window" : "batch");
        Ctx c;
        c.t.ctx.services.saveSetting(QStringLiteral("132 Fontsize"), QStringLiteral("7"));
        RunSettings batch;
        if (r == Reader::Window)
            c.applyText(file);
        else
            SettingsFile::apply(batch, SettingsFile::lines(file, r), r);
        DownloadOptions printed;
        ReadDialogOptions(printed, [&c](const QString& k) { return c.t.ctx.services.getSetting(k); });
        // Either way the remembered printer format is as it was.
        EXPECT_EQ(printed.printer.fontSize, (std::array<QString, 3>{"Auto", "7", "Auto"}));
        EXPECT_EQ(printed.printer.landscape, (std::array<bool, 3>{false, true, true}));
        EXPECT_EQ(c.t.ctx.services.getSetting(QStringLiteral("80 Fontsize")), "None");
        EXPECT_EQ(c.t.ctx.services.getSetting(QStringLiteral("Orientation 2")), "None");
        if (r == Reader::Batch) {
            EXPECT_EQ(batch.excel.document, "/srv/m.xls");
            EXPECT_EQ(batch.excel.name, "Fix");
            EXPECT_EQ(batch.word.document, "/srv/t.dot");
            EXPECT_EQ(batch.word.name, "Tidy");
            EXPECT_TRUE(batch.excel.documentSet && batch.excel.nameSet && batch.word.documentSet && batch.word.nameSet);
            continue;
        }
        const QString saved = QString::fromLatin1(SettingsFile::contents(c.t.ctx));
        for (const char* line : {"Excel macro document=/srv/m.xls", "Excel macro name=Fix",
                                 "Word macro document=/srv/t.dot", "Word macro name=Tidy"})
            EXPECT_TRUE(saved.contains(QStringLiteral("\r\n") + QString::fromLatin1(line) + QStringLiteral("\r\n")))
                << line;
        frmPrint& window = PrinterFormatWindow(c.t.ctx);
        EXPECT_EQ(window.cboFontSize[0]->currentText(), "8");
        EXPECT_EQ(window.cboFontSize[1]->currentText(), "7") << "a size that is no size is passed over";
        EXPECT_TRUE(window.optPortraitOrLandscape[1]->isChecked()) << "80 columns landscape";
        EXPECT_TRUE(window.optPortraitOrLandscape[3]->isChecked()) << "132 columns portrait";
        EXPECT_TRUE(window.optPortraitOrLandscape[4]->isChecked()) << "198 columns landscape";
        for (const char* line : {"Print font size80=8", "Print font size132=7", "Print orientation80=False",
                                 "Print orientation132=True", "Print orientation198=False"})
            EXPECT_TRUE(saved.contains(QStringLiteral("\r\n") + QString::fromLatin1(line) + QStringLiteral("\r\n")))
                << line;
    }
}
