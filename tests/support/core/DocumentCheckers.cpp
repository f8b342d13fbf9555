#include "DocumentCheckers.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <charconv>
#include <gtest/gtest.h>
#include <map>

#include "Codec.h"

ToolRun RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForStarted(10000)) {
        r.err = "cannot start " + program.toStdString();
        return r;
    }
    p.closeWriteChannel();
    p.waitForFinished(60000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

namespace {
std::string readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

long long numberAt(const std::string& s, size_t at) {
    long long v = -1;
    std::from_chars(s.data() + at, s.data() + s.size(), v);
    return v;
}

// Whitespace runs as one blank, none at the ends.
std::string squeeze(const std::string& s) {
    std::string out;
    bool blank = false;
    for (unsigned char c : s) {
        if (c == ' ' || c == '\t' || c == '\f' || c == '\r' || c == '\n') {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += char(c);
    }
    return out;
}

// The text a reader must show for a line of the code page: control bytes,
// 0x7F and the five codes Windows-1252 leaves undefined as blanks that keep
// the columns after them; the no-break space as a blank and the soft hyphen
// as a hyphen, as text extraction gives them.
std::string shown(const std::string& bytes) {
    QString text;
    for (unsigned char c : bytes) {
        const bool control = c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
        text += control || c == 0xA0 ? QStringLiteral(" ")
                : c == 0xAD ? QStringLiteral("-")
                            : Codec::toUnicode(std::string(1, char(c)));
    }
    return squeeze(text.toStdString());
}
}  // namespace

std::string PdfStructureFault(const std::string& b) {
    const size_t sx = b.rfind("startxref\r\n");
    if (sx == std::string::npos) return "no startxref";
    const long long xref = numberAt(b, sx + 11);
    if (xref < 0 || size_t(xref) >= b.size() || b.compare(size_t(xref), 6, "xref\r\n") != 0)
        return "startxref does not point at xref";
    size_t at = size_t(xref) + 6;
    if (b.compare(at, 2, "0 ") != 0) return "xref does not start at object 0";
    const long long size = numberAt(b, at + 2);
    at = b.find("\r\n", at) + 2;
    if (b.compare(at, 20, "0000000000 65535 f\r\n") != 0) return "bad free entry";
    at += 20;
    std::map<long long, size_t> offsets;
    for (long long n = 1; n < size; ++n, at += 20) {
        if (at + 20 > b.size() || b.compare(at + 10, 10, " 00000 n\r\n") != 0)
            return "xref entry " + std::to_string(n) + " is not 20 bytes";
        const long long off = numberAt(b, at);
        const std::string head = std::to_string(n) + " 0 obj\r\n";
        if (off < 0 || size_t(off) >= b.size() || b.compare(size_t(off), head.size(), head) != 0)
            return "xref entry " + std::to_string(n) + " does not point at its object";
        offsets[n] = size_t(off);
    }
    if (b.compare(at, 7, "trailer") != 0) return "no trailer after xref";
    // Every stream: its /Length, direct or through its object, is exact.
    for (size_t s = b.find("stream\r\n"); s != std::string::npos; s = b.find("stream\r\n", s + 1)) {
        if (s >= 3 && b.compare(s - 3, 3, "end") == 0) continue;
        const size_t dict = b.rfind("/Length ", s);
        if (dict == std::string::npos) return "stream without /Length";
        long long length = numberAt(b, dict + 8);
        const size_t eol = b.find("\r\n", dict);
        const std::string rest = b.substr(dict + 8, eol - dict - 8);
        if (rest.size() > 4 && rest.compare(rest.size() - 4, 4, " 0 R") == 0) {
            const auto it = offsets.find(length);
            if (it == offsets.end()) return "/Length refers to a missing object";
            const size_t v = b.find("\r\n", it->second) + 2;
            length = numberAt(b, v);
        }
        const size_t data = s + 8;
        if (length < 0 || data + size_t(length) > b.size() ||
            b.compare(data + size_t(length), 11, "\r\nendstream") != 0)
            return "stream at " + std::to_string(data) + ": /Length " + std::to_string(length) + " is not its size";
    }
    return {};
}

void CheckPdf(const QString& path, const PdfExpectation& expect) {
    const std::string name = path.toStdString();
    SCOPED_TRACE("checking " + name);
    const std::string bytes = readAll(path);
    ASSERT_FALSE(bytes.empty()) << "empty or missing PDF";
    EXPECT_EQ(PdfStructureFault(bytes), "");

    const ToolRun q = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), path});
    EXPECT_EQ(q.exitCode, 0) << q.out << q.err;
    EXPECT_EQ(q.out.find("WARNING"), std::string::npos) << q.out;
    EXPECT_EQ(q.err, "");

    const ToolRun info = RunTool(QStringLiteral("pdfinfo"), {path});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.err, "");
    const QString infoText = QString::fromStdString(info.out);
    if (expect.pages >= 0) {
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(infoText);
        EXPECT_EQ(m.captured(1).toInt(), expect.pages) << info.out;
    }
    if (expect.width > 0) {
        const auto m = QRegularExpression(QStringLiteral("Page size:\\s+(\\d+) x (\\d+) pts")).match(infoText);
        EXPECT_EQ(m.captured(1).toInt(), expect.width) << info.out;
        EXPECT_EQ(m.captured(2).toInt(), expect.height) << info.out;
    }

    if (expect.checkLines) {
        const ToolRun text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        EXPECT_EQ(text.exitCode, 0);
        EXPECT_EQ(text.err, "");
        std::vector<std::string> got;
        size_t from = 0;
        while (from < text.out.size()) {
            size_t nl = text.out.find('\n', from);
            if (nl == std::string::npos) nl = text.out.size();
            const std::string line = squeeze(text.out.substr(from, nl - from));
            if (!line.empty()) got.push_back(line);
            from = nl + 1;
        }
        std::vector<std::string> want;
        for (const std::string& l : expect.lines)
            if (const std::string s = shown(l); !s.empty()) want.push_back(s);
        EXPECT_EQ(got.size(), want.size()) << "pdftotext gives another number of lines";
        for (size_t i = 0; i < got.size() && i < want.size(); ++i)
            if (got[i] != want[i]) {
                ADD_FAILURE() << "line " << i + 1 << ": pdftotext gives \"" << got[i] << "\", the report has \""
                              << want[i] << "\"";
                break;
            }
    }

    const ToolRun bbox = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    EXPECT_EQ(bbox.exitCode, 0);
    const QString html = QString::fromStdString(bbox.out);
    static const QRegularExpression pageRe(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"));
    static const QRegularExpression wordRe(
        QStringLiteral("<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">"));
    double w = 0, h = 0;
    int outside = 0;
    QString first;
    for (const QString& line : html.split(QLatin1Char('\n'))) {
        if (const auto p = pageRe.match(line); p.hasMatch()) {
            w = p.captured(1).toDouble();
            h = p.captured(2).toDouble();
        } else if (const auto m = wordRe.match(line); m.hasMatch()) {
            const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
            const double x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
            if (x0 < 0 || y0 < 0 || x1 > w || y1 > h) {
                if (!outside++) first = line;
            }
        }
    }
    EXPECT_EQ(outside, 0) << "words outside the MediaBox, first: " << first.toStdString();
}

void CheckXml(const QString& path) {
    const ToolRun r = RunTool(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
    EXPECT_EQ(r.exitCode, 0) << path.toStdString() << ": " << r.err;
    EXPECT_EQ(r.err, "") << path.toStdString();
}

void CheckHtml(const QString& path) {
    const ToolRun r = RunTool(QStringLiteral("xmllint"), {QStringLiteral("--html"), QStringLiteral("--noout"), path});
    EXPECT_EQ(r.exitCode, 0) << path.toStdString() << ": " << r.err;
    EXPECT_EQ(r.err.find("error"), std::string::npos) << path.toStdString() << ": " << r.err;
}
