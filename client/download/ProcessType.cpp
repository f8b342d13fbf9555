#include "ProcessType.h"

namespace {
using D = Destination;
using K = SaveDialogKind;

ProcessType row(D id, const char* text, const char* code, K dialog, bool workFolder, const char* procedure,
                bool viewer = false, bool mail = false) {
    return ProcessType{id,         QString::fromLatin1(text), QString::fromLatin1(code), dialog, workFolder,
                       QString::fromLatin1(procedure), viewer, !viewer, mail};
}
}  // namespace

const std::vector<ProcessType>& ProcessTypeTable() {
    static const std::vector<ProcessType> table = {
        row(D::ViewFewPages, "View a few pages", "", K::None, false, "TransferSpoolFileToViewer", true),
        row(D::ViewEntireReport, "View entire report", "ProcFullView", K::None, true, "ProcFullView", true),
        row(D::PcPrinter, "PC printer", "", K::None, false, "PrintSpoolFileToPrinter"),
        row(D::TextFile, "Text file", "Text", K::Text, false, "ProcTxt"),
        row(D::HtmlDocument, "HTML document", "", K::Html, false, "ProcHtml"),
        row(D::XmlDocument, "XML document", "", K::Xml, false, "ProcXml"),
        row(D::PdfDocument, "PDF document", "", K::Pdf, false, "ProcPDF"),
        row(D::NetscapeMail, "Netscape e-mail", "", K::None, true, "EmailAttachNetscape", false, true),
        row(D::OutlookExpressMail, "Outlook Express e-mail", "ProcAttachIEAMS", K::None, true,
            "EmailAttachOutlookExpress", false, true),
        row(D::OutlookMail, "Outlook e-mail", "ProcAttachOAMS", K::None, true, "EmailAttachOutlook", false, true),
        row(D::LotusNotes, "Lotus Notes", "ProcAttachNotesAMS", K::None, true, "EmailAttachNotes", false, true),
        row(D::MicrosoftExcel, "Microsoft Excel", "ProcExcel", K::None, true, "ProcExcel"),
        row(D::Lotus123, "Lotus 123", "ProcLotus123", K::None, true, "ProcLotus123"),
        row(D::MicrosoftWord, "Microsoft Word", "ProcWord_8", K::None, true, "ProcWord_8"),
        row(D::MicrosoftWord695, "Microsoft Word 6/95", "ProcWord_6", K::None, true, "ProcWord_6"),
        row(D::LotusWordPro, "Lotus WordPro", "ProcWordPro", K::None, true, "ProcWordPro"),
    };
    return table;
}

const ProcessType* FindProcessType(const QString& text) {
    for (const ProcessType& t : ProcessTypeTable())
        if (t.text == text) return &t;
    return nullptr;
}

const ProcessType& ProcessTypeOf(Destination id) {
    for (const ProcessType& t : ProcessTypeTable())
        if (t.id == id) return t;
    return ProcessTypeTable().front();  // every id has its row
}

bool IsProcessType(const QString& text, Destination id) { return ProcessTypeOf(id).text == text; }
