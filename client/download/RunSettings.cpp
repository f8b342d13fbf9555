#include "RunSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <functional>

#include "Codec.h"
#include "ProcessType.h"
#include "SettingValues.h"
#include "StartupRules.h"

namespace SettingsFile {
namespace {
enum Readers : unsigned { None = 0, ByWindow = 1, ByBatch = 2, Both = 3 };
using S = RunSettings;
using O = DownloadOptions;

std::optional<int> checkValue(const QString& v) {
    bool ok = false;
    const int n = v.trimmed().toInt(&ok);
    if (!ok || n < 0 || n > 2) return std::nullopt;
    return n;
}

// One line of the file: how the writer takes it (nothing: left out) and how
// a reader sets it (false: the value cannot be taken).
struct Key {
    const char* name;
    unsigned readers;
    Part part;
    std::function<std::optional<QString>(const S&)> write;
    std::function<bool(S&, const QString& value, Reader)> read;
};

// A text of the screen or the main window.
Key text(const char* name, Part part, QString S::*field, unsigned readers = Both) {
    return {name, readers, part, [field](const S& s) { return (s.*field).trimmed(); },
            [field](S& s, const QString& v, Reader) { return (s.*field = v, true); }};
}
Key option(const char* name, Part part, QString O::*field, bool trimmed, unsigned readers = Both) {
    return {name, readers, part,
            [field, trimmed](const S& s) { return trimmed ? (s.options.*field).trimmed() : s.options.*field; },
            [field](S& s, const QString& v, Reader) { return (s.options.*field = v, true); }};
}
// A check box, as a number.
Key check(const char* name, Part part, bool O::*field, unsigned readers = Both) {
    return {name, readers, part, [field](const S& s) { return QString::number(s.options.*field ? 1 : 0); },
            [field](S& s, const QString& v, Reader) {
                const auto n = checkValue(v);
                if (n) s.options.*field = *n != 0;
                return n.has_value();
            }};
}
// A choice of two buttons written as "the first is chosen"; `second` is the
// option that the second button sets. The window reader takes any text but
// "False" for the first, the batch reader only a truth value.
Key pair(const char* name, Part part, bool O::*second, unsigned readers = Both) {
    return {name, readers, part, [second](const S& s) { return BoolText(!(s.options.*second)); },
            [second](S& s, const QString& v, Reader r) {
                std::optional<bool> first = readAsBoolean(v);
                if (r == Reader::Window) first = v != QLatin1String("False");
                if (first) s.options.*second = !*first;
                return first.has_value();
            }};
}
// "Parse0" .. "Parse2": one button of the parsing choice, on or off.
Key parse(const char* name, Part part, int index) {
    return {name, Both, part, [index](const S& s) { return BoolText(s.options.parse == index); },
            [index](S& s, const QString& v, Reader) {
                const auto on = readAsBoolean(v);
                if (on && *on) s.options.parse = index;
                else if (on && s.options.parse == index) s.options.parse = -1;
                return on.has_value();
            }};
}
Key naming(const char* name, Part part, bool O::Naming::*field, unsigned readers = Both) {
    return {name, readers, part, [field](const S& s) { return BoolText(s.options.naming.*field); },
            [field](S& s, const QString& v, Reader) {
                const auto on = readAsBoolean(v);
                if (on) s.options.naming.*field = *on;
                return on.has_value();
            }};
}
// A save dialog's name: written only when the dialog was accepted; read with the file's mark.
Key saveName(const char* name, Part part, S::SaveDialog dialog) {
    return {name, Both, part,
            [dialog](const S& s) -> std::optional<QString> {
                const S::SaveName& n = s.saveNames[dialog];
                if (!n.accepted) return std::nullopt;
                return n.name.trimmed();
            },
            [dialog](S& s, const QString& v, Reader) {
                s.saveNames[dialog].name = v;
                s.saveNames[dialog].fromFile = true;
                return true;
            }};
}
// "Excel file", "Word file": the text dialog's name, when the destination is that program.
Key officeName(const char* name, Destination destination) {
    return {name, ByBatch, Part::TextFile, nullptr, [destination](S& s, const QString& v, Reader r) {
                if (!IsProcessType(s.options.processType, destination)) return false;
                s.saveNames[S::TextSave].name = v;
                s.saveNames[S::TextSave].fromFile = true;
                return (void)r, true;
            }};
}
// The printer format dialog's font size and orientation for one report width.
Key printFont(const char* name, Part part, size_t width) {
    return {name, ByWindow, part, [width](const S& s) { return s.options.printer.fontSize[width]; },
            [width](S& s, const QString& v, Reader) { return (s.options.printer.fontSize[width] = v, true); }};
}
Key printOrientation(const char* name, Part part, size_t width) {
    return {name, ByWindow, part, [width](const S& s) { return BoolText(!s.options.printer.landscape[width]); },
            [width](S& s, const QString& v, Reader) {
                // The dialog takes "False" for landscape, anything else for portrait.
                s.options.printer.landscape[width] = v == QLatin1String("False");
                s.options.printer.orientationSet[width] = true;
                return true;
            }};
}
// A macro dialog's field, written once the dialog was loaded in this run.
Key macro(const char* name, Part part, S::Macro S::*dialog, QString S::Macro::*field, bool S::Macro::*set) {
    return {name, Both, part,
            [dialog, field](const S& s) -> std::optional<QString> {
                if (!(s.*dialog).loaded) return std::nullopt;
                return ((s.*dialog).*field).trimmed();
            },
            [dialog, field, set](S& s, const QString& v, Reader) {
                (s.*dialog).*set = true;
                return ((s.*dialog).*field = v, true);
            }};
}

const std::vector<Key>& keys() {
    static const std::vector<Key> table = {
        text("User", Part::User, &S::user),
        text("Outq", Part::Outq, &S::outq),
        text("Library", Part::Library, &S::library),
        option("Process", Part::Process, &O::processType, true),
        // Judged against the process type just set.
        officeName("Excel file", Destination::MicrosoftExcel),
        officeName("Word file", Destination::MicrosoftWord),
        option("From", Part::From, &O::fromPage, true),
        option("To", Part::To, &O::toPage, true),
        check("Run macro", Part::RunMacro, &O::runMacro),
        {"Email", ByBatch, Part::Email, [](const S& s) { return BoolText(s.options.email == 0); },
         [](S& s, const QString& v, Reader) {
             // Off: the e-mail destinations send the report as an attachment.
             const auto message = readAsBoolean(v);
             if (message) s.options.email = *message ? 0 : 1;
             return message.has_value();
         }},
        pair("Text or PDF", Part::TextOrPdf, &O::emailAsPdf, None),
        parse("Parse0", Part::Parse0, 0),
        parse("Parse1", Part::Parse1, 1),
        parse("Parse2", Part::Parse2, 2),
        check("Overprinting", Part::Overprinting, &O::suppressOverprinting),
        check("Remove blanks", Part::RemoveBlanks, &O::removeBlankLines),
        check("Convert minus", Part::ConvertMinus, &O::convertMinusSign),
        check("Auto format", Part::AutoFormat, &O::autoformat, ByBatch),
        check("Run silent", Part::RunSilent, &O::runSilent, ByBatch),
        option("PDF paper size", Part::PdfPaperSize, &O::pdfPaperSize, false),
        option("PDF font size", Part::PdfFontSize, &O::pdfFontSize, false),
        option("PDF vert size", Part::PdfVertSize, &O::pdfVertSize, false),
        pair("PDF page orientation", Part::PdfOrientation, &O::pdfLandscape),
        saveName("PDF file", Part::PdfFile, S::PdfSave),
        saveName("XML file", Part::XmlFile, S::XmlSave),
        saveName("Text file", Part::TextFile, S::TextSave),
        saveName("HTML file", Part::HtmlFile, S::HtmlSave),
        {"Save path", ByBatch, Part::SavePath,
         [](const S& s) -> std::optional<QString> {
             if (s.options.naming.savePath.isEmpty()) return std::nullopt;
             return s.options.naming.savePath;
         },
         [](S& s, const QString& v, Reader) { return (s.options.naming.savePath = v, true); }},
        check("Attach multples", Part::AttachMultiples, &O::attachMultiples, ByWindow),
        check("Auto send", Part::AutoSend, &O::autoSend),
        check("Use print control characters", Part::PrintControl, &O::printControl, ByWindow),
        // "False" chooses "*FCFC format": clearing both would lose the saved choice.
        pair("Print control format", Part::PrintControlFormat, &O::fcfc, ByWindow),
        printFont("Print font size80", Part::PrintFont80, 0),
        printFont("Print font size132", Part::PrintFont132, 1),
        printFont("Print font size198", Part::PrintFont198, 2),
        printOrientation("Print orientation80", Part::PrintOrientation80, 0),
        printOrientation("Print orientation132", Part::PrintOrientation132, 1),
        printOrientation("Print orientation198", Part::PrintOrientation198, 2),
        {"Naming convention", Both, Part::NamingConvention,
         [](const S& s) { return QString::number(s.options.naming.fullName ? 1 : 0); },
         [](S& s, const QString& v, Reader) {
             const auto n = checkValue(v);
             if (n) s.options.naming.fullName = *n != 0;
             return n.has_value();
         }},
        naming("Use date and time", Part::UseDateAndTime, &O::Naming::useDateAndTime),
        naming("Use file name", Part::UseFileName, &O::Naming::useFileName),
        naming("Use job name", Part::UseJobName, &O::Naming::useJobName),
        naming("Use job number", Part::UseJobNumber, &O::Naming::useJobNumber),
        naming("Use user data", Part::UseUserData, &O::Naming::useUserData),
        naming("Use user name", Part::UseUserName, &O::Naming::useUserName),
        {"Add replace", Both, Part::AddReplace, [](const S& s) { return BoolText(!s.options.htmlAddToFile); },
         [](S& s, const QString& v, Reader r) {
             std::optional<bool> replace = readAsBoolean(v);
             if (r == Reader::Window) replace = v == QLatin1String("True");
             if (replace) s.options.htmlAddToFile = !*replace;
             return replace.has_value();
         }},
        option("Translation", Part::Translation, &O::translation, true),
        macro("Word macro document", Part::WordMacroDocument, &S::word, &S::Macro::document, &S::Macro::documentSet),
        macro("Word macro name", Part::WordMacroName, &S::word, &S::Macro::name, &S::Macro::nameSet),
        macro("Excel macro document", Part::ExcelMacroDocument, &S::excel, &S::Macro::document, &S::Macro::documentSet),
        macro("Excel macro name", Part::ExcelMacroName, &S::excel, &S::Macro::name, &S::Macro::nameSet),
    };
    return table;
}

// Keys the writer leaves out: only read.
bool writtenKey(const Key& k) { return k.write && qstrcmp(k.name, "Use job number") != 0; }
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

std::vector<Part> apply(RunSettings& settings, const std::vector<std::pair<QString, QString>>& fileLines,
                        Reader reader, const std::function<QString()>& processTypeNow) {
    QMap<QString, QString> last;
    for (const auto& [key, value] : fileLines) last.insert(key, value);
    const unsigned mine = reader == Reader::Window ? ByWindow : ByBatch;
    std::vector<Part> set;
    bool processKnown = false;
    for (const Key& k : keys()) {
        if (!(k.readers & mine)) continue;
        const auto v = last.constFind(QString::fromLatin1(k.name));
        if (v == last.constEnd()) continue;
        // An office program's file is judged against the process type, the file's or the one before it.
        if (!k.write && !processKnown && processTypeNow) settings.options.processType = processTypeNow();
        if (!k.write || k.part == Part::Process) processKnown = true;
        if (!k.read(settings, *v, reader)) continue;
        if (std::find(set.begin(), set.end(), k.part) == set.end()) set.push_back(k.part);
    }
    return set;
}

QByteArray contents(const RunSettings& settings, const QString& saved) {
    QString out = QStringLiteral("[Properties]\r\nID=Spwrter_10.0\r\nSaved=") + saved + QStringLiteral("\r\n");
    for (const Key& k : keys()) {
        if (!writtenKey(k)) continue;
        if (const std::optional<QString> v = k.write(settings))
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
