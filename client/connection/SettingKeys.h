#pragma once
#include <QString>

// The program's remembered values (section "Settings"), one entry each: the
// name it is stored under, exactly as earlier runs, the installer's move of an
// older version's values and users' own copies have it; its kind; and the
// value the first start fills in when nothing usable is stored. Reads and
// writes name an entry (Services::getSetting, saveSetting); a value never
// stored reads "None" (SettingValues.h says how that is judged).
//
// Settings files (*.spw) are another format with names of their own
// ("Remove blanks" for RemoveBlanks): RunSettings.cpp's table of keys names,
// beside a file key, the entry here that holds the same value.
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
inline constexpr SettingKey WaitTime{"Wait time", K::Number};
inline constexpr SettingKey AutoConnect{"Auto connect", K::Truth, "True"};
// Whether the others are remembered at all ("Remember Settings").
inline constexpr SettingKey Defaults{"Defaults", K::Truth};

// What the main window lists.
inline constexpr SettingKey Outq{"Outq", K::Text};
inline constexpr SettingKey Library{"Library", K::Text};
inline constexpr SettingKey Wrksplf{"Wrksplf", K::Text};

// The downloads. The save folder's first value is the system's temporary
// folder, known only at run time (SystemTempFolder).
inline constexpr SettingKey SavePath{"Save Path", K::Text};
inline constexpr SettingKey FullName{"FullName", K::Number, "1"};
inline constexpr SettingKey RemoveBlanks{"RemoveBlanks", K::Number, "0"};
inline constexpr SettingKey MinusSign{"MinusSign", K::Number, "1"};
// Written "True"/"False" by the screen; the first start writes "0".
inline constexpr SettingKey Email{"Email", K::Truth, "0"};
inline constexpr SettingKey AddReplace{"Add replace", K::Truth};
inline constexpr SettingKey HtmlFont{"Html font", K::Number, "9"};
// The last file each save dialog named.
inline constexpr SettingKey TextFile{"Text file", K::Text};
inline constexpr SettingKey HtmlFile{"Html file", K::Text};
inline constexpr SettingKey XmlFile{"xml file", K::Text};
inline constexpr SettingKey PdfFile{"PDF file", K::Text};

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
}  // namespace Setting
