#pragma once
#include <QString>

// A word-processor document: paragraphs separated by '\n', manual page
// breaks as '\f', one font for the whole text.
struct TextDocumentModel {
    QString path;        // the file it was opened from or last saved as
    QString text;
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
    qsizetype pageBreakCount() const { return text.count(QLatin1Char('\f')); }
};

// Writes the document as OpenDocument text, a paragraph per line in the
// document's font: each '\f' starts the next paragraph on a new page. Written
// beside the target and renamed over it when complete.
bool WriteOdt(const TextDocumentModel& doc, const QString& path, QString* error);

// `path` with the extension of the format actually written (".doc" asked, ".odt" written).
QString WithExtension(const QString& path, const QString& extension);
