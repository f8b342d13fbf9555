#include "SettingsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QRadioButton>
#include <functional>
#include <optional>

#include "AppContext.h"
#include "Codec.h"
#include "DeliveryState.h"
#include "DownloadOptions.h"
#include "DownloadWindows.h"
#include "MousePointer.h"
#include "PrintReport.h"
#include "ProcessType.h"
#include "SafeOutputFile.h"
#include "SplfScreenApi.h"
#include "Startup.h"
#include "frmMacro.h"
#include "Viewers.h"
#include "frmMain.h"
#include "frmPrint.h"

namespace SettingsFile {
namespace {
using O = DownloadOptions;
using S = RunSettings;

SplfScreenApi& screen(AppContext& c) { return c.frmSplf(); }
frmMain& mainWindow(AppContext& c) { return c.mainWindow(); }

// The screen's controls of each part.
struct TextPart {
    Part part;
    ScreenText control;
    QString O::*field;
};
const TextPart kTexts[] = {
    {Part::Process, ScreenText::ProcessType, &O::processType},
    {Part::From, ScreenText::FromPage, &O::fromPage},
    {Part::To, ScreenText::ToPage, &O::toPage},
    {Part::Translation, ScreenText::Translation, &O::translation},
    {Part::PdfPaperSize, ScreenText::PdfPaperSize, &O::pdfPaperSize},
    {Part::PdfFontSize, ScreenText::PdfFontSize, &O::pdfFontSize},
    {Part::PdfVertSize, ScreenText::PdfVertSize, &O::pdfVertSize},
};
struct CheckPart {
    Part part;
    ScreenCheck control;
    bool O::*field;
};
const CheckPart kChecks[] = {
    {Part::RunMacro, ScreenCheck::RunMacro, &O::runMacro},
    {Part::Overprinting, ScreenCheck::SuppressOverprinting, &O::suppressOverprinting},
    {Part::RemoveBlanks, ScreenCheck::RemoveBlankLines, &O::removeBlankLines},
    {Part::ConvertMinus, ScreenCheck::ConvertMinusSign, &O::convertMinusSign},
    {Part::AutoFormat, ScreenCheck::Autoformat, &O::autoformat},
    {Part::RunSilent, ScreenCheck::RunSilent, &O::runSilent},
    {Part::AttachMultiples, ScreenCheck::AttachMultiples, &O::attachMultiples},
    {Part::AutoSend, ScreenCheck::AutoSend, &O::autoSend},
    {Part::PrintControl, ScreenCheck::PrintControl, &O::printControl},
};
// Two-button choices set as "the second button is chosen".
struct ChoicePart {
    Part part;
    ScreenChoice group;
    bool O::*field;
};
const ChoicePart kSecondChosen[] = {
    {Part::PdfOrientation, ScreenChoice::PageOrientation, &O::pdfLandscape},
    {Part::PrintControlFormat, ScreenChoice::PrintControlFormat, &O::fcfc},
};

struct SaveDialogPart {
    Part part;
    S::SaveDialog dialog;
    frmSaveAs::Kind kind;
    SaveDialogAnswer SaveDialogFlags::*answer;
};
const SaveDialogPart kSaveDialogs[] = {
    {Part::TextFile, S::TextSave, frmSaveAs::Kind::Text, &SaveDialogFlags::text},
    {Part::HtmlFile, S::HtmlSave, frmSaveAs::Kind::Html, &SaveDialogFlags::html},
    {Part::PdfFile, S::PdfSave, frmSaveAs::Kind::Pdf, &SaveDialogFlags::pdf},
    {Part::XmlFile, S::XmlSave, frmSaveAs::Kind::Xml, &SaveDialogFlags::xml},
};

struct NamingPart {
    Part part;
    bool O::Naming::*field;
    QRadioButton* frmFormat::*button;
};
const NamingPart kNaming[] = {
    {Part::UseDateAndTime, &O::Naming::useDateAndTime, &frmFormat::optUseDateandTime},
    {Part::UseFileName, &O::Naming::useFileName, &frmFormat::optUseFileName},
    {Part::UseJobName, &O::Naming::useJobName, &frmFormat::optUseJobName},
    {Part::UseJobNumber, &O::Naming::useJobNumber, &frmFormat::optUseJobNumber},
    {Part::UseUserData, &O::Naming::useUserData, &frmFormat::optUseUserData},
    {Part::UseUserName, &O::Naming::useUserName, &frmFormat::optUseUserName},
};

// The printer format window's frame (by width) of each part.
struct PrinterPart {
    Part part;
    int width;
    bool orientation;
};
const PrinterPart kPrinter[] = {
    {Part::PrintFont80, 0, false},         {Part::PrintFont132, 1, false},        {Part::PrintFont198, 2, false},
    {Part::PrintOrientation80, 0, true},   {Part::PrintOrientation132, 1, true},  {Part::PrintOrientation198, 2, true},
};

struct MacroPart {
    Part part;
    MacroProgram program;
    S::Macro S::*dialog;
    QString S::Macro::*value;
};
const MacroPart kMacros[] = {
    {Part::WordMacroDocument, MacroProgram::Word, &S::word, &S::Macro::document},
    {Part::WordMacroName, MacroProgram::Word, &S::word, &S::Macro::name},
    {Part::ExcelMacroDocument, MacroProgram::Excel, &S::excel, &S::Macro::document},
    {Part::ExcelMacroName, MacroProgram::Excel, &S::excel, &S::Macro::name},
};

// Setting a macro dialog's field loads it, hidden, as a delivery would.
void putMacroField(AppContext& c, const MacroPart& m, const QString& value) {
    MacroDialog& d = m.program == MacroProgram::Excel ? static_cast<MacroDialog&>(ExcelMacroWindow(c))
                                                      : static_cast<MacroDialog&>(WordMacroWindow(c));
    (m.value == &S::Macro::name ? d.txtMacroName : d.txtMacroFileBox)->setText(value);
}

template <typename Table>
auto find(const Table& table, Part part) -> decltype(&table[0]) {
    for (const auto& row : table)
        if (row.part == part) return &row;
    return nullptr;
}

// Puts one part of the settings into its window, as the user's click would.
void put(AppContext& c, const S& s, Part part) {
    const O& o = s.options;
    if (const TextPart* t = find(kTexts, part)) {
        screen(c).setText(t->control, o.*t->field);
        if (part == Part::Process) screen(c).cboProcessType_Click();
        if (part == Part::PdfPaperSize) screen(c).cboPaperSize_Click();
    } else if (const CheckPart* f = find(kChecks, part)) {
        screen(c).setCheck(f->control, o.*f->field ? 1 : 0);
    } else if (const ChoicePart* p = find(kSecondChosen, part)) {
        screen(c).setChosen(p->group, o.*p->field ? 1 : 0, true);
    } else if (const SaveDialogPart* d = find(kSaveDialogs, part)) {
        frmSaveAs& dialog = SaveDialog(c, d->kind);
        dialog.txtSave->setText(s.saveNames[d->dialog].name);
        if (s.saveNames[d->dialog].fromFile) dialog.setTxtSaveTag(QStringLiteral("1"));
    } else if (const NamingPart* n = find(kNaming, part)) {
        frmFormat& f = NamingOptionsWindow(c);
        f.setOption(f.*n->button, o.naming.*n->field);
    } else if (const PrinterPart* p = find(kPrinter, part)) {
        // A settings file fills the window, not the remembered values: only its OK remembers them.
        frmPrint& w = PrinterFormatWindow(c);
        const auto i = static_cast<size_t>(p->width);
        if (p->orientation) w.setLandscape(p->width, o.printer.landscape[i]);
        else w.setFontSize(p->width, o.printer.fontSize[i]);
    } else if (const MacroPart* m = find(kMacros, part)) {
        putMacroField(c, *m, (s.*m->dialog).*m->value);
    } else {
        switch (part) {
        case Part::User: mainWindow(c).txtWrkSplf->setText(s.user); break;
        case Part::Outq: mainWindow(c).txtOutq->setText(s.outq); break;
        case Part::Library: mainWindow(c).cboLibrary->setEditText(s.library); break;
        case Part::TextOrPdf: screen(c).setChosen(ScreenChoice::TextOrPdf, 0, !o.emailAsPdf); break;
        case Part::Parse0:
        case Part::Parse1:
        case Part::Parse2: {
            const int index = part == Part::Parse0 ? 0 : part == Part::Parse1 ? 1 : 2;
            screen(c).setChosen(ScreenChoice::Parse, index, o.parse == index);
            break;
        }
        case Part::NamingConvention:
            NamingOptionsWindow(c).chkFullName->setCheckState(o.naming.fullName ? Qt::Checked : Qt::Unchecked);
            break;
        case Part::AddReplace:
            screen(c).setChosen(ScreenChoice::HtmlAddReplace, 0, !o.htmlAddToFile);
            screen(c).setChosen(ScreenChoice::HtmlAddReplace, 1, o.htmlAddToFile);
            break;
        default: break;
        }
    }
}
}  // namespace

RunSettings fromWindows(AppContext& c) {
    S s;
    O& o = s.options;
    frmMain& m = mainWindow(c);
    s.user = m.txtWrkSplf->text();
    s.outq = m.txtOutq->text();
    s.library = m.cboLibrary->currentText();
    SplfScreenApi& splf = screen(c);
    for (const TextPart& t : kTexts) o.*t.field = splf.text(t.control);
    for (const CheckPart& f : kChecks) o.*f.field = splf.check(f.control) != 0;
    for (const ChoicePart& p : kSecondChosen) o.*p.field = splf.chosen(p.group) != 0;
    o.email = splf.chosen(ScreenChoice::Email);
    o.emailAsPdf = !splf.isChosen(ScreenChoice::TextOrPdf, 0);
    o.parse = splf.chosen(ScreenChoice::Parse);
    o.htmlAddToFile = !splf.isChosen(ScreenChoice::HtmlAddReplace, 0);
    for (const SaveDialogPart& d : kSaveDialogs) {
        S::SaveName& n = s.saveNames[d.dialog];
        n.accepted = (c.saveDialogs.*d.answer).accepted;
        if (n.accepted) n.name = SaveDialog(c, d.kind).txtSave->text();
    }
    frmFormat& f = NamingOptionsWindow(c);
    o.naming.savePath = f.txtSavePath->text();
    o.naming.fullName = f.chkFullName->checkState() != Qt::Unchecked;
    for (const NamingPart& n : kNaming) o.naming.*n.field = (f.*n.button)->isChecked();
    const frmPrint& w = PrinterFormatWindow(c);
    for (const PrinterPart& p : kPrinter) {
        const auto i = static_cast<size_t>(p.width);
        if (p.orientation) o.printer.landscape[i] = w.landscape(p.width);
        else o.printer.fontSize[i] = w.fontSize(p.width);
    }
    s.word.loaded = DeliveryOf(c).gWordMacroFormLoaded && LoadedMacroFields(c, MacroProgram::Word);
    s.excel.loaded = DeliveryOf(c).gExcelMacroFormLoaded && LoadedMacroFields(c, MacroProgram::Excel);
    for (const MacroPart& m : kMacros) {
        if (!(s.*m.dialog).loaded) continue;
        const MacroFields fields = LoadedMacroFields(c, m.program).value_or(MacroFields{});
        (s.*m.dialog).*m.value = m.value == &S::Macro::name ? fields.name : fields.document;
    }
    return s;
}

void apply(AppContext& ctx, const std::vector<std::pair<QString, QString>>& fileLines) {
    S s;
    const std::vector<Part> parts = SettingsFile::apply(s, fileLines, Reader::Window);
    for (const Part part : parts) {
        try {
            put(ctx, s, part);
        } catch (const ProgramEnd&) {
            throw;
        } catch (...) {
            // A value its control does not take is passed over.
        }
    }
}

QByteArray contents(AppContext& ctx) {
    return contents(fromWindows(ctx), QLocale::system().toString(ctx.services.now(), QLocale::ShortFormat));
}
}  // namespace SettingsFile

namespace {
// A pipe, a device or a folder at the name is said to be one, once, and left
// as it is: opening a pipe would wait for a writer, a device might never end.
bool isPlainFileOrNone(AppContext& ctx, const QString& path, const QString& title) {
    try {
        SafeOutputFile::checkPlainFile(path);
        return true;
    } catch (const PcFileError& e) {
        ctx.services.msgBox(QStringLiteral("File ") + e.description + QLatin1Char('.'), MsgButtons::OK,
                            MsgIcon::Exclamation, title);
        setMousePointer(MousePointer::Normal);
        return false;
    }
}
}  // namespace

Outcome OpenSettingsFile(AppContext& ctx, const QString& path) {
    if (!isPlainFileOrNone(ctx, path, QStringLiteral("Open Spoolwright Settings File"))) return Outcome::Stopped();
    QByteArray bytes;
    if (!SettingsFile::read(path, bytes)) {
        ctx.services.msgBox(QStringLiteral("File ") + path + QStringLiteral(" is not found."), MsgButtons::OK,
                   MsgIcon::Exclamation, QStringLiteral("Open Spoolwright Settings File"));
        setMousePointer(MousePointer::Normal);
        return Outcome::Stopped();
    }
    using SettingsFile::Reader;
    SettingsFile::apply(ctx, SettingsFile::lines(bytes, Reader::Window));
    ctx.download.gSettingsFromFile = true;
    return Outcome::Done();
}

Outcome SaveSettingsFile(AppContext& ctx, const QString& path, bool replaceWithoutAsking) {
    const QString title = QStringLiteral("Save transfer properties");
    if (!isPlainFileOrNone(ctx, path, title)) return Outcome::Stopped();
    if (!replaceWithoutAsking && QFileInfo::exists(path)) {
        if (ctx.services.msgBox(QStringLiteral("File ") + path + QStringLiteral(" already exists.  Replace?"),
                       MsgButtons::OKCancel, MsgIcon::Exclamation, title) == vbCancel)
            return Outcome::Stopped();
    }
    const QByteArray bytes = SettingsFile::contents(ctx);
    SafeOutputFile out;
    try {
        SafeOutputFile::Options o;
        o.pause = [&ctx](qint64 ms) { ctx.services.clock->waitMs(ms); };
        out.open(path, o);
        out.write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        out.commit();
        return Outcome::Done();
    } catch (const PcFileError&) {
        out.abandon();
        ctx.services.msgBox(QStringLiteral("Unable to save properties to file ") + path +
                       QStringLiteral(".  Check specified path."),
                   MsgButtons::OKCancel, MsgIcon::Exclamation, title);
        return Outcome::Stopped();
    }
}

