#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Office files read back by readers that are not ours: .xlsx by Debian's
// python3-openpyxl, .odt by Python's zipfile and XML parser. An empty object when
// the reader failed (its error is printed).
QJsonObject XlsxFacts(const QString& file);
QJsonObject OdtFacts(const QString& file);

// A text work file as the core transfer writes it for an office program:
// Windows code page, CR LF, and between pages a line holding only the
// page-break mark (character 149).
void WriteMarkedReport(const QString& file, const QList<QStringList>& pages);
// The lines of those pages without marks, in order.
QStringList LinesOf(const QList<QStringList>& pages);

// XDG_RUNTIME_DIR of a test's own (mode 0700), where the local DDE
// conversations listen; the old value is put back afterwards.
struct PrivateRuntimeDir {
    PrivateRuntimeDir();
    ~PrivateRuntimeDir();
    QTemporaryDir dir;
    QByteArray old;
};

// A program standing for the desktop's opener, named as it is (xdg-open, so
// that its folder may go first in a PATH): it appends each file it is asked
// to show to a log, one a line.
struct RecordingOpener {
    RecordingOpener();
    QString program() const { return dir.filePath(QStringLiteral("xdg-open")); }
    // The files shown so far, waiting up to `waitMs` for the first one.
    QStringList shown(int waitMs = 0) const;
    QTemporaryDir dir;
};
