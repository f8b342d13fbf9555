#include "ProcessTypes.h"

#include <vector>

#include "ProcessType.h"

namespace ProcessTypes {
namespace {
struct Row {
    Destination id;
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
        using D = Destination;
        return std::vector<Row>{
            {D::ViewFewPages, formatChecks()},
            {D::ViewEntireReport, formatChecks()},
            {D::PcPrinter, printer},
            {D::TextFile, text},
            {D::HtmlDocument, formatChecks(FrameHtml)},
            {D::XmlDocument, formatChecks()},
            {D::PdfDocument, pdf},
            {D::NetscapeMail, email(false)},
            {D::OutlookExpressMail, email(false)},
            {D::OutlookMail, email(false)},
            {D::LotusNotes, email(true)},
            {D::MicrosoftExcel, macro("Excel Options", FrameParse, 3)},
            {D::Lotus123, lotus123},
            {D::MicrosoftWord, macro("Word Options", 0, 0)},
            {D::MicrosoftWord695, macro("Word Options", 0, 0)},
            {D::LotusWordPro, formatChecks()},
        };
    }();
    return table;
}
}  // namespace

QStringList all() {
    QStringList names;
    for (const ProcessType& t : ProcessTypeTable()) names << t.text;
    return names;
}

QStringList alwaysOffered() { return all().mid(0, 7); }

bool viewOf(const QString& processType, View& view) {
    const ProcessType* type = FindProcessType(processType);
    if (!type) return false;
    for (const Row& r : rows()) {
        if (r.id == type->id) {
            view = r.view;
            return true;
        }
    }
    return false;
}
}  // namespace ProcessTypes
