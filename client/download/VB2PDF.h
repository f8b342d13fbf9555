#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SafeOutputFile.h"

// How NewPage sets the leading: the PDF options of the spooled-file screen.
struct PdfSpacing {
    bool bestFit = false;         // paper size "Best fit"
    std::optional<int> vertical;  // vertical size in points; none: "Auto"
    // Best fit: lines that must fit between the margins of one page (a whole
    // host page); 0 leaves the leading at the font size.
    int fitLines = 0;
};

// Writes plain text lines as a PDF 1.2 document in the four standard Courier
// fonts, one text line per call, streamed: only the position of every object
// is kept, so memory does not grow with the report. Numbers are written
// without the locale; the creation time and the creator text are injected so
// that a document can be compared byte for byte.
//
// The file goes through a SafeOutputFile: an earlier file of the name is
// replaced only by a finished document. Throws PcFileError on a file error.
class VB2PDF {
public:
    VB2PDF() = default;
    ~VB2PDF();
    VB2PDF(const VB2PDF&) = delete;
    VB2PDF& operator=(const VB2PDF&) = delete;

    QString FileName;
    QString Producer;  // kept, never written: the producer text is fixed
    QString Title;
    QString Subject;
    QString Author;
    qint32 PaperSize = 2;
    bool LandScape = false;
    qint32 TopMargin = 20;
    qint32 LeftMargin = 20;
    qint32 FontSize = 10;
    qint32 FontType = 1;
    qint32 VertSpace = 12;

    // Injected in place of the screen, the "User" setting and the clock.
    PdfSpacing Spacing;
    QString Creator = QString(10, QLatin1Char(' '));
    std::function<QDateTime()> Now = [] { return QDateTime::currentDateTime(); };
    // How the file is written (the work folder's files are new and private).
    SafeOutputFile::Options Output;
    // Widens the page so that this many Courier columns fit between the
    // margins at FontSize (0: the paper's own width).
    int FitColumns = 0;
    // Keeps the paper and sets the text in a smaller font (to a tenth of a
    // point, the leading shrinking with it) when this many Courier columns
    // do not fit between its margins at FontSize (0: FontSize always).
    int ShrinkToColumns = 0;
    // The font size the text is set in: FontSize, or smaller for ShrinkToColumns.
    double fontPoints() const { return shrunkFont_ > 0 ? shrunkFont_ : FontSize; }

    void StartPDF();
    // Finishes the document and puts it in place of an earlier file.
    void EndPDF();
    // Finishes the document that arrived so far without replacing an earlier
    // file: it stays under the name only when there was none.
    void EndPartialPDF();
    void NewPage();
    // Best fit: the page just opened takes this many lines between its
    // margins (a host page longer than Spacing.fitLines); before its first line.
    void FitPageLines(int lines);
    // text: Windows-1252 bytes. newFont: 1..4 for this text only; 0 (or any
    // number outside 1..4) keeps the page's base font.
    void WritePDF(std::string_view text, bool newRow, int newFont = 0);

    // Whether StartPDF has opened the file and EndPDF not yet closed it.
    bool isOpen() const { return file_.isOpen(); }
    // Drops an unfinished document (a file error): nothing of it stays, an
    // earlier file keeps its place.
    void abandon() noexcept { file_.discard(); }
    // No file of the name existed when StartPDF opened it.
    bool createdFile() const { return file_.createdTarget(); }
    // The name written (Output.nextFreeName may have passed FileName over).
    const QString& writtenPath() const { return file_.path(); }

    qint32 pageWidth() const { return pageWidth_; }
    qint32 pageHeight() const { return pageHeight_; }
    int pageCount() const { return static_cast<int>(pageObjects_.size()); }

private:
    void EndPage();
    void WriteObject(const std::string& body);
    std::int64_t WriteLine(std::string_view text);
    void finish();
    int baseFont() const;

    qint32 pageWidth_ = 595;
    qint32 pageHeight_ = 842;
    SafeOutputFile file_;
    std::int64_t written_ = 0;  // bytes handed to WriteLine so far
    qint32 objectNumber_ = 0;
    // Position of object n at index n - 1: object numbers are dense.
    std::vector<std::int64_t> objectOffsets_;
    std::vector<qint32> pageObjects_;
    std::int64_t streamStart_ = 0;
    void setLeading(int fitLines);
    double leading_ = 10;
    double lineY_ = 0;  // baseline of the last line on the current page
    double shrunkFont_ = 0;
    int linesOnPage_ = 0;
    std::string line_;  // WritePDF's line
};

// "(", ")" and "\" get a backslash; nothing else changes.
std::string EscapePdfText(std::string_view text);
// The same, added to the end of `out`.
void AppendPdfText(std::string& out, std::string_view text);
