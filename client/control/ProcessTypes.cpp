#include "ProcessTypes.h"

#include <vector>

namespace ProcessTypes {
namespace {
struct Row {
    const char* name;
    View view;
};

View formatChecks(unsigned frames = 0) {
    View v;
    v.frames = frames;
    v.minusSign = v.blankLines = true;
    v.overprinting = View::Yes;
    return v;
}

View email(bool notes) {
    View v = formatChecks(FrameEmail);
    v.email = true;
    v.notesTabs = notes;
    return v;
}

View macro(const char* caption, unsigned extraFrames, int parseButtons) {
    View v = formatChecks(FrameMacro | extraFrames);
    v.macroCaption = QString::fromLatin1(caption);
    v.macro = true;
    v.parseButtons = parseButtons;
    return v;
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table = [] {
        View text = formatChecks(FrameText);
        text.overprinting = View::UnlessPrintControl;
        View pdf = formatChecks(FramePdf);
        pdf.blankLines = false;
        View printer = formatChecks(FramePrinter);
        printer.minusSign = false;
        View lotus123 = formatChecks(FrameParse);
        // Wizard parsing is Excel's own.
        lotus123.parseButtons = 2;
        return std::vector<Row>{
            {"View a few pages", formatChecks()},
            {"View entire report", formatChecks()},
            {"PC printer", printer},
            {"Text file", text},
            {"HTML document", formatChecks(FrameHtml)},
            {"XML document", formatChecks()},
            {"PDF document", pdf},
            {"Netscape e-mail", email(false)},
            {"Outlook Express e-mail", email(false)},
            {"Outlook e-mail", email(false)},
            {"Lotus Notes", email(true)},
            {"Microsoft Excel", macro("Excel Options", FrameParse, 3)},
            {"Lotus 123", lotus123},
            {"Microsoft Word", macro("Word Options", 0, 0)},
            {"Microsoft Word 6/95", macro("Word Options", 0, 0)},
            {"Lotus WordPro", formatChecks()},
        };
    }();
    return table;
}
}  // namespace

QStringList all() {
    QStringList names;
    for (const Row& r : rows()) names << QString::fromLatin1(r.name);
    return names;
}

QStringList alwaysOffered() { return all().mid(0, 7); }

bool viewOf(const QString& processType, View& view) {
    for (const Row& r : rows()) {
        if (processType == QLatin1String(r.name)) {
            view = r.view;
            return true;
        }
    }
    return false;
}
}  // namespace ProcessTypes
