#include "DocumentModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Codec.h"
#include "SheetModel.h"

namespace {
// Word's codes in a find or replacement text: "^m" a manual page break, "^p" a paragraph mark.
QString withWordCodes(QString s) {
    return s.replace(QLatin1String("^m"), QStringLiteral("\f")).replace(QLatin1String("^p"), QStringLiteral("\n"));
}
}  // namespace

qsizetype TextDocumentModel::replaceAll(const QString& findText, const QString& replacement) {
    const QString find = withWordCodes(findText);
    if (find.isEmpty()) return 0;
    const QString with = withWordCodes(replacement);
    const QChar nl(QLatin1Char('\n'));
    // What stays within lines, or turns a line of its own into another, is
    // done line by line when the text is read: the report is never held.
    Replacement r;
    if (!find.contains(nl) && !with.contains(nl)) {
        r = {find, with, false};
    } else if (find.size() > 2 && find.startsWith(nl) && find.endsWith(nl) && with.size() >= 2 && with.startsWith(nl) &&
               with.endsWith(nl) && !find.mid(1, find.size() - 2).contains(nl) && !with.mid(1, with.size() - 2).contains(nl)) {
        r = {find.mid(1, find.size() - 2), with.mid(1, with.size() - 2), true};
    }
    if (!source.isEmpty() && !r.find.isEmpty()) {
        const qsizetype before = pending.size();
        pending.append(r);
        qsizetype n = 0;
        // Counted as the whole text would count it: lines before this one already replaced.
        counting_ = &n;
        const bool read = forEachLine([](QStringView) {});
        counting_ = nullptr;
        if (!read || n == 0) {
            pending.resize(before);
            return 0;
        }
        modified = true;
        return n;
    }
    content();
    const qsizetype n = text.count(find);
    if (n == 0) return 0;
    text.replace(find, withWordCodes(replacement));
    modified = true;
    return n;
}

bool TextDocumentModel::loadText(const QString& file) {
    if (!QFileInfo(file).isFile() || !QFileInfo(file).isReadable()) return false;
    path = file;
    source = file;
    pending.clear();
    text.clear();
    fromSavedFile = false;
    return true;
}

bool TextDocumentModel::forEachLine(const std::function<void(QStringView)>& each) const {
    if (source.isEmpty()) {
        qsizetype start = 0;
        while (start <= text.size()) {
            qsizetype end = text.indexOf(QLatin1Char('\n'), start);
            if (end < 0) end = text.size();
            each(QStringView(text).mid(start, end - start));
            start = end + 1;
        }
        return true;
    }
    QFile f(source);
    if (!f.open(QIODevice::ReadOnly)) return false;
    // Lines as the text file holds them (CR LF or LF), read a block at a time
    // and handed on one line late, so that the last one is known as such.
    QByteArray carry;
    QString held;
    bool holding = false, first = true;
    std::vector<bool> consumed(static_cast<std::size_t>(pending.size()), false);
    const auto pass = [&](QString line, bool last) {
        for (qsizetype i = 0; i < pending.size(); ++i) {
            const Replacement& r = pending.at(i);
            const bool counted = counting_ && i + 1 == pending.size();
            if (!r.wholeLine) {
                if (counted) *counting_ += line.count(r.find);
                line.replace(r.find, r.replacement);
                continue;
            }
            // "\n" find "\n" in the whole text: not the first line nor the last, and
            // not right after a line it replaced (that one took the line end between).
            const bool hit = !first && !last && !consumed[std::size_t(i)] && line == r.find;
            consumed[std::size_t(i)] = hit;
            if (hit) {
                if (counted) ++*counting_;
                line = r.replacement;
            }
        }
        first = false;
        each(line);
    };
    const auto give = [&](const QByteArray& raw) {
        QByteArray l = raw;
        if (l.endsWith('\r')) l.chop(1);
        if (holding) pass(held, false);
        held = Codec::toUnicode(l.toStdString());
        holding = true;
    };
    bool any = false;
    while (!f.atEnd()) {
        carry += f.read(1 << 20);
        qsizetype from = 0;
        for (qsizetype nl = carry.indexOf('\n'); nl >= 0; nl = carry.indexOf('\n', from)) {
            give(carry.mid(from, nl - from));
            any = true;
            from = nl + 1;
        }
        carry.remove(0, from);
    }
    if (!carry.isEmpty() || !any) give(carry);
    if (holding) pass(held, true);
    return f.error() == QFileDevice::NoError;
}

QString& TextDocumentModel::content() {
    if (source.isEmpty()) return text;
    QStringList lines;
    forEachLine([&](QStringView l) { lines << l.toString(); });
    text = lines.join(QLatin1Char('\n'));
    source.clear();
    pending.clear();
    return text;
}

QString WithExtension(const QString& path, const QString& extension) {
    const QFileInfo fi(path);
    const QString base = fi.suffix().isEmpty() ? fi.fileName() : fi.completeBaseName();
    return fi.dir().filePath(base + QLatin1Char('.') + extension);
}
