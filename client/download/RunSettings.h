#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "DownloadOptions.h"

// What a run is set to do, as one value: the download options (the screen's
// and the option dialogs'), the queue to list, the save dialogs' names and
// the macro dialogs' fields. A settings file is read into it and written from
// it through the one table of keys below; the windows fill it and take it
// back (client/control/SettingsFile.cpp), and so may a run without them.
struct RunSettings {
    DownloadOptions options;
    // The main window's queue fields.
    QString user, outq, library;
    // The name field of a save dialog: `fromFile` marks a name a settings file
    // gave (a batch run keeps it); only a name the user accepted in this run
    // (`accepted`) is written.
    struct SaveName {
        QString name;
        bool fromFile = false;
        bool accepted = false;
    };
    enum SaveDialog { TextSave, HtmlSave, PdfSave, XmlSave };
    std::array<SaveName, 4> saveNames;
    // A macro dialog's fields, written only once the dialog was loaded in this run;
    // `documentSet` and `nameSet` mark the fields a settings file gave.
    struct Macro {
        QString document, name;
        bool loaded = false;
        bool documentSet = false, nameSet = false;
    };
    Macro word, excel;
};

// Settings files (*.spw): "key=value" lines after the head lines
// "[Properties]", "ID=Spwrter_10.0" and "Saved=...".
namespace SettingsFile {
// The two readers: the File menu's Open, and the batch run's SETS parameter.
// They apply different lists of keys and take blanks differently.
enum class Reader { Window, Batch };

// What a key sets: the windows take these parts of the settings back.
enum class Part {
    User, Outq, Library, Process, From, To, RunMacro, Email, TextOrPdf, Overprinting, RemoveBlanks,
    ConvertMinus, AutoFormat, RunSilent, PdfPaperSize, PdfFontSize, PdfVertSize, PdfOrientation, PdfFile, XmlFile,
    TextFile, HtmlFile, SavePath, AttachMultiples, AutoSend, PrintControl, PrintControlFormat, PrintFont80,
    PrintFont132, PrintFont198, PrintOrientation80, PrintOrientation132, PrintOrientation198, NamingConvention,
    UseDateAndTime, UseFileName, UseJobName, UseJobNumber, UseUserData, UseUserName, AddReplace, Translation,
    WordMacroDocument, WordMacroName, ExcelMacroDocument, ExcelMacroName, Parse0, Parse1, Parse2
};

// The lines of a file as key and value, CR LF or LF ended. Window: the key
// trimmed, the value as it stands; a line without "=" is a key alone. Batch:
// the key as it stands, the value trimmed; a line without "=" is skipped.
std::vector<std::pair<QString, QString>> lines(const QByteArray& bytes, Reader reader);

// Applies the keys this reader knows, whatever their order in the file, in
// the one fixed order of the table (a later line of a key wins), so that
// "Excel file" and "Word file" are judged against the final process type. A
// value that cannot be taken is skipped. Returns the parts set, in the
// table's order (a part once).
// `processTypeNow` gives the process type before the file, asked for only
// when the file names an office program's file and no process type.
std::vector<Part> apply(RunSettings& settings, const std::vector<std::pair<QString, QString>>& lines, Reader reader,
                        const std::function<QString()>& processTypeNow = {});

// The file's text: the head lines (`saved` the time of saving) and one line
// per key the settings give a value for.
QByteArray contents(const RunSettings& settings, const QString& saved);

// Largest file read; anything bigger is not a settings file.
constexpr qint64 kMaxBytes = 1 << 20;

// Reads the file into `bytes`; false when it cannot be read.
bool read(const QString& path, QByteArray& bytes);

// Whether the bytes are a settings file at all: text (no NUL byte) with the
// "[Properties]" line that every settings file begins with.
bool isSettingsFile(const QByteArray& bytes);
}  // namespace SettingsFile
