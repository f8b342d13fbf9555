#include "DocumentModel.h"

#include <QDir>
#include <QFileInfo>

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
    const qsizetype n = text.count(find);
    if (n == 0) return 0;
    text.replace(find, withWordCodes(replacement));
    modified = true;
    return n;
}

bool TextDocumentModel::loadText(const QString& file) {
    bool ok = false;
    const QStringList lines = ReadTextLines(file, &ok);
    if (!ok) return false;
    path = file;
    text = lines.join(QLatin1Char('\n'));
    fromSavedFile = false;
    return true;
}

QString WithExtension(const QString& path, const QString& extension) {
    const QFileInfo fi(path);
    const QString base = fi.suffix().isEmpty() ? fi.fileName() : fi.completeBaseName();
    return fi.dir().filePath(base + QLatin1Char('.') + extension);
}
