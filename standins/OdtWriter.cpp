// OpenDocument text of a report: one paragraph per line, a page break before
// the paragraph after each '\f', every paragraph in the document's font.
// Written straight into the package: a report of many thousand pages would
// spend seconds in a general document model for what is a flat list of lines.

#include <zip.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "DocumentModel.h"
#include "ReplacementFile.h"

namespace {

constexpr char kMimeType[] = "application/vnd.oasis.opendocument.text";

constexpr char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">\n"
    " <manifest:file-entry manifest:media-type=\"application/vnd.oasis.opendocument.text\" manifest:full-path=\"/\"/>\n"
    " <manifest:file-entry manifest:media-type=\"text/xml\" manifest:full-path=\"content.xml\"/>\n"
    " <manifest:file-entry manifest:media-type=\"text/xml\" manifest:full-path=\"styles.xml\"/>\n"
    "</manifest:manifest>\n";

QByteArray escaped(const QString& s) {
    QByteArray out;
    for (const char c : s.toUtf8()) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

QByteArray contentHead(const TextDocumentModel& model) {
    const QByteArray family = escaped(model.fontFamily);
    QByteArray text = "<style:text-properties";
    if (!family.isEmpty()) text += " style:font-name=\"" + family + "\" fo:font-family=\"" + family + '"';
    if (model.fontSize > 0) text += " fo:font-size=\"" + QByteArray::number(model.fontSize) + "pt\"";
    text += "/>";

    QByteArray h =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
        " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
        " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
        " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" office:version=\"1.2\">\n";
    // The font-face says the pitch: where the family is not installed, a
    // fixed-pitch face stands in and the report's columns stay aligned.
    if (!family.isEmpty())
        h += "<office:font-face-decls><style:font-face style:name=\"" + family + "\" svg:font-family=\"&apos;" +
             family + "&apos;\" style:font-family-generic=\"modern\" style:font-pitch=\"fixed\"/></office:font-face-decls>\n";
    h += "<office:automatic-styles>\n<style:style style:name=\"P1\" style:family=\"paragraph\">" + text +
         "</style:style>\n<style:style style:name=\"P2\" style:family=\"paragraph\">"
         "<style:paragraph-properties fo:break-before=\"page\"/>" +
         text + "</style:style>\n</office:automatic-styles>\n<office:body>\n<office:text>\n";
    return h;
}

// The page for the widest line: A4, portrait when the line fits across it,
// else landscape, with the margins narrowed only as far as the line needs.
// Wide reports get the 65-point side margins the word processor's delivery
// gives them. A fixed-pitch face advances 0.6 of its size per character.
QByteArray stylesXml(const TextDocumentModel& model, qsizetype widest) {
    constexpr double kA4Short = 595.0, kA4Long = 842.0, kAdvance = 0.6001, kSlack = 2.0, kLeast = 18.0;
    double width = kA4Short, height = kA4Long, side = 72.0;
    bool landscape = false;
    if (!model.fontFamily.isEmpty() && model.fontSize > 0) {
        const double need = double(widest) * model.fontSize * kAdvance + kSlack;
        if (widest > 80) side = 65.0;
        if (need > width - 2 * side) {
            landscape = true;
            std::swap(width, height);
        }
        if (need > width - 2 * side) side = std::max(kLeast, std::floor((width - need) / 2));
    }
    const auto pt = [](double v) { return QByteArray::number(v, 'f', 1) + "pt"; };
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<office:document-styles xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
           " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
           " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" office:version=\"1.2\">\n"
           "<office:styles><style:default-style style:family=\"paragraph\"><style:paragraph-properties"
           " fo:margin-top=\"0pt\" fo:margin-bottom=\"0pt\"/></style:default-style></office:styles>\n"
           "<office:automatic-styles><style:page-layout style:name=\"Report\"><style:page-layout-properties"
           " fo:page-width=\"" + pt(width) + "\" fo:page-height=\"" + pt(height) + "\" style:print-orientation=\"" +
           (landscape ? "landscape" : "portrait") + "\" fo:margin-top=\"36.0pt\" fo:margin-bottom=\"36.0pt\" fo:margin-left=\"" +
           pt(side) + "\" fo:margin-right=\"" + pt(side) + "\"/></style:page-layout></office:automatic-styles>\n"
           "<office:master-styles><style:master-page style:name=\"Standard\" style:page-layout-name=\"Report\"/>"
           "</office:master-styles>\n</office:document-styles>\n";
}

constexpr char kContentTail[] = "</office:text>\n</office:body>\n</office:document-content>\n";

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// One paragraph. Blanks are kept as they stand: a single blank between two
// characters is written as it is, every other run of blanks as text:s, since
// a reader collapses runs and drops blanks at either end of a paragraph.
// Control characters (those XML cannot carry, and the ones it can but no
// reader shows: 127 and the code page's unassigned bytes) become blanks,
// which keeps the columns in place.
void appendParagraph(std::string& out, QStringView line, bool pageBreak) {
    out += pageBreak ? "<text:p text:style-name=\"P2\">" : "<text:p text:style-name=\"P1\">";
    const qsizetype n = line.size();
    qsizetype i = 0;
    bool afterText = false;  // the last thing written is a character other than a blank
    auto isBlankAt = [&](qsizetype k) {
        const char16_t u = line[k].unicode();
        if (u == u' ') return true;
        if (u == u'\t') return false;
        if (QChar::isHighSurrogate(u) && k + 1 < n && QChar::isLowSurrogate(line[k + 1].unicode())) return false;
        return u < 0x20 || (u >= 0x7F && u <= 0x9F) || !allowedInXml(u) || QChar::isSurrogate(u);
    };
    while (i < n) {
        if (isBlankAt(i)) {
            qsizetype j = i;
            while (j < n && isBlankAt(j)) ++j;
            const qsizetype run = j - i;
            if (run == 1 && afterText && j < n && line[j].unicode() != u'\t') {
                out += ' ';
            } else if (run == 1) {
                out += "<text:s/>";
            } else {
                out += "<text:s text:c=\"";
                out += std::to_string(run);
                out += "\"/>";
            }
            afterText = false;
            i = j;
            continue;
        }
        const char16_t u = line[i].unicode();
        if (u == u'\t') {
            out += "<text:tab/>";
            afterText = false;
            ++i;
            continue;
        }
        afterText = true;
        if (u < 0x80) {
            switch (u) {
                case u'&': out += "&amp;"; break;
                case u'<': out += "&lt;"; break;
                case u'>': out += "&gt;"; break;
                default: out += char(u);
            }
            ++i;
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(u)) {
            c = QChar::surrogateToUcs4(u, line[i + 1].unicode());
            ++i;
        }
        ++i;
        if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
        }
        out += char(0x80 | (c & 0x3F));
    }
    out += "</text:p>\n";
}

class Package {
public:
    // Takes `file` over: it is closed with the package.
    // Each entry is dated `when`.
    Package(FILE* file, const QDateTime& when) : when_(when) {
        if (!file) return;
        zlib_filefunc64_def io;
        fill_fopen64_filefunc(&io);
        io.zopen64_file = [](voidpf opened, const void*, int) -> voidpf { return opened; };
        io.opaque = file;
        zip_ = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &io);
        if (!zip_) std::fclose(file);
    }
    ~Package() {
        if (zip_) zipClose(zip_, nullptr);
    }
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    bool ok() const { return zip_ != nullptr && ok_; }

    // Stored, not compressed: readers find the type at a fixed place in the file.
    void addStored(const char* name, const QByteArray& data) { add(name, data, 0); }
    void addDeflated(const char* name, const QByteArray& data) { add(name, data, Z_DEFLATED); }

    void begin(const char* name, int method) {
        zip_fileinfo info{};
        const QDate d = when_.date();
        const QTime t = when_.time();
        info.tmz_date = {uInt(t.second()), uInt(t.minute()), uInt(t.hour()), uInt(d.day()), uInt(d.month() - 1),
                         uInt(d.year())};
        // Level 1: a report's lines repeat, so the fastest level already packs them well.
        if (ok() && zipOpenNewFileInZip64(zip_, name, &info, nullptr, 0, nullptr, 0, nullptr, method, method ? 1 : 0,
                                          0) != ZIP_OK)
            ok_ = false;
    }
    void write(const char* data, size_t size) {
        if (ok() && size > 0 && zipWriteInFileInZip(zip_, data, unsigned(size)) != ZIP_OK) ok_ = false;
    }
    void end() {
        if (ok() && zipCloseFileInZip(zip_) != ZIP_OK) ok_ = false;
    }
    bool close() {
        if (!zip_) return false;
        const bool closed = zipClose(zip_, nullptr) == ZIP_OK;
        zip_ = nullptr;
        return closed && ok_;
    }

private:
    void add(const char* name, const QByteArray& data, int method) {
        begin(name, method);
        write(data.constData(), size_t(data.size()));
        end();
    }
    QDateTime when_;
    zipFile zip_ = nullptr;
    bool ok_ = true;
};

bool WritePackage(const TextDocumentModel& model, FILE* file, const QDateTime& when) {
    Package zip(file, when);
    zip.addStored("mimetype", QByteArray(kMimeType));
    zip.addDeflated("META-INF/manifest.xml", QByteArray(kManifest));
    zip.begin("content.xml", Z_DEFLATED);
    constexpr size_t kChunk = 1 << 20;
    std::string out;
    out.reserve(kChunk + 4096);
    out += contentHead(model).toStdString();
    bool breakPending = false;
    qsizetype widest = 0;
    auto paragraph = [&](QStringView text) {
        widest = std::max(widest, text.size());
        appendParagraph(out, text, breakPending);
        breakPending = false;
        if (out.size() >= kChunk) {
            zip.write(out.data(), out.size());
            out.clear();
        }
    };
    // Each '\f' puts what follows on a new page. The lines come one at a
    // time from the document's source: memory stays flat with the report.
    const bool read = model.forEachLine([&](QStringView line) {
        if (!zip.ok()) return;
        if (!line.contains(QLatin1Char('\f'))) {
            paragraph(line);
            return;
        }
        qsizetype from = 0;
        for (bool firstPiece = true;; firstPiece = false) {
            const qsizetype mark = line.indexOf(QLatin1Char('\f'), from);
            const QStringView piece = line.mid(from, (mark < 0 ? line.size() : mark) - from);
            if (!firstPiece) {
                // A break while one waits: the waiting one needs a paragraph of its own.
                if (breakPending) paragraph(QStringView());
                breakPending = true;
            }
            if (!piece.isEmpty()) paragraph(piece);
            if (mark < 0) break;
            from = mark + 1;
        }
    });
    if (!read) return false;
    if (breakPending) paragraph(QStringView());
    out += kContentTail;
    zip.write(out.data(), out.size());
    zip.end();
    // After the text: the page is chosen for its widest line.
    zip.addDeflated("styles.xml", stylesXml(model, widest));
    return zip.close();
}

}  // namespace

bool WriteOdt(const TextDocumentModel& model, const QString& path, const QDateTime& when, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) return fail(QStringLiteral("The folder of '%1' does not exist.").arg(path));
    ReplacementFile file(path);
    if (file.targetReadOnly()) return fail(ReadOnlyTarget(path));
    if (!file.created()) return fail(CannotCreate(path, file));
    if (!WritePackage(model, file.take(), when) || !file.commit()) return fail(QStringLiteral("Cannot save '%1'.").arg(path));
    return true;
}
