#pragma once
#include <QString>

// The program's remembered values (section "Settings"), one entry each: the
// name it is stored under, exactly as earlier runs, the installer's move of an
// older version's values and users' own copies have it; its kind; and the
// value the first start fills in when nothing usable is stored. Names match
// without regard to case, as in the registry. Reads and
// writes name an entry (Services::getSetting, saveSetting); a value never
// stored reads "None" (SettingValues.h says how that is judged).
//
// Settings files (*.spw) are another format. Their table of keys
// (RunSettings.cpp) names the entry each line stands for: it takes the entry's
// name where the file spells it alike, and keeps its own only where the file
// spells it otherwise ("Remove blanks" for RemoveBlanks).
enum class SettingKind {
    Text,
    Truth,   // "True" or "False"
    Number,  // digits; a check box's state is "0", "1" or "2"
};

struct SettingKey {
    const char* name;
    SettingKind kind;
    const char* firstStart = nullptr;

    QString stored() const { return QString::fromLatin1(name); }
    QString firstStartValue() const { return QString::fromLatin1(firstStart); }
};

namespace Setting {
using K = SettingKind;

// The connection.
inline constexpr SettingKey URL{"URL", K::Text};
inline constexpr SettingKey User{"User", K::Text};
// The remembered password, scrambled; "-None" when it is not to be kept.
inline constexpr SettingKey Password{"century", K::Text};
// The hosts used before, the latest first ("URL0" is the current one).
inline constexpr SettingKey HostHistory[] = {{"URL0", K::Text}, {"URL1", K::Text}, {"URL2", K::Text}, {"URL3", K::Text},
                                             {"URL4", K::Text}, {"URL5", K::Text}, {"URL6", K::Text}, {"URL7", K::Text},
                                             {"URL8", K::Text}, {"URL9", K::Text}};
inline constexpr SettingKey WaitTime{"Wait time", K::Number};
inline constexpr SettingKey AutoConnect{"Auto connect", K::Truth, "True"};
// Whether the others are remembered at all ("Remember Settings").
inline constexpr SettingKey Defaults{"Defaults", K::Truth};

// What the main window lists.
inline constexpr SettingKey Outq{"Outq", K::Text};
inline constexpr SettingKey Library{"Library", K::Text};
inline constexpr SettingKey Wrksplf{"Wrksplf", K::Text};

// The downloads. The save folder's first value is known only at run time
// (FirstStart below).
inline constexpr SettingKey SavePath{"Save Path", K::Text};
inline constexpr SettingKey FullName{"FullName", K::Number, "1"};
inline constexpr SettingKey RemoveBlanks{"RemoveBlanks", K::Number, "0"};
inline constexpr SettingKey MinusSign{"MinusSign", K::Number, "1"};
// Written "True"/"False" by the screen; the first start writes "0".
inline constexpr SettingKey Email{"Email", K::Truth, "0"};
inline constexpr SettingKey AddReplace{"Add replace", K::Truth};
inline constexpr SettingKey HtmlFont{"Html font", K::Number, "9"};
inline constexpr SettingKey HtmlAddReplace{"Html add replace", K::Truth};
// The last file each save dialog named, and the folder its Browse starts in.
inline constexpr SettingKey TextFile{"Text file", K::Text};
inline constexpr SettingKey HtmlFile{"Html file", K::Text};
inline constexpr SettingKey XmlFile{"xml file", K::Text};
inline constexpr SettingKey PdfFile{"PDF file", K::Text};
inline constexpr SettingKey SaveDir{"Save dir", K::Text};
inline constexpr SettingKey SaveDirHtml{"Save dir html", K::Text};
inline constexpr SettingKey SaveDirXml{"Save dir xml", K::Text};
inline constexpr SettingKey SaveDirPdf{"Save dir PDF", K::Text};
// Cleared with the last names when the naming changes; nothing else reads it.
inline constexpr SettingKey SaveFile{"Save file", K::Text};

// The naming dialog's choices (FullName above is its check box).
inline constexpr SettingKey UseFileName{"Use file name", K::Truth};
inline constexpr SettingKey UseJobName{"Use job name", K::Truth};
inline constexpr SettingKey UseJobNumber{"Use job number", K::Truth};
inline constexpr SettingKey UseUserName{"Use user name", K::Truth};
inline constexpr SettingKey UseDateAndTime{"Use date and time", K::Truth};
inline constexpr SettingKey UseUserData{"Use user data", K::Truth};

// The rest of the spooled-file screen's options.
inline constexpr SettingKey Process{"Process", K::Text};
inline constexpr SettingKey From{"From", K::Text};
inline constexpr SettingKey To{"To", K::Text};
inline constexpr SettingKey Translation{"Translation", K::Text};
inline constexpr SettingKey PageLength{"Page length", K::Text};
inline constexpr SettingKey NotesTabs{"Notes tabs", K::Text};
inline constexpr SettingKey NotesTabs2{"Notes tabs 2", K::Text};
inline constexpr SettingKey Parse[] = {{"Parse0", K::Truth}, {"Parse1", K::Truth}, {"Parse2", K::Truth}};
inline constexpr SettingKey RunMacro{"RunMacro", K::Number};
// The macro box's state once more; nothing reads it back.
inline constexpr SettingKey RunMacroToo{"Run macro", K::Number};
inline constexpr SettingKey AttachMultiples{"AttachMultiples", K::Number};
inline constexpr SettingKey AutoSend{"AutoSend", K::Number};
inline constexpr SettingKey AutoFormat{"Auto format", K::Number};
// The auto-format box's state once more; the screen reads it as a truth value.
inline constexpr SettingKey AutoEmail{"Auto email", K::Number};
inline constexpr SettingKey RunSilent{"Run silent", K::Number};
inline constexpr SettingKey TextOrPdf{"Text or PDF", K::Truth};
inline constexpr SettingKey SuppressOverprinting{"SuppressOverprinting", K::Number};
inline constexpr SettingKey PrintControl{"PRTCTL", K::Number};
inline constexpr SettingKey PrintControlFormat{"PRTCTL format", K::Truth};
inline constexpr SettingKey PdfFontSize{"PDF Fontsize", K::Number};
inline constexpr SettingKey PdfVertSize{"PDF Vertsize", K::Text};
inline constexpr SettingKey PdfPaperSize{"PDF Papersize", K::Text};
inline constexpr SettingKey PdfPageOrientation{"PDF Page orientation", K::Truth};

// The printer dialog, one a record width (80, 132, 198 columns): a font size
// ("Auto" or a number) and an orientation. The first
// orientation is true for portrait, the other two for landscape.
inline constexpr SettingKey PrintFontSize[] = {
    {"80 Fontsize", K::Text}, {"132 Fontsize", K::Text}, {"198 Fontsize", K::Text}};
inline constexpr SettingKey PrintOrientation[] = {
    {"Orientation 1", K::Truth}, {"Orientation 2", K::Truth}, {"Orientation 3", K::Truth}};

// The two viewers (the few pages, the whole report): the window's state, and
// the search's case box ("1" ticked) and text.
inline constexpr SettingKey ViewWindowState{"Window state", K::Number};
inline constexpr SettingKey ViewMatchCase{"Match case", K::Number};
inline constexpr SettingKey ViewSearchString{"Search string", K::Text};
inline constexpr SettingKey FullViewWindowState{"Window state full", K::Number};
inline constexpr SettingKey FullViewMatchCase{"Match case full", K::Number};
inline constexpr SettingKey FullViewSearchString{"Search string full", K::Text};

// The office programs' macros.
inline constexpr SettingKey ExcelMacroSheet{"Excel macro sheet", K::Text};
inline constexpr SettingKey ExcelMacroName{"Excel macro name", K::Text};
inline constexpr SettingKey WordMacroDocument{"Word macro document", K::Text};
inline constexpr SettingKey WordMacroName{"Word macro name", K::Text};

// The e-mail deliveries.
inline constexpr SettingKey CompanyName{"Company name", K::Text};
inline constexpr SettingKey MailServer{"Mail server", K::Text};
inline constexpr SettingKey MailUser{"Mail user", K::Text};
inline constexpr SettingKey MailSender{"Mail sender", K::Text};
// Scrambled as the sign-on's password is.
inline constexpr SettingKey MailPassword{"Mail password", K::Text};
inline constexpr SettingKey MailTls{"Mail TLS", K::Text};
inline constexpr SettingKey MailTimeout{"Mail timeout", K::Number};
inline constexpr SettingKey DraftsFolder{"Drafts folder", K::Text};

// What a first start fills in where nothing usable is stored (SeedFirstStart),
// in its order, with and without windows alike; each with the step of the
// start with windows that fills it in, whose number a failure there names.
// The save folder's value is the user's own cache folder (SystemTempFolder).
struct FirstStartSeed {
    const SettingKey* key;
    int startStep;
};
inline constexpr FirstStartSeed FirstStart[] = {{&RemoveBlanks, 5}, {&MinusSign, 5}, {&FullName, 6},
                                                {&SavePath, 6},     {&Email, 7},     {&AutoConnect, 8}};
}  // namespace Setting
