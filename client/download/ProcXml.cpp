#include "ProcXml.h"

#include <algorithm>
#include <optional>

#include "RunContext.h"
#include "DocumentDownload.h"
#include "PageModel.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "SpoolDownload.h"

namespace {
inline void appendXmlChar(std::string& out, char ch, bool escapeAngles) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '&') out += "&amp;";
    else if (escapeAngles && c == '<') out += "&lt;";
    else if (escapeAngles && c == '>') out += "&gt;";
    else out += IsShownByte(c) ? ch : ' ';
}

// A record's text in an element: "<" and ">" of the host become "{" and "}",
// as stored files have them. Runs of characters that stay as they are go in
// whole: this runs for every character of the report.
void appendRecordText(std::string& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != '&' && c != '<' && c != '>' && IsShownByte(c)) continue;
        out.append(text.data() + start, i - start);
        if (c == '&') out += "&amp;";
        else out += c == '<' ? '{' : c == '>' ? '}' : ' ';
        start = i + 1;
    }
    out.append(text.data() + start, text.size() - start);
}

std::string digits(long long v, int width) {
    std::string s = std::to_string(v);
    return s.size() < size_t(width) ? std::string(width - s.size(), '0') + s : s;
}

std::string element(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + XmlText(Trim(value), true) + "</" + name + ">";
}

class XmlSink : public LineDocumentSink, private PageCanvas {
public:
    XmlSink(RunContext& ctx, const SpoolFileRow& row, bool removeBlank, QString fileName)
        : ctx_(ctx), row_(row), fileName_(std::move(fileName)), format_(removeBlank ? 7 : 3),
          pages_(PageModelOptions{.layout = !removeBlank}) {}

    void accepted(const std::string& widthCode) override {
        width_ = RecordWidth(widthCode);
        file_.open(ctx_, fileName_, false, nameWasFree);
        const QDateTime now = ctx_.services.now();
        const QDate d = now.date();
        const QTime t = now.time();
        const std::string downloaded = digits(d.year(), 4) + "/" + digits(d.month(), 2) + "/" + digits(d.day(), 2) +
                                       " " + digits(t.hour(), 2) + ":" + digits(t.minute(), 2) + ":" +
                                       digits(t.second(), 2);
        // The encoding is named so that parsers read the bytes above 127.
        file_.writeLine("<?xml version=\"1.0\" encoding=\"windows-1252\"?>");
        file_.writeLine("<Report>");
        file_.writeLine("<Attributes>");
        file_.writeLine(element("SpoolFile", row_.columns(1, 10)));
        file_.writeLine(element("JobName", row_.jobName()));
        file_.writeLine(element("User", row_.columns(12, 21)));
        file_.writeLine(element("JobNumber", row_.columns(68, 73)));
        file_.writeLine(element("Sequence", row_.spooledFileNumber()));
        file_.writeLine(element("UserData", row_.columns(93, 102)));
        file_.writeLine(element("DateCreated", row_.columns(48, 66)));
        file_.writeLine(element("DateDownloaded", downloaded));
        file_.writeLine(element("PageCount", row_.columns(33, 37)));
        file_.writeLine(element("Forms", row_.columns(38, 47)));
        file_.writeLine("</Attributes>");
        file_.writeLine("<Pages>");
    }

    void record(const SpoolRecordSlot& slot) override {
        // "<" and ">" of the host become "{" and "}", as stored files have them.
        skip_.assign(slot.skip);
        spacing_.assign(slot.spacing);
        for (std::string* s : {&skip_, &spacing_})
            for (char& c : *s) c = c == '<' ? '{' : c == '>' ? '}' : c;
        // A page opens with the skip and spacing of its first record, as they arrived.
        if (page_ == 0) openPage();
        const std::optional<int> skip = slot.skipLine();
        const std::optional<int> spacing = slot.spacingLines();
        if (skip)
            skipAttr_ = width_ == 132 ? digits(*skip, 3) : skip_;
        else
            skipAttr_.assign("000");
        spaceAttr_.assign(spacing ? std::string_view(spacing_) : std::string_view("1"));
        pages_.record(skip, spacing, RightTrimmed(slot.text), *this);
    }

private:
    void writeEnd() override {
        if (page_ > 0) closePage();
        file_.writeLine("</Pages>");
        file_.writeLine("</Report>");
    }
    void openPage() {
        ++page_;
        file_.writeLine("<Page" + digits(page_, 6) + " skip=\"" + XmlText(skip_, true) + "\" space=\"" +
                        XmlText(spacing_, true) + "\">");
    }
    void closePage() { file_.writeLine("</Page" + digits(page_, 6) + ">"); }

    void pageBreak(int) override {
        closePage();
        openPage();
        next_ = 1;
    }
    void emptyLines(int count) override {
        for (int i = 0; i < count; ++i, ++next_) {
            const std::string number = digits(next_, format_);
            file_.writeLine("<Line" + number + "></Line" + number + ">");
        }
    }
    void line(std::string_view text, int, int at) override {
        next_ = at + 1;
        // The number without a string of its own: this runs for every record.
        char digitsOf[16];
        int n = 0;
        for (int v = at; v > 0 || n < format_; v /= 10) digitsOf[n++] = char('0' + v % 10);
        std::reverse(digitsOf, digitsOf + n);
        const std::string_view number(digitsOf, size_t(n));
        // One line built in place: this runs for every record.
        line_.clear();
        line_ += "<Line";
        line_ += number;
        line_ += " skip=\"";
        AppendXmlText(line_, skipAttr_, true);
        line_ += width_ == 132 ? "\" space=\"" : "\" Space=\"";
        AppendXmlText(line_, spaceAttr_, true);
        line_ += "\">";
        appendRecordText(line_, text);
        line_ += "</Line";
        line_ += number;
        line_ += '>';
        file_.writeLine(line_);
    }

    RunContext& ctx_;
    SpoolFileRow row_;
    QString fileName_;
    int format_;
    PageModel pages_;
    int width_ = 0;
    std::string skip_, spacing_, skipAttr_, spaceAttr_;
    std::string line_;
    int page_ = 0;
    int next_ = 1;
};
}  // namespace

std::string XmlText(std::string_view text, bool escapeAngles) {
    std::string out;
    out.reserve(text.size() + 16);
    AppendXmlText(out, text, escapeAngles);
    return out;
}

void AppendXmlText(std::string& out, std::string_view text, bool escapeAngles) {
    for (char ch : text) appendXmlChar(out, ch, escapeAngles);
}

ReportResult ProcXml(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const SpoolFileRow& row) {
    XmlSink sink(ctx, row, options.removeBlankLines, fileName);
    return RunDocumentDownload(ctx, options, progress, QStringLiteral("ProcXml"), fileName, row, sink);
}
