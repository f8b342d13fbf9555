#pragma once
#include <QString>
#include <QStringList>

// The destinations of the spooled-file screen and what each makes available.
namespace ProcessTypes {
// The prompt that the list shows before a destination is chosen.
inline const QString kPrompt = QStringLiteral("Please select a destination...");

// The sixteen destinations, in the order of the screen's table.
QStringList all();
// The destinations that are offered on every PC (the others when their program is found).
QStringList alwaysOffered();

enum Frame : unsigned {
    FrameText = 1u << 0,
    FrameHtml = 1u << 1,
    FramePdf = 1u << 2,
    FramePrinter = 1u << 3,
    FrameEmail = 1u << 4,
    FrameMacro = 1u << 5,
    FrameParse = 1u << 6,
};

// What a destination shows and enables; the format checks are chkORMinusSign,
// chkOverprinting and chkBlankLines.
struct View {
    unsigned frames = 0;
    QString macroCaption;       // caption of the macro frame when it shows
    bool minusSign = false;
    bool blankLines = false;
    enum Overprint { No, Yes, UnlessPrintControl } overprinting = No;
    bool macro = false;         // chkMacro
    int parseButtons = 0;       // optParse(0) .. (n-1) enabled, the rest disabled
    bool email = false;         // the e-mail controls follow optEmail and chkAutoSend
    bool notesTabs = false;     // txtTabs, its label and txtTabs2 shown
};
// The view of a destination text (compared exactly); false for any other text.
bool viewOf(const QString& processType, View& view);
}  // namespace ProcessTypes
