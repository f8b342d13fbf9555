#include "MailDirectives.h"

#include <QRegularExpression>
#include <optional>

#include "PageModel.h"

namespace MailDirectives {
namespace {
const QLatin1String kKeyword("MAILTO:");

qsizetype keywordEnd(const QString& line) {
    const qsizetype at = line.toUpper().indexOf(kKeyword);
    return at < 0 ? -1 : at + kKeyword.size();
}

QString recordText(const QString& line) { return line.mid(4); }

QStringList splitList(const QString& list, bool lower) {
    QStringList out;
    for (const QString& piece : list.split(QLatin1Char(';'))) {
        const QString a = lower ? piece.trimmed().toLower() : piece.trimmed();
        if (!a.isEmpty() && !out.contains(a)) out << a;
    }
    return out;
}

// A numeric prefix field ("  3", " 1", "12 ") and its value.
bool numeric(const QString& field, int& value) {
    bool ok = false;
    value = field.trimmed().toInt(&ok);
    return ok && value >= 0;
}
}  // namespace

bool isDirective(const QString& line) { return keywordEnd(line) >= 0; }

QString shortList(const QString& line) {
    const qsizetype from = keywordEnd(line);
    if (from < 0) return {};
    const qsizetype blank = line.indexOf(QLatin1Char(' '), from);
    return blank < 0 ? line.mid(from) : line.mid(from, blank - from);
}

QString longList(const QString& line) {
    const qsizetype from = keywordEnd(line);
    if (from < 0) return {};
    const qsizetype report = line.indexOf(QLatin1String("REPORT:"), from);
    return (report < 0 ? line.mid(from) : line.mid(from, report - from)).trimmed();
}

bool isAddressList(const QString& text) {
    static const QRegularExpression address(QStringLiteral("^[^\\s@;,<>()]+@[^\\s@;,<>()]+$"));
    const QStringList pieces = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    bool any = false;
    for (const QString& p : pieces) {
        if (p.trimmed().isEmpty()) continue;
        if (!address.match(p.trimmed()).hasMatch()) return false;
        any = true;
    }
    return any;
}

Split split(const QStringList& workLines, ListForm form) {
    Split out;
    Part* current = nullptr;
    bool header = false;  // right after a directive, where address lines may follow (long form)
    for (const QString& line : workLines) {
        if (isDirective(line)) {
            ++out.directives;
            if (current) current->endPrefix = line.left(4);
            const QString list = shortList(line);
            QStringList addresses = form == ListForm::Long ? splitList(longList(line), true) : splitList(list, false);
            Part p{list, addresses, {}, {}};
            out.parts.push_back(p);
            current = &out.parts.back();
            header = form == ListForm::Long;
            continue;
        }
        if (!current) continue;  // before the first directive: no recipient
        if (header && isAddressList(recordText(line).trimmed())) {
            for (const QString& a : splitList(recordText(line), true))
                if (!current->addresses.contains(a)) current->addresses << a;
            continue;
        }
        header = false;
        current->lines << line;
    }
    std::vector<Part> kept;
    for (Part& p : out.parts) {
        if (p.addresses.isEmpty() || p.lines.isEmpty()) ++out.skipped;
        else kept.push_back(std::move(p));
    }
    out.parts = std::move(kept);
    return out;
}

std::vector<std::vector<Part>> messages(const std::vector<Part>& parts) {
    std::vector<std::vector<Part>> out;
    for (const Part& p : parts) {
        if (out.empty() || out.back().front().list != p.list) out.emplace_back();
        out.back().push_back(p);
    }
    return out;
}

namespace {
// The rows of a part as the page model lays them out.
class RowCanvas : public PageCanvas {
public:
    std::vector<Row> rows;
    void pageBreak(int) override { rows.push_back({Row::PageBreak, {}}); }
    void emptyLines(int count) override {
        for (int i = 0; i < count; ++i) rows.push_back({Row::Blank, QStringLiteral(" ")});
    }
    void line(std::string_view, int, int) override { rows.push_back({Row::Text, text}); }
    QString text;
};

std::optional<int> fieldValue(const QString& field) {
    int v = 0;
    return numeric(field, v) ? std::optional<int>(v) : std::nullopt;
}
}  // namespace

std::vector<Row> layout(const Part& part, bool removeLayout) {
    // A part ends with its last line: the directive after it belongs to the next part.
    PageModel pages(PageModelOptions{.layout = !removeLayout});
    RowCanvas canvas;
    for (const QString& line : part.lines) {
        canvas.text = recordText(line);
        pages.record(fieldValue(line.left(3)), fieldValue(line.mid(3, 1)), {}, canvas);
    }
    return std::move(canvas.rows);
}
}  // namespace MailDirectives
