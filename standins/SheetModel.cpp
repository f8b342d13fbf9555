#include "SheetModel.h"

#include <cmath>
#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <vector>
#include <string>
#include <cstring>
#include <unzip.h>
#include <xlsxwriter.h>

#include "Codec.h"
#include "ReplacementFile.h"

void RowStore::append(QStringList row) {
    moveGap(size());
    if (gapSize_ > 0) {
        rows_[static_cast<std::size_t>(gapStart_)] = std::move(row);
        ++gapStart_;
        --gapSize_;
        return;
    }
    rows_.push_back(std::move(row));
    ++gapStart_;
}

void RowStore::moveGap(qsizetype to) {
    if (gapSize_ == 0) {
        gapStart_ = to;
        return;
    }
    while (gapStart_ < to) {  // rows after the gap move in front of it
        rows_[static_cast<std::size_t>(gapStart_)] = std::move(rows_[static_cast<std::size_t>(gapStart_ + gapSize_)]);
        ++gapStart_;
    }
    while (gapStart_ > to) {
        --gapStart_;
        rows_[static_cast<std::size_t>(gapStart_ + gapSize_)] = std::move(rows_[static_cast<std::size_t>(gapStart_)]);
    }
}

void RowStore::erase(qsizetype first, qsizetype count) {
    first = std::clamp<qsizetype>(first, 0, size());
    count = std::clamp<qsizetype>(count, 0, size() - first);
    if (count == 0) return;
    moveGap(first + count);
    gapStart_ -= count;
    gapSize_ += count;
    for (qsizetype i = 0; i < count; ++i) rows_[static_cast<std::size_t>(gapStart_ + i)] = QStringList();
}

void RowStore::clear() {
    rows_.clear();
    gapStart_ = gapSize_ = 0;
}

QString Sheet::cell(qsizetype row, int column) const {
    if (row < 0 || row >= rows.size() || column < 0) return {};
    const QStringList& r = rows.at(row);
    return column < r.size() ? r.at(column) : QString();
}

int Sheet::columnCount() const {
    qsizetype n = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) n = std::max(n, rows.at(r).size());
    return static_cast<int>(n);
}

void Sheet::deleteRows(qsizetype first, qsizetype count) {
    const qsizetype last = first + count;  // rows first..last-1 go
    rows.erase(first, count);
    std::vector<qsizetype> kept;
    kept.reserve(pageBreaks.size());
    for (qsizetype b : pageBreaks) {
        const qsizetype moved = b >= last ? b - count : std::min(b, first);
        if (moved > 0 && (kept.empty() || kept.back() != moved)) kept.push_back(moved);
    }
    pageBreaks = std::move(kept);
}

bool Sheet::addPageBreak(qsizetype beforeRow) {
    if (beforeRow <= 0) return true;  // nothing above the first row to break from
    const auto it = std::lower_bound(pageBreaks.begin(), pageBreaks.end(), beforeRow);
    if (it != pageBreaks.end() && *it == beforeRow) return true;
    if (pageBreaks.size() >= kMaxPageBreaks) return false;
    pageBreaks.insert(it, beforeRow);
    return true;
}

void Sheet::autoFit(int first, int last) {
    if (last < 0) last = columnCount() - 1;
    for (int c = std::max(first, 0); c <= last; ++c) {
        qsizetype longest = 0;
        for (qsizetype r = 0; r < rows.size(); ++r) longest = std::max(longest, cell(r, c).size());
        if (longest > 0) columnWidths[c] = std::min<double>(static_cast<double>(longest) + 1, 255);
        else columnWidths.remove(c);
    }
}

void Sheet::splitFixedWidth(int column) {
    fields = true;
    QStringList texts;
    for (qsizetype r = 0; r < rows.size(); ++r) texts << cell(r, column);
    const QList<int> starts = FixedWidthBreaks(texts);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        QStringList& row = rows.at(r);
        if (column >= row.size()) continue;
        const QStringList fields = SplitAt(row.at(column), starts);
        row.removeAt(column);
        for (qsizetype i = 0; i < fields.size(); ++i) row.insert(column + i, fields.at(i));
    }
}

QStringList ReadTextLines(const QString& path, bool* ok) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (ok) *ok = false;
        return {};
    }
    if (ok) *ok = true;
    const QByteArray bytes = f.readAll();
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0) end = bytes.size();
        qsizetype stop = end;
        if (stop > start && bytes.at(stop - 1) == '\r') --stop;
        lines << Codec::toUnicode(std::string(bytes.constData() + start, static_cast<std::size_t>(stop - start)));
        start = next;
    }
    return lines;
}

// As a fixed-width import places them: a field starts after a gap of at
// least two columns that runs through the page, blank in every line but the
// odd title or heading that crosses it (one line in twenty). A single blank is part of
// a field ("I N V O I C E", "NET PAY").
QList<int> FixedWidthBreaks(const QStringList& lines) {
    qsizetype width = 0;
    for (const QString& l : lines) width = std::max(width, l.size());
    std::vector<qsizetype> used(static_cast<std::size_t>(width), 0);
    for (const QString& l : lines)
        for (qsizetype i = 0; i < l.size(); ++i)
            if (!l.at(i).isSpace()) ++used[static_cast<std::size_t>(i)];
    const qsizetype crossing = lines.size() / 20;
    const auto blank = [&](qsizetype i) { return used[static_cast<std::size_t>(i)] <= crossing; };
    QList<int> starts{0};
    for (qsizetype i = 2; i < width; ++i)
        if (!blank(i) && blank(i - 1) && blank(i - 2)) starts << static_cast<int>(i);
    return starts;
}

bool ReportNumber(const QString& field, double* value, int* decimals, bool* grouped) {
    static const QRegularExpression re(
        QStringLiteral("^(-)?(\\d{1,3}(?:,\\d{3})+|[1-9]\\d*|0)?(?:\\.(\\d+))?(?:(-)| ?(CR))?$"));
    const QString t = field.trimmed();
    const QRegularExpressionMatch m = re.match(t);
    if (t.isEmpty() || !m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty())) return false;
    const int signs = int(!m.captured(1).isEmpty()) + int(!m.captured(4).isEmpty()) + int(!m.captured(5).isEmpty());
    if (signs > 1) return false;
    const bool negative = signs == 1;
    QString digits = m.captured(2);
    digits.remove(QLatin1Char(','));
    // More digits than a double keeps exactly stay text (account numbers).
    if (digits.size() + m.captured(3).size() > 15) return false;
    bool ok = false;
    const double v = (digits.isEmpty() ? QStringLiteral("0") : digits).append(QLatin1Char('.')).append(m.captured(3)).toDouble(&ok);
    if (!ok) return false;
    *value = negative ? -v : v;
    *decimals = static_cast<int>(m.captured(3).size());
    *grouped = m.captured(2).contains(QLatin1Char(','));
    return true;
}

// A line whose text crosses a break (a title, a heading) is not cut there:
// the text stays in the field before, and the field after is empty.
QStringList SplitAt(const QString& line, const QList<int>& starts) {
    const auto blank = [&](qsizetype i) { return i >= line.size() || line.at(i).isSpace(); };
    QStringList out;
    qsizetype owner = -1;  // the field that takes the text
    qsizetype from = 0;
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype start = starts.at(i);
        if (i > 0 && start < line.size() && !(blank(start - 1) && blank(start - 2))) {
            out << QString();
            continue;
        }
        if (owner >= 0) out[owner] = line.mid(from, std::max<qsizetype>(start - from, 0)).trimmed();
        owner = out.size();
        out << QString();
        from = start;
    }
    if (owner >= 0 && from < line.size()) out[owner] = line.mid(from).trimmed();
    while (out.size() > 1 && out.constLast().isEmpty()) out.removeLast();
    return out;
}

namespace {
QString sheetTitle(QString name) {
    for (QChar c : QStringLiteral("[]:*?/\\")) name.replace(c, QLatin1Char('_'));
    // Nor may a sheet's name begin or end with an apostrophe.
    name = name.left(31);
    while (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')) || name != name.trimmed())
        name = name.trimmed().remove(QRegularExpression(QStringLiteral("^'+|'+$")));
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}
}  // namespace

namespace {
// The library does not see every failed write (a full disk, a file size
// limit) into its package or into the worksheet it keeps on the disk until
// the end: the package is read back whole, each part against its checksum,
// and the worksheet must end as one ends.
bool IsWholeWorkbook(const QByteArray& file) {
    unzFile zip = unzOpen64(file.constData());
    if (!zip) return false;
    bool whole = true;
    bool sheetEnds = false;
    std::vector<char> buffer(1 << 16);
    int rc = unzGoToFirstFile(zip);
    for (; rc == UNZ_OK && whole; rc = unzGoToNextFile(zip)) {
        char name[256] = {};
        if (unzGetCurrentFileInfo64(zip, nullptr, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK ||
            unzOpenCurrentFile(zip) != UNZ_OK) {
            whole = false;
            break;
        }
        const bool sheet = std::strcmp(name, "xl/worksheets/sheet1.xml") == 0;
        std::string tail;
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()))) > 0) {
            if (!sheet) continue;
            tail.append(buffer.data(), size_t(n));
            if (tail.size() > 64) tail.erase(0, tail.size() - 64);
        }
        // Closing checks the part against its checksum.
        if (n < 0 || unzCloseCurrentFile(zip) != UNZ_OK) whole = false;
        if (sheet) sheetEnds = tail.find("</worksheet>") != std::string::npos;
    }
    unzClose(zip);
    return whole && sheetEnds && rc == UNZ_END_OF_LIST_OF_FILE;
}
}  // namespace

bool WriteXlsx(const Sheet& sheet, const QString& sheetName, const QString& path, QString* error) {
    const QFileInfo target(path);
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!target.absoluteDir().exists()) return fail(QStringLiteral("The folder of '%1' does not exist.").arg(path));
    // Rows past the format's last one would be lost without a word.
    if (sheet.rows.size() > static_cast<qsizetype>(LXW_ROW_MAX))
        return fail(QStringLiteral("Cannot save '%1': the sheet has %2 rows, a workbook holds at most %3.")
                        .arg(path).arg(sheet.rows.size()).arg(LXW_ROW_MAX));
    // The library opens the part by its name and writes it anew.
    ReplacementFile part(path);
    if (part.targetReadOnly()) return fail(ReadOnlyTarget(path));
    if (!part.created()) return fail(CannotCreate(path, part));
    const QByteArray tmpDir = QFile::encodeName(target.absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go out as they are written
    options.tmpdir = const_cast<char*>(tmpDir.constData());
    lxw_workbook* wb = workbook_new_opt(part.partName().constData(), &options);
    if (!wb) return fail(QStringLiteral("Cannot create '%1'.").arg(path));
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheetTitle(sheetName).toUtf8().constData());
    if (!ws) ws = workbook_add_worksheet(wb, nullptr);  // a name the library still refuses: its default
    if (!ws) {
        workbook_close(wb);
        return fail(QStringLiteral("Cannot create '%1'.").arg(path));
    }
    // The report's own columns need a fixed pitch to line up.
    lxw_format* report = workbook_add_format(wb);
    format_set_font_name(report, "Courier New");
    format_set_font_size(report, 10);
    // Numbers keep the look they had in the report: decimals, thousands separators.
    std::map<std::pair<int, bool>, lxw_format*> numberFormats;
    constexpr double kCourierPerDigit = 8.0 / 7.0;
    const auto numberFormat = [&](int decimals, bool grouped) {
        lxw_format*& f = numberFormats[{decimals, grouped}];
        if (!f) {
            f = workbook_add_format(wb);
            format_set_font_name(f, "Courier New");
            format_set_font_size(f, 10);
            const std::string pattern = std::string(grouped ? "#,##0" : "0") + (decimals ? "." + std::string(decimals, '0') : "");
            format_set_num_format(f, pattern.c_str());
        }
        return f;
    };
    // A width counts the default face's digits (7 pixels each); a report's
    // character in Courier New 10 takes 8: a fitted column holds its text.
    for (auto it = sheet.columnWidths.cbegin(); it != sheet.columnWidths.cend(); ++it)
        worksheet_set_column(ws, static_cast<lxw_col_t>(it.key()), static_cast<lxw_col_t>(it.key()),
                             std::min(it.value() * kCourierPerDigit, 255.0), nullptr);
    // Printed as the host printed it: one page across, landscape for a wide
    // report. The scale is set outright (readers differ on fitting a page
    // across): the width in points of the report's characters (Courier New 10
    // takes 6) or of its columns (7 pixels a digit in the default face, 8 in
    // the faces that stand in for it where it is missing, 5 of padding, 0.75
    // points a pixel), against what the page holds inside its margins.
    double across = 0;
    qsizetype chars = 0;
    const int columns = sheet.columnCount();
    if (columns <= 1) {
        for (qsizetype r = 0; r < sheet.rows.size(); ++r) chars = std::max(chars, sheet.cell(r, 0).size());
        across = double(chars) * 6.0;
    } else {
        for (int c = 0; c < columns; ++c) across += (std::min(sheet.columnWidths.value(c, 8.43) * kCourierPerDigit, 255.0) * 8 + 5) * 0.75;
        chars = static_cast<qsizetype>(across / 6.0);
    }
    const bool landscape = chars > 100;
    worksheet_set_paper(ws, 9);  // A4
    if (landscape) worksheet_set_landscape(ws);
    else worksheet_set_portrait(ws);
    const double room = (landscape ? 842.0 : 595.0) - 2 * 0.4 * 72;
    // ... and, where the sheet has the host's page breaks, the longest host
    // page (rows of 15 points) inside the page's height, less margins,
    // header and footer; a sheet without them runs on from page to page.
    qsizetype tallest = 0, from = 0;
    for (qsizetype b : sheet.pageBreaks) {
        tallest = std::max(tallest, b - from);
        from = b;
    }
    tallest = std::max(tallest, sheet.rows.size() - from);
    const double height = double(tallest) * 15.0, roomDown = (landscape ? 595.0 : 842.0) - 2 * 0.5 * 72 - 2 * 0.3 * 72;
    double fit = 1.0;
    if (across > room) fit = room / across;
    if (!sheet.pageBreaks.empty() && height > roomDown) fit = std::min(fit, roomDown / height);
    const int scale = std::max(10, static_cast<int>(std::floor(100.0 * fit)));
    worksheet_set_print_scale(ws, static_cast<uint16_t>(scale));
    worksheet_set_margins(ws, 0.4, 0.4, 0.5, 0.5);
    static_assert(Sheet::kMaxPageBreaks == LXW_BREAKS_MAX);
    std::vector<lxw_row_t> breaks;
    for (qsizetype b : sheet.pageBreaks) {
        if (breaks.size() >= Sheet::kMaxPageBreaks) break;
        breaks.push_back(static_cast<lxw_row_t>(b));  // "between rows b and b+1" counted from 1
    }
    breaks.push_back(0);
    if (breaks.size() > 1) worksheet_set_h_pagebreaks(ws, breaks.data());
    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows.at(r);
        for (qsizetype c = 0; c < row.size() && c < LXW_COL_MAX; ++c) {
            if (row.at(c).isEmpty()) continue;
            // The cell text goes as a C string: a NUL would end it early.
            QByteArray text = row.at(c).toUtf8();
            text.replace('\0', QByteArray());
            double number = 0;
            int decimals = 0;
            bool grouped = false;
            if (sheet.fields && ReportNumber(row.at(c), &number, &decimals, &grouped))
                worksheet_write_number(ws, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), number,
                                       numberFormat(decimals, grouped));
            else
                worksheet_write_string(ws, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), text.constData(), report);
        }
    }
    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR)
        return fail(QStringLiteral("Cannot save '%1': %2").arg(path, QString::fromUtf8(lxw_strerror(rc))));
    if (!IsWholeWorkbook(part.partName()) || !part.commit()) return fail(QStringLiteral("Cannot save '%1'.").arg(path));
    return true;
}
