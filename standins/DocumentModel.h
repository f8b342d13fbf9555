#pragma once
#include <QList>
#include <QDateTime>
#include <QString>
#include <functional>

// A word-processor document: paragraphs separated by '\n', manual page
// breaks as '\f', one font for the whole text.
struct TextDocumentModel {
    QString path;        // the file it was opened from or last saved as
    // The text; while `source` is set, the lines of that file (with `pending`
    // applied to each in turn) are the text and this is empty: a report of
    // any length is replaced in and saved without being held. content()
    // reads it in for what needs it whole.
    QString text;
    QString source;
    struct Replacement {
        QString find, replacement;  // neither holds '\n'
        bool wholeLine = false;     // found as "\n" find "\n": a line of its own between two others
    };
    QList<Replacement> pending;
    QString fontFamily;  // empty: the program's default (a proportional font)
    double fontSize = 0;  // 0: the program's default
    bool fromSavedFile = false;  // opened from a document file, content not read
    bool modified = false;
    bool shown = false;

    // Every `find` becomes `replacement`; "^m" is a manual page break and
    // "^p" a paragraph mark, as the word processors write them. Returns the count.
    qsizetype replaceAll(const QString& find, const QString& replacement);
    // A text file (Windows code page) as the document.
    bool loadText(const QString& file);
    QString& content();
    // Each line of the text in turn, without holding it all; false when the source could not be read.
    bool forEachLine(const std::function<void(QStringView)>& line) const;
    qsizetype* counting_ = nullptr;  // set: forEachLine counts the last replacement's finds here
    qsizetype pageBreakCount() const {
        qsizetype n = 0;
        forEachLine([&](QStringView l) { n += l.count(QLatin1Char('\f')); });
        return n;
    }
};

// Writes the document as OpenDocument text, a paragraph per line in the
// document's font: each '\f' starts the next paragraph on a new page. Written
// beside the target and renamed over it when complete. Its parts are dated `when`.
bool WriteOdt(const TextDocumentModel& doc, const QString& path, const QDateTime& when, QString* error);

// `path` with the extension of the format actually written (".doc" asked, ".odt" written).
QString WithExtension(const QString& path, const QString& extension);
