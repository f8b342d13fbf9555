#include "ProcHtml.h"

#include <QFile>
#include <optional>

#include "RunContext.h"
#include "Codec.h"
#include "DocumentDownload.h"
#include "PageModel.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "SpoolDownload.h"

namespace {

std::vector<std::string> header(const std::string& fontSize) {
    const std::string size = "    font-size:" + fontSize + ".0pt;";
    return {"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"",
            "xmlns: w = \"urn:schemas-microsoft-com:office:word\"",
            "xmlns=\"http://www.w3.org/TR/REC-html40\">",
            "<head>",
            "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">",
            "<meta name=ProgId content=Word.Document>",
            "<meta name=Generator content=\"Microsoft Word 10\">",
            "<meta name=Originator content=\"Microsoft Word 10\">",
            "<style>",
            "<!--",
            " /* Style Definitions */",
            "pre",
            "    {margin:0in;",
            "margin-bottom:.0001pt;",
            size,
            "    font-family:\"Courier New\", monospace;",
            "    mso-fareast-font-family:\"Courier New\";}",
            "-->",
            "</style>",
            "<!--[if gte mso 10]>",
            "<style>",
            " /* Style Definitions */",
            " Table.MsoNormalTable",
            "    {mso-style-name:\"Table Normal\";",
            "    mso-tstyle-rowband-size:0;",
            "    mso-tstyle-colband-size:0;",
            "    mso-style-noshow:yes;",
            "    mso-style-parent:\"\";",
            "    mso-padding-alt:0in 5.4pt 0in 5.4pt;",
            "    mso-para-margin:0in;",
            "    mso-para-margin-bottom:.0001pt;",
            "    mso-pagination:widow-orphan;",
            size,
            "    font-family:\"Courier New\", monospace;}",
            "</style>",
            "<![endif]-->",
            "</head>",
            "<body lang=EN-US style='tab-interval:.5in'>",
            "<div class=Section1>"};
}

// Blanks out the first occurrence of tag (any letter case) in line.
void blankOut(std::string& line, std::string_view tag) {
    for (size_t i = 0; i + tag.size() <= line.size(); ++i) {
        bool same = true;
        for (size_t k = 0; k < tag.size() && same; ++k)
            same = std::tolower(static_cast<unsigned char>(line[i + k])) == tag[k];
        if (same) {
            line.replace(i, tag.size(), std::string(tag.size(), ' '));
            return;
        }
    }
}

class HtmlSink : public LineDocumentSink, private PageCanvas {
public:
    HtmlSink(RunContext& ctx, bool add, std::string fontSize, bool layout, QString fileName)
        : ctx_(ctx), add_(add), fontSize_(std::move(fontSize)), fileName_(std::move(fileName)),
          pages_(PageModelOptions{.layout = layout}) {}

    // Add mode too writes a new document beside the old one: the earlier
    // part is copied with its end tags blanked, so a failure leaves it whole.
    void accepted(const std::string&) override {
        // An addition goes to whatever the name holds by then; a new document never replaces another run's.
        file_.open(ctx_, fileName_, false, nameWasFree && !add_);
        bool earlier = false;
        if (add_) earlier = copyEarlier();
        if (!earlier) {
            for (const std::string& l : header(fontSize_)) file_.writeLine(l);
        } else {
            file_.writeLine("<P>" + std::string(48, '.') + "</P>");
            // The earlier part closed its section; this one opens its own.
            file_.writeLine("<div class=Section1>");
        }
    }
    void record(const SpoolRecordSlot& slot) override { pages_.record(slot, *this); }

private:
    void pageBreak(int) override {
        file_.writeLine("<Pre> </Pre>");
        file_.writeLine("<Pre>" + std::string(46, '_') + " </Pre>");
        file_.writeLine("<Pre> </Pre>");
    }
    void emptyLines(int count) override {
        for (int i = 0; i < count; ++i) file_.writeLine("<Pre> </Pre>");
    }
    void line(std::string_view text, int, int) override { file_.writeLine("<Pre>" + HtmlText(text) + "</Pre>"); }

    void writeEnd() override {
        for (const char* l : {"</div>", "</body>", "</html>"}) file_.writeLine(l);
    }
    // The earlier document with its "</body>" and "</html>" blanked out;
    // false when there is none or it is empty.
    bool copyEarlier() {
        QFile old(file_.writtenFile());
        if (!old.exists() || old.size() == 0) return false;
        if (!old.open(QIODevice::ReadOnly)) throw PcFileError{75, QStringLiteral("Path/File access error")};
        while (!old.atEnd()) {
            QByteArray raw = old.readLine();
            if (raw.isEmpty() && old.error() != QFileDevice::NoError)
                throw PcFileError{57, QStringLiteral("Device I/O error")};
            std::string line = raw.toStdString();
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            blankOut(line, "</body>");
            blankOut(line, "</html>");
            file_.writeLine(line);
        }
        return true;
    }

    RunContext& ctx_;
    bool add_;
    std::string fontSize_;
    QString fileName_;
    PageModel pages_;
};
}  // namespace

std::string HtmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += IsShownByte(c) ? ch : ' ';
    }
    return out;
}

ReportResult ProcHtml(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const SpoolFileRow& row) {
    HtmlSink sink(ctx, options.htmlAddToFile, Codec::fromUnicode(options.htmlFontSize.trimmed()),
                  !options.removeBlankLines, fileName);
    return RunDocumentDownload(ctx, options, progress, QStringLiteral("ProcHtml"), fileName, row, sink);
}
