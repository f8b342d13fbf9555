#pragma once
#include <QString>
#include <array>
#include <functional>
#include <optional>

// The options that govern a download: the values of the spooled-file
// screen's option controls and of the option dialogs. The screen fills one
// from its controls (the settings file and the batch run set the same values);
// the driver hands it to the destination's procedure, which reads nothing else.
struct DownloadOptions {
    // --- destination ---
    QString processType;   // cboProcessType
    QString translation = QStringLiteral("<Default>");  // cboTranslation

    // --- page range ---
    QString fromPage = QStringLiteral("*Start");  // txtFrom
    QString toPage = QStringLiteral("*End");      // txtTo

    // --- format options ---
    bool removeBlankLines = false;      // chkBlankLines
    bool suppressOverprinting = true;   // chkOverprinting
    bool convertMinusSign = true;       // chkORMinusSign
    // The minus-sign option applies to the chosen destination (the check box
    // is enabled); only then does the request carry it.
    bool minusSignApplicable = false;

    // --- text options ---
    bool printControl = false;  // chkPrtCtl
    bool fcfc = false;          // optPrtCtlFormat(1) "*FCFC format" rather than (0) "*PRTCTL format"
    QString pageLength = QStringLiteral("66");  // cboPageLength: "66", "88", "Variable"
    // optAddReplace(2) "Replace file" / (3) "Add to file"; neither chosen
    // replaces: a file grows only when the user asked for that.
    enum class AddReplace { None, Replace, Add } textFile = AddReplace::None;

    // --- HTML options ---
    bool htmlAddToFile = false;  // optAddReplace(1) "&Add to file" rather than (0) "&Replace file"
    QString htmlFontSize;        // cboFontSizeHTML

    // --- PDF options ---
    bool pdfLandscape = false;  // optPageOrientation(1)
    QString pdfFontSize;        // cboFontSize
    QString pdfPaperSize;       // cboPaperSize
    QString pdfVertSize;        // cboVertSize: "Auto" or points

    // --- e-mail options ---
    int email = -1;          // optEmail: 0 "Send as message", 1 "Send as attachment", -1 none
    bool emailAsPdf = false;  // optTextOrPDF(1) "PDF" rather than (0) "Text"
    bool autoSend = false;          // chkAutoSend
    bool attachMultiples = false;   // chkAttachMultiples
    QString tabs = QStringLiteral("1");   // txtTabs
    QString tabs2 = QStringLiteral("1");  // txtTabs2

    // --- macro and parsing options ---
    bool runMacro = false;    // chkMacro
    bool runSilent = false;   // chkRunSilent
    bool autoformat = false;  // chkAutoformat
    int parse = 0;            // optParse: 0 none, 1 default, 2 wizard
    QString link;             // txtLink (the Word 6/95 delivery)

    // --- the naming options dialog (kept as remembered settings) ---
    struct Naming {
        bool fullName = false;  // "FullName" "1": names from the report's attributes
        // The attribute placed first: "Use file name", "Use job name", ...
        bool useFileName = false, useJobName = false, useJobNumber = false, useUserName = false,
             useDateAndTime = false, useUserData = false;
        QString savePath;  // "Save Path"; empty when not set
    } naming;

    // --- the printer format dialog (kept as remembered settings) ---
    struct PrinterFormat {
        // Font sizes of 80, 132 and 198 column reports: "Auto" or points.
        std::array<QString, 3> fontSize{QStringLiteral("Auto"), QStringLiteral("Auto"), QStringLiteral("Auto")};
        // Landscape for 80, 132 and 198 column reports.
        std::array<bool, 3> landscape{false, true, true};
        // Whether an orientation was stored; without one a report prints in
        // the orientation the printer is set to.
        std::array<bool, 3> orientationSet{false, false, false};
    } printer;

    // "Replace file" is chosen for a text file.
    bool replacesTextFile() const { return textFile != AddReplace::Add; }
    // The request's minus-sign conversion (column 72).
    bool sendsMinusConversion() const { return minusSignApplicable && convertMinusSign; }
    // Overprinted lines are left out (column 73); print control keeps them.
    bool sendsOverprintSuppression() const { return !printControl && suppressOverprinting; }
};

// A remembered truth value: "True"/"False" in any case, or a number (0 is
// false); anything else is none.
std::optional<bool> TruthOf(const QString& text);

// Reads the dialogs' part of the options from the remembered settings
// ("None" when a value is not set), as the naming and printer format
// dialogs keep them.
void ReadDialogOptions(DownloadOptions& options, const std::function<QString(const QString& key)>& setting);

// Where a download's progress and completion texts go (the spooled-file
// screen's status bar in an interactive run).
class DownloadProgress {
public:
    virtual ~DownloadProgress() = default;
    virtual void status(const QString& text) = 0;
    // Where the texts are shown: drawn again at once, as a long step follows
    // (an office program's start), and given the focus back after a delivery.
    virtual void refresh() {}
    virtual void giveFocus() {}
};
