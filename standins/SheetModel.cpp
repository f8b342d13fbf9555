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
#include "OfficeAutomation.h"
#include "ReplacementFile.h"

bool SheetLines::readLine(QByteArray& into) {
    if (file_.atEnd()) return false;
    into = file_.readLine();
    if (into.endsWith('\n')) into.chop(1);
    if (into.endsWith('\r')) into.chop(1);
    return true;
}

bool SheetLines::open(const QString& path) {
    held_.clear();
    places_.clear();
    count_ = next_ = 0;
    file_.close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly)) return false;
    QByteArray line;
    for (;;) {
        if (count_ % kStep == 0) places_.push_back(file_.pos());
        if (!readLine(line)) break;
        ++count_;
    }
    next_ = count_;
    return true;
}

void SheetLines::append(const QString& line) {
    held_ << line;
    ++count_;
}

QString SheetLines::at(qsizetype index) {
    if (!held_.isEmpty() || !file_.isOpen()) return index >= 0 && index < held_.size() ? held_.at(index) : QString();
    const QByteArray line = bytesAt(index);
    return Codec::toUnicode(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
}

QByteArray SheetLines::bytesAt(qsizetype index) {
    if (index < 0 || index >= count_) return {};
    if (!held_.isEmpty() || !file_.isOpen())
        return index < held_.size() ? QByteArray::fromStdString(Codec::fromUnicode(held_.at(index))) : QByteArray();
    if (index < next_ || index - next_ > kStep) {
        const qsizetype from = index / kStep;
        file_.seek(places_[static_cast<std::size_t>(from)]);
        next_ = from * kStep;
    }
    QByteArray line;
    while (next_ < index && readLine(line)) ++next_;
    if (!readLine(line)) return {};
    ++next_;
    return line;
}

namespace {
struct Field {
    qsizetype start, end;  // characters start..end-1
};
// The runs of text of a line that two blanks or more part.
std::vector<Field> fieldsIn(const QString& line) {
    std::vector<Field> out;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && line.at(i).isSpace()) ++i;
        if (i >= n) break;
        const qsizetype start = i;
        qsizetype end = i;
        while (i < n) {
            if (!line.at(i).isSpace()) {
                end = ++i;
                continue;
            }
            qsizetype blanks = i;
            while (blanks < n && line.at(blanks).isSpace()) ++blanks;
            if (blanks - i >= 2 || blanks >= n) break;
            i = blanks;
        }
        out.push_back({start, end});
        i = end;
    }
    return out;
}
}  // namespace

void ColumnFinder::add(const QString& line) {
    const std::vector<Field> fields = fieldsIn(line);
    if (fields.empty()) return;
    const std::size_t count = std::min<std::size_t>(fields.size(), kMostFields);
    ++lines_[count];
    std::vector<bool>& used = used_[count];
    if (used.size() < static_cast<std::size_t>(fields.back().end)) used.resize(static_cast<std::size_t>(fields.back().end), false);
    for (const Field& f : fields)
        for (qsizetype c = f.start; c < f.end; ++c) used[static_cast<std::size_t>(c)] = true;
}

QList<int> ColumnFinder::columns() const {
    // The table: the lines with the count of fields that most lines of two or more have.
    std::size_t table = 1;
    for (std::size_t n = 2; n <= kMostFields; ++n)
        if (lines_[n] > 0 && (table < 2 || lines_[n] >= lines_[table])) table = n;
    std::vector<bool> used;
    for (std::size_t n = table; n <= kMostFields; ++n) {
        if (used.size() < used_[n].size()) used.resize(used_[n].size(), false);
        for (std::size_t c = 0; c < used_[n].size(); ++c)
            if (used_[n][c]) used[c] = true;
    }
    QList<int> columns{0};
    bool text = false;
    for (std::size_t c = 0; c < used.size(); ++c) {
        if (!used[c]) continue;
        if (text && c >= 2 && !used[c - 1] && !used[c - 2]) {
            std::size_t from = c - 1;
            while (from > 0 && !used[from - 1]) --from;
            columns << static_cast<int>(from);
        }
        text = true;
    }
    return columns;
}

QStringList FieldsOf(const QString& line, const QList<int>& columns) {
    QStringList out;
    qsizetype column = -1, from = 0, to = 0;
    auto flush = [&] {
        if (column < 0) return;
        while (out.size() < column) out << QString();
        out << line.mid(from, to - from);
    };
    for (const Field& f : fieldsIn(line)) {
        const qsizetype c = std::upper_bound(columns.cbegin(), columns.cend(), f.start) - columns.cbegin() - 1;
        if (c != column) {
            flush();
            column = c;
            from = f.start;
        }
        to = f.end;
    }
    flush();
    return out;
}

qsizetype Sheet::rowCount() const { return lines.count() - goneBefore_.back(); }

qsizetype Sheet::sourceLine(qsizetype r) const {
    // The ranges gone before row r: each sits where its next line now is.
    std::size_t lo = 0, hi = gone_.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (gone_[mid].first - goneBefore_[mid] <= r) lo = mid + 1;
        else hi = mid;
    }
    return r + goneBefore_[lo];
}

QString Sheet::lineOf(qsizetype r) { return r < 0 || r >= rowCount() ? QString() : lines.at(sourceLine(r)); }
QByteArray Sheet::lineBytes(qsizetype r) { return r < 0 || r >= rowCount() ? QByteArray() : lines.bytesAt(sourceLine(r)); }

QStringList Sheet::row(qsizetype r) {
    const QString text = lineOf(r);
    // A record of the page mark alone comes with a blank after it: parsed, it
    // would read as a mark to whoever looks for them.
    static const QString record = QStringLiteral("\u2022 ");
    if (columnStarts.isEmpty() || text == record) return text.isNull() ? QStringList() : QStringList{text};
    return FieldsOf(text, columnStarts);
}

QString Sheet::cell(qsizetype r, int column) {
    if (column < 0) return {};
    const QStringList cells = row(r);
    return column < cells.size() ? cells.at(column) : QString();
}

int Sheet::columnCount() const {
    if (rowCount() == 0) return 0;
    return columnStarts.isEmpty() ? 1 : static_cast<int>(columnStarts.size());
}

void Sheet::deleteRows(qsizetype first, qsizetype count) {
    first = std::clamp<qsizetype>(first, 0, rowCount());
    count = std::clamp<qsizetype>(count, 0, rowCount() - first);
    if (count == 0) return;
    for (qsizetype left = count; left > 0;) {
        const qsizetype s = sourceLine(first);
        auto next = std::upper_bound(gone_.begin(), gone_.end(), s, [](qsizetype v, const Gone& g) { return v < g.first; });
        const qsizetype run = (next == gone_.end() ? lines.count() : next->first) - s;
        const qsizetype take = std::min(left, run);
        auto at = next;
        if (at != gone_.begin() && std::prev(at)->last == s) {
            at = std::prev(at);
            at->last += take;
        } else {
            at = gone_.insert(at, Gone{s, s + take});
        }
        if (std::next(at) != gone_.end() && std::next(at)->first == at->last) {
            at->last = std::next(at)->last;
            gone_.erase(std::next(at));
        }
        left -= take;
        const std::size_t from = static_cast<std::size_t>(at - gone_.begin());
        goneBefore_.resize(gone_.size() + 1);
        for (std::size_t i = from; i < gone_.size(); ++i)
            goneBefore_[i + 1] = goneBefore_[i] + (gone_[i].last - gone_[i].first);
    }
    const qsizetype last = first + count;  // rows first..last-1 went
    // Only the marks at or after the rows that went move.
    auto moveFrom = [&](std::vector<qsizetype>& marks, bool keepInside) {
        auto it = std::lower_bound(marks.begin(), marks.end(), first);
        std::vector<qsizetype> moved;
        for (auto m = it; m != marks.end(); ++m) {
            if (*m < last && !keepInside) continue;
            const qsizetype to = *m >= last ? *m - count : first;
            if (moved.empty() || moved.back() != to) moved.push_back(to);
        }
        marks.erase(it, marks.end());
        marks.insert(marks.end(), moved.begin(), moved.end());
    };
    moveFrom(pageBreaks, true);
    moveFrom(hiddenRows, false);
    while (!pageBreaks.empty() && pageBreaks.front() <= 0) pageBreaks.erase(pageBreaks.begin());
}

bool Sheet::addPageBreak(qsizetype beforeRow) {
    if (beforeRow <= 0) return true;  // nothing above the first row to break from
    const auto it = std::lower_bound(pageBreaks.begin(), pageBreaks.end(), beforeRow);
    if (it != pageBreaks.end() && *it == beforeRow) return true;
    if (pageBreaks.size() >= kMaxPageBreaks) return false;
    pageBreaks.insert(it, beforeRow);
    return true;
}

void Sheet::hideRow(qsizetype r) {
    const auto it = std::lower_bound(hiddenRows.begin(), hiddenRows.end(), r);
    if (it == hiddenRows.end() || *it != r) hiddenRows.insert(it, r);
}

void Sheet::autoFit(int first, int last) {
    if (last < 0) last = columnCount() - 1;
    // Of the rows' lines, without their trailing blanks: a character of the code page is a byte.
    qsizetype longest = 0;
    for (qsizetype r = 0, n = rowCount(); r < n; ++r) {
        const QByteArray text = lineBytes(r);
        qsizetype end = text.size();
        while (end > 0 && text.at(end - 1) == ' ') --end;
        longest = std::max(longest, end);
    }
    for (int c = std::max(first, 0); c <= last; ++c) {
        qsizetype width = 0;
        if (columnStarts.isEmpty()) width = longest > 0 ? longest + 1 : 0;
        else if (c + 1 < columnStarts.size()) width = columnStarts.at(c + 1) - columnStarts.at(c);
        else width = longest - columnStarts.at(c) + 1;
        if (width > 0) columnWidths[c] = std::min<double>(static_cast<double>(width), 255);
        else columnWidths.remove(c);
    }
}

void Sheet::splitFixedWidth(int column) {
    fields = true;
    // The report's lines stand in column A until they are parsed.
    if (column != 0 || !columnStarts.isEmpty()) return;
    ColumnFinder finder;
    for (qsizetype r = 0, n = rowCount(); r < n; ++r) finder.add(lines.at(sourceLine(r)));
    columnStarts = finder.columns();
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

namespace {
// The page: A4, margins of 0.4 inch at the sides, 0.5 above and below, and
// the header's and footer's 0.3 inch kept free where a reader prints them.
constexpr double kSideMargin = 0.4, kEndMargin = 0.5, kHeaderMargin = 0.3;
constexpr double kRowHeight = 15.0;  // points, the default row

struct PrintedPage {
    bool landscape = false;
    int scale = 100;
    double tailRowHeight = 0;  // the rows past the last break a sheet can hold; 0: the default
};

// Printed as the host printed it: one page across, landscape for a wide
// report, and a host page on a sheet's page. The scale is set outright
// (readers differ on fitting a page across): the sheet's width in points
// (`across`: its columns take 7 pixels a digit in the default face, 8 in the
// faces that stand in for it where it is missing, 5 of padding, 0.75 points
// a pixel) against what the page holds inside its margins; and the tallest
// host page inside the page's height, the header's and footer's room kept.
// The scale depends on the report's width and its page length alone, never
// on how many pages it has: a sheet full of manual breaks prints the rows
// after the last one in rows just so tall that a page holds as many as the
// tallest host page, so that its pages still fall where the host's do.
PrintedPage PageOf(Sheet& sheet, double across, qsizetype chars) {
    PrintedPage p;
    p.landscape = chars > 100;
    const double room = (p.landscape ? 842.0 : 595.0) - 2 * kSideMargin * 72;
    const double paperDown = p.landscape ? 595.0 : 842.0;
    const double roomDown = paperDown - 2 * kEndMargin * 72 - 2 * kHeaderMargin * 72;
    const qsizetype rows = sheet.rowCount();
    const bool full = sheet.pageBreaks.size() >= Sheet::kMaxPageBreaks;
    const auto shown = [&](qsizetype from, qsizetype to) {
        const auto lo = std::lower_bound(sheet.hiddenRows.begin(), sheet.hiddenRows.end(), from);
        const auto hi = std::lower_bound(sheet.hiddenRows.begin(), sheet.hiddenRows.end(), to);
        return (to - from) - (hi - lo);
    };
    qsizetype tallest = 0, from = 0;
    for (qsizetype b : sheet.pageBreaks) {
        tallest = std::max(tallest, shown(from, b));
        from = b;
    }
    if (!full) tallest = std::max(tallest, shown(from, rows));
    double fit = 1.0;
    if (across > room) fit = room / across;
    const double height = double(tallest) * kRowHeight;
    if (!sheet.pageBreaks.empty() && height > roomDown) fit = std::min(fit, roomDown / height);
    p.scale = std::max(10, static_cast<int>(std::floor(100.0 * fit)));
    if (full && tallest > 0) {
        // Half a row to spare: the page ends after the tallest host page's count of rows.
        const double printable = paperDown - 2 * kEndMargin * 72;
        p.tailRowHeight = std::clamp(100.0 * printable / (p.scale * (double(tallest) + 0.5)), 1.0, 409.0);
    }
    return p;
}

// A line's trailing blanks are no part of its cell ("\x95 " is how the work
// file tells a record of the mark alone from a page's mark).
qsizetype ShownLength(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) --end;
    return end;
}
QByteArray CellText(const QString& text) {
    // The cell text goes as a C string: a NUL would end it early.
    QByteArray bytes = text.left(ShownLength(text)).toUtf8();
    bytes.replace('\0', QByteArray());
    return bytes;
}
}  // namespace

bool WriteXlsx(Sheet& sheet, const QString& sheetName, const QString& path, QString* error) {
    const QFileInfo target(path);
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!target.absoluteDir().exists()) return fail(QStringLiteral("The folder of '%1' does not exist.").arg(path));
    const qsizetype rows = sheet.rowCount();
    // Rows past the format's last one would be lost without a word.
    static_assert(Worksheet::kRows == LXW_ROW_MAX);
    if (rows > static_cast<qsizetype>(LXW_ROW_MAX))
        return fail(QStringLiteral("Cannot save '%1': the sheet has %2 rows, a workbook holds at most %3.")
                        .arg(path).arg(rows).arg(LXW_ROW_MAX));
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
    // What the sheet is wide: its columns' widths where they were fitted, the
    // report's characters (Courier New 10 takes 6 points) in a column that was not.
    const auto columnPoints = [&](int c) { return (std::min(sheet.columnWidths.value(c, 8.43) * kCourierPerDigit, 255.0) * 8 + 5) * 0.75; };
    double across = 0;
    qsizetype chars = 0;
    const int columns = sheet.columnCount();
    if (columns <= 1 && !sheet.columnWidths.contains(0)) {
        for (qsizetype r = 0; r < rows; ++r) chars = std::max(chars, ShownLength(sheet.cell(r, 0)));
        across = double(chars) * 6.0;
    } else {
        // A fitted line's column has a character to spare; a parsed one is its field.
        double fitted = columns <= 1 ? -1 : 0;
        for (int c = 0; c < columns; ++c) {
            across += columnPoints(c);
            fitted += sheet.columnWidths.value(c, 8.43);
        }
        chars = static_cast<qsizetype>(fitted);
    }
    const PrintedPage page = PageOf(sheet, across, chars);
    worksheet_set_paper(ws, 9);  // A4
    if (page.landscape) worksheet_set_landscape(ws);
    else worksheet_set_portrait(ws);
    worksheet_set_print_scale(ws, static_cast<uint16_t>(page.scale));
    worksheet_set_margins(ws, kSideMargin, kSideMargin, kEndMargin, kEndMargin);
    static_assert(Sheet::kMaxPageBreaks == LXW_BREAKS_MAX);
    std::vector<lxw_row_t> breaks;
    for (qsizetype b : sheet.pageBreaks) {
        if (breaks.size() >= Sheet::kMaxPageBreaks) break;
        breaks.push_back(static_cast<lxw_row_t>(b));  // "between rows b and b+1" counted from 1
    }
    const qsizetype tailFrom = page.tailRowHeight > 0 ? sheet.pageBreaks.back() : rows;
    breaks.push_back(0);
    if (breaks.size() > 1) worksheet_set_h_pagebreaks(ws, breaks.data());
    lxw_row_col_options hidden{};
    hidden.hidden = LXW_TRUE;
    auto nextHidden = sheet.hiddenRows.cbegin();
    for (qsizetype r = 0; r < rows; ++r) {
        // A row's height and look go before its cells: the rows are written as they come.
        const lxw_row_t at = static_cast<lxw_row_t>(r);
        while (nextHidden != sheet.hiddenRows.cend() && *nextHidden < r) ++nextHidden;
        const bool hide = nextHidden != sheet.hiddenRows.cend() && *nextHidden == r;
        const double height = r >= tailFrom ? page.tailRowHeight : LXW_DEF_ROW_HEIGHT;
        if (hide) worksheet_set_row_opt(ws, at, height, nullptr, &hidden);
        else if (r >= tailFrom) worksheet_set_row(ws, at, height, nullptr);
        const QStringList cells = sheet.row(r);
        for (qsizetype c = 0; c < cells.size() && c < LXW_COL_MAX; ++c) {
            const QByteArray text = CellText(cells.at(c));
            if (text.isEmpty()) continue;
            double number = 0;
            int decimals = 0;
            bool grouped = false;
            if (sheet.fields && ReportNumber(cells.at(c), &number, &decimals, &grouped))
                worksheet_write_number(ws, at, static_cast<lxw_col_t>(c), number, numberFormat(decimals, grouped));
            else
                worksheet_write_string(ws, at, static_cast<lxw_col_t>(c), text.constData(), report);
        }
    }
    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR)
        return fail(QStringLiteral("Cannot save '%1': %2").arg(path, QString::fromUtf8(lxw_strerror(rc))));
    if (!IsWholeWorkbook(part.partName()) || !part.commit()) return fail(QStringLiteral("Cannot save '%1'.").arg(path));
    return true;
}
