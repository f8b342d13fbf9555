#pragma once
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Office files read back by readers that are not ours: .xlsx by Debian's
// python3-openpyxl, .odt by unzip and an XML parser. An empty object when
// the reader failed (its error is printed).
QJsonObject XlsxFacts(const QString& file);
QJsonObject OdtFacts(const QString& file);

// A text work file as the core transfer writes it for an office program:
// Windows code page, CR LF, and between pages a line holding only the
// page-break mark (character 149).
void WriteMarkedReport(const QString& file, const QList<QStringList>& pages);
// The lines of those pages without marks, in order.
QStringList LinesOf(const QList<QStringList>& pages);
