#include "SheetModel.h"

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

QList<int> FixedWidthBreaks(const QStringList& lines) {
    qsizetype width = 0;
    for (const QString& l : lines) width = std::max(width, l.size());
    std::vector<bool> used(static_cast<std::size_t>(width), false);
    for (const QString& l : lines)
        for (qsizetype i = 0; i < l.size(); ++i)
            if (!l.at(i).isSpace()) used[static_cast<std::size_t>(i)] = true;
    QList<int> starts{0};
    for (qsizetype i = 1; i < width; ++i)
        if (used[static_cast<std::size_t>(i)] && !used[static_cast<std::size_t>(i - 1)]) starts << static_cast<int>(i);
    return starts;
}

QStringList SplitAt(const QString& line, const QList<int>& starts) {
    QStringList out;
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const qsizetype from = starts.at(i);
        const qsizetype to = i + 1 < starts.size() ? starts.at(i + 1) : line.size();
        out << (from < line.size() ? line.mid(from, std::max<qsizetype>(to - from, 0)).trimmed() : QString());
    }
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
    for (auto it = sheet.columnWidths.cbegin(); it != sheet.columnWidths.cend(); ++it)
        worksheet_set_column(ws, static_cast<lxw_col_t>(it.key()), static_cast<lxw_col_t>(it.key()), it.value(), nullptr);
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
            worksheet_write_string(ws, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), text.constData(), nullptr);
        }
    }
    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR)
        return fail(QStringLiteral("Cannot save '%1': %2").arg(path, QString::fromUtf8(lxw_strerror(rc))));
    if (!IsWholeWorkbook(part.partName()) || !part.commit()) return fail(QStringLiteral("Cannot save '%1'.").arg(path));
    return true;
}
