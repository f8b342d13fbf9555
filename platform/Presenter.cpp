#include "Presenter.h"

#include <QStringList>

QString Presenter::existingDirectory(QWidget*, const QString&, const QString&) { return {}; }

bool Presenter::printDialog(QWidget*, QPrinter*) { return true; }

QString Presenter::qtFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|'))) return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString suffix = QStringLiteral("(") + patterns + QStringLiteral(")");
        // Qt reads the patterns from the last parentheses of each entry.
        out << (desc.endsWith(suffix) ? desc : (desc.isEmpty() ? suffix : desc + QLatin1Char(' ') + suffix));
    }
    return out.join(QStringLiteral(";;"));
}
