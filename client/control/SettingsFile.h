#pragma once
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

class AppContext;

// Settings files (*.spw): the download options of the screen, the main
// window's queue fields and the option dialogs, one "key=value" line each
// after the head lines "[Properties]", "ID=Spwrter_10.0" and "Saved=...".
namespace SettingsFile {
// The two readers: the File menu's Open, and the batch run's SETS parameter.
// They apply different lists of keys and take blanks differently.
enum class Reader { Window, Batch };

// The lines of a file as key and value, CR LF or LF ended. Window: the key
// trimmed, the value as it stands; a line without "=" is a key alone. Batch:
// the key as it stands, the value trimmed; a line without "=" is skipped.
std::vector<std::pair<QString, QString>> lines(const QByteArray& bytes, Reader reader);

// Applies the keys this reader knows, whatever their order in the file, in
// the one fixed order of the file's table (a later line of a key wins), so
// that "Excel file" and "Word file" are judged against the final process
// type. A value its control cannot take is skipped.
void apply(AppContext& ctx, const std::vector<std::pair<QString, QString>>& lines, Reader reader);

// The file's text as SaveSettingsFile writes it.
QByteArray contents(AppContext& ctx);

// Largest file read; anything bigger is not a settings file.
constexpr qint64 kMaxBytes = 1 << 20;

// Reads the file into `bytes`; false when it cannot be read.
bool read(const QString& path, QByteArray& bytes);

// Whether the bytes are a settings file at all: text (no NUL byte) with the
// "[Properties]" line that every settings file begins with.
bool isSettingsFile(const QByteArray& bytes);
}  // namespace SettingsFile

// File > Open: applies the file to the windows; 0, or -1 after "File ... is
// not found." when it cannot be read.
int OpenSettingsFile(AppContext& ctx, const QString& path);
// File > Save (replaceWithoutAsking) and Save As: writes a new file beside
// the old one and puts it in its place only when it is complete; 0, or -1
// when the user declined to replace the file or it could not be written
// (the old file is then as it was).
int SaveSettingsFile(AppContext& ctx, const QString& path, bool replaceWithoutAsking);
// The main window's File menu calls the two above.
void installSettingsFiles(AppContext& ctx);
