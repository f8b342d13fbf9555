#include "DocumentModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <cstdio>

#include "SheetModel.h"

qsizetype TextDocumentModel::replaceAll(const QString& find, const QString& replacement) {
    if (find.isEmpty()) return 0;
    const qsizetype n = text.count(find);
    if (n == 0) return 0;
    QString with = replacement;
    with.replace(QLatin1String("^m"), QStringLiteral("\f")).replace(QLatin1String("^p"), QStringLiteral("\n"));
    text.replace(find, with);
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

bool WriteOdt(const TextDocumentModel& model, const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) return fail(QStringLiteral("The folder of '%1' does not exist.").arg(path));
    QTextDocument doc;
    QTextCharFormat chars;
    if (!model.fontFamily.isEmpty()) chars.setFontFamilies({model.fontFamily});
    if (model.fontSize > 0) chars.setFontPointSize(model.fontSize);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    bool first = true;
    bool breakPending = false;
    auto paragraph = [&](const QString& text) {
        QTextBlockFormat block;
        if (breakPending) block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        breakPending = false;
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(chars);
            first = false;
        } else {
            cursor.insertBlock(block, chars);
        }
        if (!text.isEmpty()) cursor.insertText(text, chars);
    };
    for (QStringView line : QStringView(model.text).split(QLatin1Char('\n'))) {
        const QList<QStringView> pieces = line.split(QLatin1Char('\f'));
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0) {
                // A break while one waits: the waiting one needs a paragraph of its own.
                if (breakPending) paragraph(QString());
                breakPending = true;
            }
            if (!pieces.at(i).isEmpty() || (i == 0 && pieces.size() == 1)) paragraph(pieces.at(i).toString());
        }
    }
    if (breakPending) paragraph(QString());
    cursor.endEditBlock();

    const QString partial = target.absoluteDir().filePath(QStringLiteral(".%1.partial").arg(target.fileName()));
    QTextDocumentWriter writer(partial, QByteArrayLiteral("odf"));
    if (!writer.write(&doc)) {
        QFile::remove(partial);
        return fail(QStringLiteral("Cannot save '%1'.").arg(path));
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(partial);
        return fail(QStringLiteral("Cannot save '%1'.").arg(path));
    }
    return true;
}
