#include "RunSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <algorithm>
#include <functional>
#include <string_view>

#include "Codec.h"
#include "ProcessType.h"
#include "SettingKeys.h"
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

// A line's name. A line that stands for a remembered value names its entry
// (SettingKeys.h): the entry's name where the file spells it alike, else the
// file's own name beside the entry, never the entry's name spelt again. A few
// lines stand for no remembered value.
struct FileKey {
    const char* name;
    const SettingKey* remembered = nullptr;

    consteval FileKey(const SettingKey& key) : name(key.name), remembered(&key) {}
    consteval FileKey(const char* own, const SettingKey& key) : name(own), remembered(&key) {
        if (std::string_view(own) == key.name) throw "spelt as the entry: name the entry alone";
    }
    consteval explicit FileKey(const char* own) : name(own) {}
};

// One line of the file: how the writer takes it (nothing: left out) and how
// a reader sets it (false: the value cannot be taken).
struct Key {
    FileKey file;
    unsigned readers;
    Part part;
    std::function<std::optional<QString>(const S&)> write;
    std::function<bool(S&, const QString& value, Reader)> read;
};

// A text of the screen or the main window.
Key text(FileKey name, Part part, QString S::*field, unsigned readers = Both) {
    return {name, readers, part, [field](const S& s) { return (s.*field).trimmed(); },
            [field](S& s, const QString& v, Reader) { return (s.*field = v, true); }};
}
Key option(FileKey name, Part part, QString O::*field, bool trimmed, unsigned readers = Both) {
    return {name, readers, part,
            [field, trimmed](const S& s) { return trimmed ? (s.options.*field).trimmed() : s.options.*field; },
            [field](S& s, const QString& v, Reader) { return (s.options.*field = v, true); }};
}
// A check box, as a number.
Key check(FileKey name, Part part, bool O::*field, unsigned readers = Both) {
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
Key pair(FileKey name, Part part, bool O::*second, unsigned readers = Both) {
    return {name, readers, part, [second](const S& s) { return BoolText(!(s.options.*second)); },
            [second](S& s, const QString& v, Reader r) {
                std::optional<bool> first = readAsBoolean(v);
                if (r == Reader::Window) first = v != QLatin1String("False");
                if (first) s.options.*second = !*first;
                return first.has_value();
            }};
}
// "Parse0" .. "Parse2": one button of the parsing choice, on or off.
Key parse(FileKey name, Part part, int index) {
    return {name, Both, part, [index](const S& s) { return BoolText(s.options.parse == index); },
            [index](S& s, const QString& v, Reader) {
                const auto on = readAsBoolean(v);
                if (on && *on) s.options.parse = index;
                else if (on && s.options.parse == index) s.options.parse = -1;
                return on.has_value();
            }};
}
Key naming(FileKey name, Part part, bool O::Naming::*field, unsigned readers = Both) {
    return {name, readers, part, [field](const S& s) { return BoolText(s.options.naming.*field); },
            [field](S& s, const QString& v, Reader) {
                const auto on = readAsBoolean(v);
                if (on) s.options.naming.*field = *on;
                return on.has_value();
            }};
}
// A save dialog's name: written only when the dialog was accepted; read with the file's mark.
Key saveName(FileKey name, Part part, S::SaveDialog dialog) {
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
Key officeName(FileKey name, Destination destination) {
    return {name, ByBatch, Part::TextFile, nullptr, [destination](S& s, const QString& v, Reader r) {
                if (!IsProcessType(s.options.processType, destination)) return false;
                s.saveNames[S::TextSave].name = v;
                s.saveNames[S::TextSave].fromFile = true;
                return (void)r, true;
            }};
}
// The printer format dialog's font size and orientation for one report width.
Key printFont(FileKey name, Part part, size_t width) {
    return {name, ByWindow, part, [width](const S& s) { return s.options.printer.fontSize[width]; },
            [width](S& s, const QString& v, Reader) { return (s.options.printer.fontSize[width] = v, true); }};
}
Key printOrientation(FileKey name, Part part, size_t width) {
    return {name, ByWindow, part, [width](const S& s) { return BoolText(!s.options.printer.landscape[width]); },
            [width](S& s, const QString& v, Reader) {
                // The dialog takes "False" for landscape, anything else for portrait.
                s.options.printer.landscape[width] = v == QLatin1String("False");
                s.options.printer.orientationSet[width] = true;
                return true;
            }};
}
// A macro dialog's field, written once the dialog was loaded in this run.
Key macro(FileKey name, Part part, S::Macro S::*dialog, QString S::Macro::*field, bool S::Macro::*set) {
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
        text({"User", Setting::Wrksplf}, Part::User, &S::user),
        text(Setting::Outq, Part::Outq, &S::outq),
        text(Setting::Library, Part::Library, &S::library),
        option(Setting::Process, Part::Process, &O::processType, true),
        // Judged against the process type just set.
        officeName(FileKey("Excel file"), Destination::MicrosoftExcel),
        officeName(FileKey("Word file"), Destination::MicrosoftWord),
        option(Setting::From, Part::From, &O::fromPage, true),
        option(Setting::To, Part::To, &O::toPage, true),
        check(Setting::RunMacroToo, Part::RunMacro, &O::runMacro),
        {Setting::Email, ByBatch, Part::Email, [](const S& s) { return BoolText(s.options.email == 0); },
         [](S& s, const QString& v, Reader) {
             // Off: the e-mail destinations send the report as an attachment.
             const auto message = readAsBoolean(v);
             if (message) s.options.email = *message ? 0 : 1;
             return message.has_value();
         }},
        pair(Setting::TextOrPdf, Part::TextOrPdf, &O::emailAsPdf, None),
        parse(Setting::Parse[0], Part::Parse0, 0),
        parse(Setting::Parse[1], Part::Parse1, 1),
        parse(Setting::Parse[2], Part::Parse2, 2),
        check({"Overprinting", Setting::SuppressOverprinting}, Part::Overprinting, &O::suppressOverprinting),
        check({"Remove blanks", Setting::RemoveBlanks}, Part::RemoveBlanks, &O::removeBlankLines),
        check({"Convert minus", Setting::MinusSign}, Part::ConvertMinus, &O::convertMinusSign),
        check(Setting::AutoFormat, Part::AutoFormat, &O::autoformat, ByBatch),
        check(Setting::RunSilent, Part::RunSilent, &O::runSilent, ByBatch),
        option({"PDF paper size", Setting::PdfPaperSize}, Part::PdfPaperSize, &O::pdfPaperSize, false),
        option({"PDF font size", Setting::PdfFontSize}, Part::PdfFontSize, &O::pdfFontSize, false),
        option({"PDF vert size", Setting::PdfVertSize}, Part::PdfVertSize, &O::pdfVertSize, false),
        pair({"PDF page orientation", Setting::PdfPageOrientation}, Part::PdfOrientation, &O::pdfLandscape),
        saveName(Setting::PdfFile, Part::PdfFile, S::PdfSave),
        saveName({"XML file", Setting::XmlFile}, Part::XmlFile, S::XmlSave),
        saveName(Setting::TextFile, Part::TextFile, S::TextSave),
        saveName({"HTML file", Setting::HtmlFile}, Part::HtmlFile, S::HtmlSave),
        {{"Save path", Setting::SavePath}, ByBatch, Part::SavePath,
         [](const S& s) -> std::optional<QString> {
             if (s.options.naming.savePath.isEmpty()) return std::nullopt;
             return s.options.naming.savePath;
         },
         [](S& s, const QString& v, Reader) { return (s.options.naming.savePath = v, true); }},
        check({"Attach multples", Setting::AttachMultiples}, Part::AttachMultiples, &O::attachMultiples, ByWindow),
        check({"Auto send", Setting::AutoSend}, Part::AutoSend, &O::autoSend),
        check({"Use print control characters", Setting::PrintControl}, Part::PrintControl, &O::printControl, ByWindow),
        // "False" chooses "*FCFC format": clearing both would lose the saved choice.
        pair({"Print control format", Setting::PrintControlFormat}, Part::PrintControlFormat, &O::fcfc, ByWindow),
        printFont({"Print font size80", Setting::PrintFontSize[0]}, Part::PrintFont80, 0),
        printFont({"Print font size132", Setting::PrintFontSize[1]}, Part::PrintFont132, 1),
        printFont({"Print font size198", Setting::PrintFontSize[2]}, Part::PrintFont198, 2),
        printOrientation({"Print orientation80", Setting::PrintOrientation[0]}, Part::PrintOrientation80, 0),
        printOrientation({"Print orientation132", Setting::PrintOrientation[1]}, Part::PrintOrientation132, 1),
        printOrientation({"Print orientation198", Setting::PrintOrientation[2]}, Part::PrintOrientation198, 2),
        {{"Naming convention", Setting::FullName}, Both, Part::NamingConvention,
         [](const S& s) { return QString::number(s.options.naming.fullName ? 1 : 0); },
         [](S& s, const QString& v, Reader) {
             const auto n = checkValue(v);
             if (n) s.options.naming.fullName = *n != 0;
             return n.has_value();
         }},
        naming(Setting::UseDateAndTime, Part::UseDateAndTime, &O::Naming::useDateAndTime),
        naming(Setting::UseFileName, Part::UseFileName, &O::Naming::useFileName),
        naming(Setting::UseJobName, Part::UseJobName, &O::Naming::useJobName),
        naming(Setting::UseJobNumber, Part::UseJobNumber, &O::Naming::useJobNumber),
        naming(Setting::UseUserData, Part::UseUserData, &O::Naming::useUserData),
        naming(Setting::UseUserName, Part::UseUserName, &O::Naming::useUserName),
        {{"Add replace", Setting::HtmlAddReplace}, Both, Part::AddReplace, [](const S& s) { return BoolText(!s.options.htmlAddToFile); },
         [](S& s, const QString& v, Reader r) {
             std::optional<bool> replace = readAsBoolean(v);
             if (r == Reader::Window) replace = v == QLatin1String("True");
             if (replace) s.options.htmlAddToFile = !*replace;
             return replace.has_value();
         }},
        option(Setting::Translation, Part::Translation, &O::translation, true),
        macro(Setting::WordMacroDocument, Part::WordMacroDocument, &S::word, &S::Macro::document, &S::Macro::documentSet),
        macro(Setting::WordMacroName, Part::WordMacroName, &S::word, &S::Macro::name, &S::Macro::nameSet),
        macro({"Excel macro document", Setting::ExcelMacroSheet}, Part::ExcelMacroDocument, &S::excel, &S::Macro::document, &S::Macro::documentSet),
        macro(Setting::ExcelMacroName, Part::ExcelMacroName, &S::excel, &S::Macro::name, &S::Macro::nameSet),
    };
    return table;
}

// Keys the writer leaves out: only read.
bool writtenKey(const Key& k) { return k.write && k.file.remembered != &Setting::UseJobNumber; }
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
        const auto v = last.constFind(QString::fromLatin1(k.file.name));
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
            out += QString::fromLatin1(k.file.name) + QLatin1Char('=') + *v + QStringLiteral("\r\n");
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
