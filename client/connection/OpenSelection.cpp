#include "OpenSelection.h"

#include "SplfGrid.h"

bool normaliseSelection(SpoolSelection& s) {
    s.outq = s.outq.trimmed().toUpper();
    s.user = s.user.trimmed().toUpper();
    s.library = s.library.trimmed().toUpper();
    const QString all = QStringLiteral("*ALL");
    if (s.outq.isEmpty() && !s.user.isEmpty()) s.outq = all;
    if (s.library.isEmpty() && !s.user.isEmpty()) s.library = all;
    if (!s.outq.isEmpty() && s.user.isEmpty()) s.user = all;
    if (s.outq.isEmpty() || (s.outq != all && s.library.isEmpty())) return false;
    if (s.user == QLatin1String("CURRENT")) s.user = QStringLiteral("*CURRENT");
    if (s.user == QLatin1String("ALL")) s.user = all;
    if (s.outq == QLatin1String("ALL")) s.outq = all;
    if (s.outq == all) s.library.clear();
    return true;
}

namespace {
struct GridColumn {
    const char* key;
    const char* header;
    int width;
};
constexpr GridColumn kColumns[] = {
    {"Date", "Date and Time", 130}, {"File", "Spool File", 85}, {"User", "User", 75},
    {"Outq", "Outq", 80},           {"Pages", "Pages", 60},     {"Form", "Form", 50},
    {"JobNumber", "Job#", 50},      {"Job", "Job/Seq#", 90},    {"UserData", "User Data", 75},
};
}  // namespace

void defineSplfGridColumns(SplfGrid& grid) {
    grid.clear(true);
    for (const GridColumn& c : kColumns)
        grid.addColumn(QString::fromLatin1(c.key), QString::fromLatin1(c.header), c.width);
}

QString splfScreenCaption(const QString& library, const QString& outq, const QString& user) {
    return QStringLiteral("iSeries Spool Files - ") + library.trimmed() + QLatin1Char('/') + outq.trimmed() +
           QLatin1Char('/') + user.trimmed();
}
