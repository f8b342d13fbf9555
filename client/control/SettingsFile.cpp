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
#include "DownloadOptions.h"
#include "DownloadWindows.h"
#include "MousePointer.h"
#include "PrintReport.h"
#include "ProcessType.h"
#include "SafeOutputFile.h"
#include "SplfScreenApi.h"
#include "Startup.h"
#include "frmMacro.h"
#include "frmMain.h"

namespace SettingsFile {
namespace {
enum Readers : unsigned { None = 0, ByWindow = 1, ByBatch = 2, Both = 3 };

QString boolText(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

std::optional<int> checkValue(const QString& v) {
    bool ok = false;
    const int n = v.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > 2) return std::nullopt;
    return n;
}

SplfScreenApi& screen(AppContext& c) { return c.frmSplf(); }
QString screenText(AppContext& c, const char* name) { return screen(c).text(QString::fromLatin1(name)); }
QString screenValue(AppContext& c, const char* name) { return QString::number(screen(c).value(QString::fromLatin1(name))); }
QString screenChosen(AppContext& c, const char* name) { return boolText(screen(c).value(QString::fromLatin1(name)) == 1); }

// One line of the file: how the writer takes it (nothing: left out) and how
// a reader sets it.
struct Key {
    const char* name;
    unsigned readers;
    std::function<std::optional<QString>(AppContext&)> write;
    std::function<void(AppContext&, const QString& value, Reader)> read;
};

// A check box of the screen, as a number.
Key check(const char* key, const char* control, unsigned readers) {
    return {key, readers, [control](AppContext& c) { return screenValue(c, control); },
            [control](AppContext& c, const QString& v, Reader) {
                if (const auto n = checkValue(v)) screen(c).setValue(QString::fromLatin1(control), *n);
            }};
}
// A list or text box of the screen.
Key text(const char* key, const char* control, unsigned readers, bool trimmed) {
    return {key, readers,
            [control, trimmed](AppContext& c) {
                const QString t = screenText(c, control);
                return trimmed ? t.trimmed() : t;
            },
            [control](AppContext& c, const QString& v, Reader) { screen(c).setText(QString::fromLatin1(control), v); }};
}
// One button of an option array, on or off.
Key button(const char* key, const char* element, unsigned readers) {
    return {key, readers, [element](AppContext& c) { return screenChosen(c, element); },
            [element](AppContext& c, const QString& v, Reader) {
                if (const auto b = readAsBoolean(v)) screen(c).setValue(QString::fromLatin1(element), *b ? 1 : 0);
            }};
}
// A two-button choice: "False" picks the second button; the window reader
// takes any other text for the first, the batch reader only "True".
Key pair(const char* key, const char* array, unsigned readers) {
    return {key, readers, [array](AppContext& c) { return boolText(screen(c).value(QString::fromLatin1(array)) == 0); },
            [array](AppContext& c, const QString& v, Reader r) {
                std::optional<bool> first = readAsBoolean(v);
                if (r == Reader::Window) first = v != QLatin1String("False");
                if (first) screen(c).setValue(QString::fromLatin1(array), *first ? 0 : 1);
            }};
}

frmMain& mainWindow(AppContext& c) { return c.mainWindow(); }

// The name field of a save dialog, written only when the dialog was accepted.
Key saveName(const char* key, frmSaveAs::Kind kind, bool AppContext::*accepted) {
    return {key, Both,
            [kind, accepted](AppContext& c) -> std::optional<QString> {
                if (!(c.*accepted)) return std::nullopt;
                return SaveDialog(c, kind).txtSave->text().trimmed();
            },
            [kind](AppContext& c, const QString& v, Reader) {
                frmSaveAs& d = SaveDialog(c, kind);
                d.txtSave->setText(v);
                d.setTxtSaveTag(QStringLiteral("1"));
            }};
}
// "Excel file", "Word file": the text dialog's name, when the destination is that program.
Key officeName(const char* key, Destination destination) {
    return {key, ByBatch, nullptr, [destination](AppContext& c, const QString& v, Reader) {
                if (!IsProcessType(screenText(c, "cboProcessType"), destination)) return;
                frmSaveAs& d = SaveDialog(c, frmSaveAs::Kind::Text);
                d.txtSave->setText(v);
                d.setTxtSaveTag(QStringLiteral("1"));
            }};
}

QRadioButton* namingOption(frmFormat& f, const char* key) {
    const std::pair<const char*, QRadioButton*> options[] = {
        {"Use date and time", f.optUseDateandTime}, {"Use file name", f.optUseFileName},
        {"Use job name", f.optUseJobName},          {"Use job number", f.optUseJobNumber},
        {"Use user data", f.optUseUserData},        {"Use user name", f.optUseUserName}};
    for (const auto& [name, b] : options)
        if (qstrcmp(name, key) == 0) return b;
    return nullptr;
}
Key naming(const char* key, unsigned readers) {
    return {key, readers,
            [key](AppContext& c) -> std::optional<QString> {
                return boolText(namingOption(NamingOptionsWindow(c), key)->isChecked());
            },
            [key](AppContext& c, const QString& v, Reader) {
                frmFormat& f = NamingOptionsWindow(c);
                if (const auto b = readAsBoolean(v)) f.setOption(namingOption(f, key), *b);
            }};
}

// The printer format keys ("Print font size80", "Print orientation132", ...)
// belong to the printer format window: a file fills it for this run, and only
// its OK remembers them. Without that window the writer takes what a freshly
// loaded one would show: the remembered values.
struct PrinterKey {
    size_t width;
    bool orientation;
};
std::optional<PrinterKey> printerKey(const QString& key) {
    const QString fontSize = QStringLiteral("Print font size"), orientation = QStringLiteral("Print orientation");
    const bool isOrientation = key.startsWith(orientation);
    if (!isOrientation && !key.startsWith(fontSize)) return std::nullopt;
    const QString width = key.mid(isOrientation ? orientation.size() : fontSize.size());
    const QStringList widths = {QStringLiteral("80"), QStringLiteral("132"), QStringLiteral("198")};
    if (!widths.contains(width)) return std::nullopt;
    return PrinterKey{static_cast<size_t>(widths.indexOf(width)), isOrientation};
}

QString rememberedPrinterValue(AppContext& c, const QString& key) {
    const std::optional<PrinterKey> k = printerKey(key);
    if (!k) return {};
    DownloadOptions o;
    ReadDialogOptions(o, [&c](const QString& name) { return c.getSetting(name); });
    return k->orientation ? boolText(!o.printer.landscape[k->width]) : o.printer.fontSize[k->width];
}
Key printer(const char* key) {
    return {key, ByWindow,
            [key](AppContext& c) -> std::optional<QString> {
                const QString k = QString::fromLatin1(key);
                return c.printerFormatValue ? c.printerFormatValue(k) : rememberedPrinterValue(c, k);
            },
            [key](AppContext& c, const QString& v, Reader) {
                // The window takes "False" for landscape, anything else for portrait.
                if (c.setPrinterFormatValue) c.setPrinterFormatValue(QString::fromLatin1(key), v);
            }};
}
// The macro dialogs' fields ("frmExcel.txtMacroSheet", "frmWord.txtMacroName",
// ...): setting one loads its dialog, hidden, as a delivery would.
void putMacroField(AppContext& c, const char* field, const QString& value) {
    const QString f = QString::fromLatin1(field);
    MacroDialog& d = f.startsWith(u"frmExcel.") ? static_cast<MacroDialog&>(ExcelMacroWindow(c))
                                                : static_cast<MacroDialog&>(WordMacroWindow(c));
    (f.endsWith(u".txtMacroName") ? d.txtMacroName : d.txtMacroFileBox)->setText(value);
}
Key macro(const char* key, const char* field, bool AppContext::*loaded) {
    return {key, Both,
            [field, loaded](AppContext& c) -> std::optional<QString> {
                if (!(c.*loaded) || !c.macroField) return std::nullopt;
                return c.macroField(field).trimmed();
            },
            [field](AppContext& c, const QString& v, Reader) {
                if (c.setMacroField)
                    c.setMacroField(field, v);
                else
                    putMacroField(c, field, v);
            }};
}

const std::vector<Key>& keys() {
    using K = frmSaveAs::Kind;
    static const std::vector<Key> table = {
        {"User", Both, [](AppContext& c) { return mainWindow(c).txtWrkSplf->text().trimmed(); },
         [](AppContext& c, const QString& v, Reader) { mainWindow(c).txtWrkSplf->setText(v); }},
        {"Outq", Both, [](AppContext& c) { return mainWindow(c).txtOutq->text().trimmed(); },
         [](AppContext& c, const QString& v, Reader) { mainWindow(c).txtOutq->setText(v); }},
        {"Library", Both, [](AppContext& c) { return mainWindow(c).cboLibrary->currentText().trimmed(); },
         [](AppContext& c, const QString& v, Reader) { mainWindow(c).cboLibrary->setEditText(v); }},
        {"Process", Both, [](AppContext& c) { return screenText(c, "cboProcessType").trimmed(); },
         [](AppContext& c, const QString& v, Reader r) {
             screen(c).setText(QStringLiteral("cboProcessType"), v);
             if (r == Reader::Window) screen(c).cboProcessType_Click();
         }},
        // Judged against the process type just set.
        officeName("Excel file", Destination::MicrosoftExcel),
        officeName("Word file", Destination::MicrosoftWord),
        text("From", "txtFrom", Both, true),
        text("To", "txtTo", Both, true),
        check("Run macro", "chkMacro", Both),
        button("Email", "optEmail_0", ByBatch),
        button("Text or PDF", "optTextOrPDF_0", None),
        button("Parse0", "optParse_0", Both),
        button("Parse1", "optParse_1", Both),
        button("Parse2", "optParse_2", Both),
        check("Overprinting", "chkOverprinting", Both),
        check("Remove blanks", "chkBlankLines", Both),
        check("Convert minus", "chkORMinusSign", Both),
        check("Auto format", "chkAutoformat", ByBatch),
        check("Run silent", "chkRunSilent", ByBatch),
        {"PDF paper size", Both, [](AppContext& c) { return screenText(c, "cboPaperSize"); },
         [](AppContext& c, const QString& v, Reader r) {
             screen(c).setText(QStringLiteral("cboPaperSize"), v);
             if (r == Reader::Window) screen(c).cboPaperSize_Click();
         }},
        text("PDF font size", "cboFontSize", Both, false),
        text("PDF vert size", "cboVertSize", Both, false),
        pair("PDF page orientation", "optPageOrientation", Both),
        saveName("PDF file", K::Pdf, &AppContext::gPdfSaveAccepted),
        saveName("XML file", K::Xml, &AppContext::gXmlSaveAccepted),
        saveName("Text file", K::Text, &AppContext::gTextSaveAccepted),
        saveName("HTML file", K::Html, &AppContext::gHtmlSaveAccepted),
        {"Save path", ByBatch,
         [](AppContext& c) -> std::optional<QString> {
             const QString p = NamingOptionsWindow(c).txtSavePath->text();
             if (p.isEmpty()) return std::nullopt;
             return p;
         },
         [](AppContext& c, const QString& v, Reader) { NamingOptionsWindow(c).txtSavePath->setText(v); }},
        check("Attach multples", "chkAttachMultiples", ByWindow),
        check("Auto send", "chkAutoSend", Both),
        check("Use print control characters", "chkPrtCtl", ByWindow),
        // "False" chooses "*FCFC format": clearing both would lose the saved choice.
        pair("Print control format", "optPrtCtlFormat", ByWindow),
        printer("Print font size80"),
        printer("Print font size132"),
        printer("Print font size198"),
        printer("Print orientation80"),
        printer("Print orientation132"),
        printer("Print orientation198"),
        {"Naming convention", Both,
         [](AppContext& c) -> std::optional<QString> {
             return QString::number(NamingOptionsWindow(c).chkFullName->checkState() == Qt::Unchecked ? 0 : 1);
         },
         [](AppContext& c, const QString& v, Reader) {
             if (const auto n = checkValue(v))
                 NamingOptionsWindow(c).chkFullName->setCheckState(*n == 0 ? Qt::Unchecked : Qt::Checked);
         }},
        naming("Use date and time", Both),
        naming("Use file name", Both),
        naming("Use job name", Both),
        naming("Use job number", Both),
        naming("Use user data", Both),
        naming("Use user name", Both),
        {"Add replace", Both, [](AppContext& c) { return screenChosen(c, "optAddReplace_0"); },
         [](AppContext& c, const QString& v, Reader r) {
             std::optional<bool> replace = readAsBoolean(v);
             if (r == Reader::Window) replace = v == QLatin1String("True");
             if (!replace) return;
             screen(c).setValue(QStringLiteral("optAddReplace_0"), *replace ? 1 : 0);
             screen(c).setValue(QStringLiteral("optAddReplace_1"), *replace ? 0 : 1);
         }},
        text("Translation", "cboTranslation", Both, true),
        macro("Word macro document", "frmWord.txtMacroFile", &AppContext::gWordMacroFormLoaded),
        macro("Word macro name", "frmWord.txtMacroName", &AppContext::gWordMacroFormLoaded),
        macro("Excel macro document", "frmExcel.txtMacroSheet", &AppContext::gExcelMacroFormLoaded),
        macro("Excel macro name", "frmExcel.txtMacroName", &AppContext::gExcelMacroFormLoaded),
    };
    return table;
}

// Keys the writer leaves out: only read.
bool writtenKey(const Key& k) {
    return k.write && qstrcmp(k.name, "Use job number") != 0;
}
}  // namespace

std::vector<std::pair<QString, QString>> lines(const QByteArray& bytes, Reader reader) {
    std::vector<std::pair<QString, QString>> out;
    const QString text = Codec::toUnicode(bytes.toStdString());
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (reader == Reader::Batch) {
            if (eq < 0) continue;
            out.emplace_back(line.left(eq).toString(), line.mid(eq + 1).trimmed().toString());
        } else if (eq < 0) {
            out.emplace_back(line.trimmed().toString(), QString());
        } else {
            out.emplace_back(line.left(eq).trimmed().toString(), line.mid(eq + 1).toString());
        }
    }
    return out;
}

void apply(AppContext& ctx, const std::vector<std::pair<QString, QString>>& fileLines, Reader reader) {
    QMap<QString, QString> last;
    for (const auto& [key, value] : fileLines) last.insert(key, value);
    const unsigned mine = reader == Reader::Window ? ByWindow : ByBatch;
    for (const Key& k : keys()) {
        if (!(k.readers & mine)) continue;
        const auto v = last.constFind(QString::fromLatin1(k.name));
        if (v == last.constEnd()) continue;
        try {
            k.read(ctx, *v, reader);
        } catch (const ProgramEnd&) {
            throw;
        } catch (...) {
            // A value its control does not take is passed over.
        }
    }
}

QByteArray contents(AppContext& ctx) {
    QString out = QStringLiteral("[Properties]\r\nID=Spwrter_10.0\r\nSaved=") +
                  QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat) +
                  QStringLiteral("\r\n");
    for (const Key& k : keys()) {
        if (!writtenKey(k)) continue;
        if (const std::optional<QString> v = k.write(ctx))
            out += QString::fromLatin1(k.name) + QLatin1Char('=') + *v + QStringLiteral("\r\n");
    }
    return QByteArray::fromStdString(Codec::fromUnicode(out));
}

bool read(const QString& path, QByteArray& bytes) {
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) return false;
    bytes = f.read(kMaxBytes + 1);
    return bytes.size() <= kMaxBytes && f.error() == QFileDevice::NoError;
}

bool isSettingsFile(const QByteArray& bytes) {
    if (bytes.contains('\0')) return false;
    for (QByteArray line : bytes.split('\n'))
        if (line.trimmed() == "[Properties]") return true;
    return false;
}
}  // namespace SettingsFile

int OpenSettingsFile(AppContext& ctx, const QString& path) {
    QByteArray bytes;
    if (!SettingsFile::read(path, bytes)) {
        ctx.msgBox(QStringLiteral("File ") + path + QStringLiteral(" is not found."), MsgButtons::OK,
                   MsgIcon::Exclamation, QStringLiteral("Open Spoolwright Settings File"));
        setMousePointer(MousePointer::Normal);
        return -1;
    }
    using SettingsFile::Reader;
    SettingsFile::apply(ctx, SettingsFile::lines(bytes, Reader::Window), Reader::Window);
    ctx.gSettingsFromFile = true;
    return 0;
}

int SaveSettingsFile(AppContext& ctx, const QString& path, bool replaceWithoutAsking) {
    const QString title = QStringLiteral("Save transfer properties");
    if (!replaceWithoutAsking && QFileInfo::exists(path)) {
        if (ctx.msgBox(QStringLiteral("File ") + path + QStringLiteral(" already exists.  Replace?"),
                       MsgButtons::OKCancel, MsgIcon::Exclamation, title) == vbCancel)
            return -1;
    }
    const QByteArray bytes = SettingsFile::contents(ctx);
    SafeOutputFile out;
    try {
        SafeOutputFile::Options o;
        o.pause = [&ctx](qint64 ms) { ctx.clock->waitMs(ms); };
        out.open(path, o);
        out.write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        out.commit();
        return 0;
    } catch (const PcFileError&) {
        out.abandon();
        ctx.msgBox(QStringLiteral("Unable to save properties to file ") + path +
                       QStringLiteral(".  Check specified path."),
                   MsgButtons::OKCancel, MsgIcon::Exclamation, title);
        return -1;
    }
}

void installSettingsFiles(AppContext& ctx) {
    ctx.openSettingsFile = [&ctx](const QString& path) { return OpenSettingsFile(ctx, path); };
    ctx.saveSettingsFile = [&ctx](const QString& path, bool replace) { return SaveSettingsFile(ctx, path, replace); };
    ctx.setMacroField = [&ctx](const char* field, const QString& value) { SettingsFile::putMacroField(ctx, field, value); };
    // The printer format keys go to the printer format window (installViewerWindows).
}
