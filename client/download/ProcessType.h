#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// The destinations of a download, one row each: the one place where a
// destination's text is known. Every other part of the program (the screen,
// the driver, the settings files, target discovery, the batch run) asks this
// table and compares no destination text of its own.
enum class Destination {
    ViewFewPages,
    ViewEntireReport,
    PcPrinter,
    TextFile,
    HtmlDocument,
    XmlDocument,
    PdfDocument,
    NetscapeMail,
    OutlookExpressMail,
    OutlookMail,
    LotusNotes,
    MicrosoftExcel,
    Lotus123,
    MicrosoftWord,
    MicrosoftWord695,
    LotusWordPro,
};

// The save-as dialog a destination asks its file name with.
enum class SaveDialogKind { None, Text, Html, Xml, Pdf };

struct ProcessType {
    Destination id;
    QString text;          // shown in "Download to:" and written to settings files
    QString processCode;   // the layout ProcTxt gives it ("Text", "ProcExcel", ...); empty: none of its own
    SaveDialogKind dialog; // the dialog that names its file (None: it names its own)
    bool workFolder;       // it writes its files into the work folder
    QString procedure;     // its procedure (the mail types: the attachment's)
    bool viewer;           // shows the report in a window, and leaves its rows selected
    bool unattended;       // can run where nobody sits at the screen
    bool mail;             // one of the four e-mail destinations
};

// The sixteen rows in the screen's order.
const std::vector<ProcessType>& ProcessTypeTable();
// The row of a destination text, compared exactly (case and blanks count); null for any other text.
const ProcessType* FindProcessType(const QString& text);
const ProcessType& ProcessTypeOf(Destination id);
// Whether `text` names this destination.
bool IsProcessType(const QString& text, Destination id);
