#include "VB2PDF.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "Codec.h"

namespace {
// Decimal without the locale: no group separators, no other digits.
std::string num(std::int64_t v) {
    char b[24];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

// Points to a tenth, without the locale: "10", "6.2".
std::string points(double v) {
    const auto tenths = std::int64_t(std::floor(v * 10 + 1e-6));
    return num(tenths / 10) + (tenths % 10 ? "." + num(tenths % 10) : std::string());
}

std::string digits(int v, int width) {
    std::string s = num(v);
    return std::string(s.size() < size_t(width) ? width - s.size() : 0, '0') + s;
}

struct Paper {
    qint32 width, height;
};
Paper paperOf(qint32 code) {
    switch (code) {
    case 1: return {842, 1190};
    case 3: return {421, 595};
    case 4: return {792, 1224};
    case 5: return {1224, 792};
    case 6: return {612, 1008};
    case 7: return {396, 612};
    case 8: return {540, 720};
    case 9: return {612, 792};
    default: return {595, 842};
    }
}

const char* const kBaseFonts[] = {"/Courier", "/Courier-Oblique", "/Courier-Bold", "/Courier-BoldOblique"};

std::string crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines) {
        if (!out.empty()) out += "\r\n";
        out += l;
    }
    return out;
}

// A text of the properties in the file's code page, escaped like page text.
std::string pdfString(const QString& text) { return "(" + EscapePdfText(Codec::fromUnicode(text)) + ")"; }
}  // namespace

namespace {
// Whether any of eight bytes is "(", ")" or "\\" (exact: the borrows of the
// subtraction reach only bytes above one that matched).
bool mayHoldPdfEscape(const char* p) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = ones * 0x80;
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    const std::uint64_t paren = x ^ (ones * '(');    // "(" and ")" become 0 and 1
    const std::uint64_t slash = x ^ (ones * '\\');  // "\\" becomes 0
    return (((paren - ones * 2) & ~paren) | ((slash - ones) & ~slash)) & highs;
}

#if defined(__SSE2__)
// The same for sixteen bytes at once.
bool mayHoldPdfEscape16(const char* p) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i paren = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('(')), _mm_cmpeq_epi8(x, _mm_set1_epi8(')')));
    return _mm_movemask_epi8(_mm_or_si128(paren, _mm_cmpeq_epi8(x, _mm_set1_epi8('\\')))) != 0;
}
#endif
}  // namespace

void AppendPdfText(std::string& out, std::string_view text) {
    // Runs without a character to escape go over whole.
    size_t from = 0;
    size_t i = 0;
    while (i < text.size()) {
#if defined(__SSE2__)
        if (i + 16 <= text.size() && !mayHoldPdfEscape16(text.data() + i)) {
            i += 16;
            continue;
        }
#endif
        if (i + 8 <= text.size() && !mayHoldPdfEscape(text.data() + i)) {
            i += 8;
            continue;
        }
        // The last bytes, looked at together with some before them.
        if (i + 8 > text.size() && text.size() >= 8 && !mayHoldPdfEscape(text.data() + text.size() - 8)) break;
        const char c = text[i];
        if (c == '(' || c == ')' || c == '\\') {
            out.append(text.data() + from, i - from);
            out += '\\';
            from = i;
        }
        ++i;
    }
    out.append(text.data() + from, text.size() - from);
}

std::string EscapePdfText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    AppendPdfText(out, text);
    return out;
}

VB2PDF::~VB2PDF() { abandon(); }

int VB2PDF::baseFont() const { return FontType >= 1 && FontType <= 4 ? FontType : 1; }

std::int64_t VB2PDF::WriteLine(std::string_view text) {
    if (!file_.isOpen()) throw PcFileError{52, QStringLiteral("Bad file name or number")};
    const std::int64_t at = written_;
    file_.writeLine(text);
    written_ += std::int64_t(text.size()) + 2;
    return at;
}

void VB2PDF::WriteObject(const std::string& body) {
    const std::int64_t at = WriteLine(num(objectNumber_) + " 0 obj\r\n<<\r\n" + body + "\r\n>>\r\nendobj");
    if (objectOffsets_.size() < size_t(objectNumber_)) objectOffsets_.resize(size_t(objectNumber_), -1);
    objectOffsets_[size_t(objectNumber_) - 1] = at;
}

void VB2PDF::StartPDF() {
    const Paper p = paperOf(PaperSize);
    pageWidth_ = LandScape ? p.height : p.width;
    pageHeight_ = LandScape ? p.width : p.height;
    if (FitColumns > 0) {
        // Courier advances 600/1000 of the font size per character.
        const auto needed = qint32(std::ceil(FitColumns * 0.6 * FontSize)) + 2 * LeftMargin;
        if (needed > pageWidth_) pageWidth_ = needed;
    }
    shrunkFont_ = 0;
    if (ShrinkToColumns > 0) {
        const double fits = (pageWidth_ - 2.0 * LeftMargin) / (0.6 * ShrinkToColumns);
        if (fits < FontSize) shrunkFont_ = std::max(std::floor(fits * 10 + 1e-6) / 10, 0.1);
    }
    abandon();
    file_.open(FileName, Output);
    objectOffsets_.clear();
    pageObjects_.clear();
    // The header goes around WriteLine: no object starts here.
    static constexpr std::string_view kHeader = "%PDF-1.2\r\n%\xE2\xE3\xCF\xD3\r\n";
    file_.write(kHeader);
    written_ = std::int64_t(kHeader.size());

    const QDateTime now = Now();
    const QDate d = now.date();
    const QTime t = now.time();
    const std::string stamp = digits(d.year(), 4) + digits(d.month(), 2) + digits(d.day(), 2) + digits(t.hour(), 2) +
                              digits(t.minute(), 2) + digits(t.second(), 2);
    std::string info = "/CreationDate (D:" + stamp + ")\r\n/Creator " + pdfString(Creator) +
                       "\r\n/Producer (iSeries Spoolwright)";
    if (!Title.isEmpty()) info += "\r\n/Title " + pdfString(Title);
    if (!Subject.isEmpty()) info += "\r\n/Subject " + pdfString(Subject);
    if (!Author.isEmpty()) info += "\r\n/Author " + pdfString(Author);
    objectNumber_ = 1;
    WriteObject(info);
    for (int f = 1; f <= 4; ++f) {
        objectNumber_ = 3 + f;
        WriteObject(crlf({"/Type /Font", "/Subtype /Type1", "/Name /F" + num(f), "/Encoding 8 0 R",
                          std::string("/BaseFont ") + kBaseFonts[f - 1]}));
    }
    objectNumber_ = 8;
    WriteObject("/Type /Encoding\r\n/BaseEncoding /WinAnsiEncoding");
    objectNumber_ = 9;
    WriteObject("  /Font << /F1 4 0 R /F2 5 0 R /F3 6 0 R /F4 7 0 R >>\r\n  /ProcSet [ /PDF /Text ]");
    NewPage();
}

void VB2PDF::NewPage() {
    if (!pageObjects_.empty()) EndPage();
    const qint32 page = ++objectNumber_;
    WriteObject(crlf({"/Type /Page", "/Parent 3 0 R", "/Resources 9 0 R", "/Contents " + num(page + 1) + " 0 R"}));
    pageObjects_.push_back(page);
    const qint32 stream = ++objectNumber_;
    const std::string head = num(stream) + " 0 obj\r\n<<\r\n/Length " + num(page + 2) + " 0 R\r\n>>\r\nstream\r\n";
    const std::int64_t at = WriteLine(head + "BT");
    objectOffsets_.resize(size_t(stream), -1);
    objectOffsets_[size_t(stream) - 1] = at;
    streamStart_ = at + std::int64_t(head.size());

    setLeading(Spacing.fitLines);
    lineY_ = pageHeight_ - TopMargin;
    linesOnPage_ = 0;
    WriteLine("/F" + num(baseFont()) + " " + points(fontPoints()) + " Tf\r\n1 0 0 1 " + num(LeftMargin) + " " +
              num(pageHeight_ - TopMargin) + " Tm\r\n" + points(leading_) + " TL");
}

void VB2PDF::setLeading(int fitLines) {
    int leading;
    if (Spacing.bestFit) {
        VertSpace = FontSize;
        leading = FontSize;
        // A whole host page on one page: a tighter leading when it would not fit.
        if (fitLines > 0) {
            const int room = (pageHeight_ - 2 * TopMargin) / fitLines;
            if (room < leading) leading = room;
        }
    } else if (!Spacing.vertical) {
        VertSpace = FontSize;
        leading = pageHeight_ > pageWidth_ ? FontSize : FontSize - 1;
    } else {
        VertSpace = *Spacing.vertical;
        leading = VertSpace;
    }
    // A spacing taller than the room between the margins would put even the
    // first line of a page below it.
    const int room = pageHeight_ - 2 * TopMargin;
    if (leading > room) leading = room;
    if (leading < 1) leading = 1;
    // A smaller font takes its leading down with it.
    leading_ = shrunkFont_ > 0 ? std::floor(leading * shrunkFont_ / FontSize * 10 + 1e-6) / 10 : leading;
    if (leading_ < 0.1) leading_ = 0.1;
}

void VB2PDF::FitPageLines(int lines) {
    if (!Spacing.bestFit || linesOnPage_ > 0 || lines <= Spacing.fitLines) return;
    const double before = leading_;
    setLeading(lines);
    if (leading_ != before) WriteLine(points(leading_) + " TL");
}

void VB2PDF::WritePDF(std::string_view text, bool newRow, int newFont) {
    // Nothing is drawn below the bottom margin (as wide as the top one).
    if (newRow && linesOnPage_ > 0 && lineY_ - leading_ < TopMargin) NewPage();
    const bool switchFont = newFont >= 1 && newFont <= 4 && newFont != baseFont();
    // Its room is kept from line to line.
    std::string& line = line_;
    line.clear();
    if (switchFont) line += "/F" + num(newFont) + " " + points(fontPoints()) + " Tf\r\n";
    if (newRow) {
        line += "T* ";
        lineY_ -= leading_;
        ++linesOnPage_;
    }
    line += '(';
    AppendPdfText(line, text);
    line += ") Tj";
    if (switchFont) line += "\r\n/F" + num(baseFont()) + " " + points(fontPoints()) + " Tf";
    WriteLine(line);
}

void VB2PDF::EndPage() {
    const std::int64_t et = WriteLine("ET\r\nendstream\r\nendobj");
    const qint32 length = ++objectNumber_;
    const std::int64_t at = WriteLine(num(length) + " 0 obj\r\n" + num(et + 2 - streamStart_) + "\r\nendobj");
    objectOffsets_.resize(size_t(length), -1);
    objectOffsets_[size_t(length) - 1] = at;
}

void VB2PDF::EndPDF() {
    finish();
    // The last bytes go first: a disk that fills up with them throws here, and
    // the caller drops the document (a failing commit would keep its part).
    file_.flush();
    file_.commit();
}

void VB2PDF::EndPartialPDF() {
    finish();
    // A document whose end did not reach the disk is not kept (a throw here
    // leaves the caller to drop it).
    file_.flush();
    file_.abandon();
}

void VB2PDF::finish() {
    EndPage();
    objectOffsets_[1] = WriteLine("2 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n/PageLayout /OneColumn\r\n>>\r\nendobj");
    std::string kids = "/Kids [ ";
    for (qint32 p : pageObjects_) kids += num(p) + " 0 R ";
    kids += "]";
    objectOffsets_[2] = WriteLine("3 0 obj\r\n<<\r\n/Type /Pages\r\n/Count " + num(qint64(pageObjects_.size())) +
                                  "\r\n/MediaBox [ 0 0 " + num(pageWidth_) + " " + num(pageHeight_) + " ]\r\n" + kids +
                                  "\r\n>>\r\nendobj");
    const qint32 size = ++objectNumber_;
    // One line per entry: the same bytes as one block, without holding it.
    const std::int64_t xrefAt = WriteLine("xref\r\n0 " + num(size) + "\r\n0000000000 65535 f");
    for (qint32 n = 1; n < size; ++n) {
        const std::string at = num(objectOffsets_[size_t(n) - 1]);
        WriteLine(std::string(at.size() < 10 ? 10 - at.size() : 0, '0') + at + " 00000 n");
    }
    WriteLine("trailer\r\n<<\r\n/Size " + num(size) + "\r\n/Root 2 0 R\r\n/Info 1 0 R\r\n>>\r\nstartxref\r\n" +
              num(xrefAt) + "\r\n%%EOF");
}
