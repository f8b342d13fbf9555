#include "PcFileName.h"

#include <QFileInfo>

#include "RunContext.h"
#include "Codec.h"
#include "WorkDirectory.h"

namespace {
QString part(const std::string& bytes) { return SafeNamePart(Codec::toUnicode(Trim(bytes))); }

QString counterSuffix(int counter) { return QStringLiteral(" %1").arg(counter, 3, 10, QLatin1Char('0')); }

// A candidate is taken when anything of that name exists (a folder cannot be
// written as a file either).
bool taken(const QString& candidate) { return QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); }
}  // namespace

QString AttributeName(RunContext& ctx, const SpoolFileRow& row) {
    const QString F = part(row.fileName());
    const QString U = part(row.user());
    const QString N = part(row.jobNumber());
    const QString D = part(row.userData());
    // The job name stops before a "/" at its 2nd to 10th character.
    std::string job = row.columns(75, 84);
    const size_t slash = job.find('/');
    if (slash != std::string::npos && slash >= 1) job = job.substr(0, slash);
    const QString J = part(job);
    const QString S = part(row.spooledFileNumber());
    auto cols = [&](int a, int b) { return SafeNamePart(Codec::toUnicode(row.columns(a, b))); };
    const QString T = cols(48, 51) + QLatin1Char('-') + cols(53, 54) + QLatin1Char('-') + cols(56, 57) +
                      QLatin1Char(' ') + cols(59, 60) + QLatin1Char('-') + cols(62, 63) + QLatin1Char('-') +
                      cols(65, 66);

    QStringList order{F, J, U, N, S, T};
    auto on = [&](const SettingKey& key) { return ctx.services.getSetting(key) == QLatin1String("True"); };
    if (on(Setting::UseJobName)) order = {J, F, U, N, S, T};
    if (on(Setting::UseJobNumber)) order = {N, F, J, U, S, T};
    if (on(Setting::UseUserName)) order = {U, F, J, N, S, T};
    if (on(Setting::UseDateAndTime)) order = {T, U, F, J, N, S};
    if (on(Setting::UseUserData)) order = D.isEmpty() ? QStringList{J, F, U, N, S, T} : QStringList{D, J, F, U, N, S, T};
    return order.join(QLatin1Char(' '));
}

QString BuildPcFileName(RunContext& ctx, QString& directory, const SpoolFileRow& row, bool useAttributes,
                        QString& extension) {
    const bool hasDir = !directory.trimmed().isEmpty();
    if (hasDir && !EndsWithSeparator(directory)) directory += PathSeparator();
    if (extension.isEmpty()) extension = QStringLiteral("txt");
    const QString dot = QStringLiteral(".") + extension;
    const QString batch = ctx.download.gBatchFileName.trimmed();

    std::function<QString(const QString&)> candidate;
    if (useAttributes && ctx.services.getSetting(Setting::FullName) == QLatin1String("1")) {
        const QString base = (batch + QLatin1Char(' ') + AttributeName(ctx, row)).trimmed();
        candidate = [&, base](const QString& suffix) {
            return hasDir ? directory + base + suffix + dot : base + suffix.mid(1) + dot;
        };
    } else {
        const QString stem = hasDir || batch.isEmpty() ? QStringLiteral("Spwrt") : batch;
        candidate = [&, stem](const QString& suffix) { return (hasDir ? directory : QString()) + stem + suffix.mid(1) + dot; };
    }
    QString name = candidate(QString());
    for (int counter = 1; taken(name); ++counter) name = candidate(counterSuffix(counter));
    return name;
}

QString BuildPcFileName(RunContext& ctx, QString directory, const SpoolFileRow& row, bool useAttributes,
                        const QString& extension) {
    QString ext = extension;
    return BuildPcFileName(ctx, directory, row, useAttributes, ext);
}

QString NextFreeName(const QString& path, const QSet<QString>& takenNames) {
    const QFileInfo fi(path);
    const QString dir = path.left(path.size() - fi.fileName().size());
    const QString suffix = fi.suffix();
    const QString stem = suffix.isEmpty() ? fi.fileName() : fi.fileName().chopped(suffix.size() + 1);
    const QString dot = suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
    // Attribute names number with a blank before the counter, short names without.
    const bool blank = stem.contains(QLatin1Char(' '));
    for (int counter = 1;; ++counter) {
        const QString c = counterSuffix(counter);
        const QString name = dir + stem + (blank ? c : c.mid(1)) + dot;
        if (!taken(name) && !takenNames.contains(QFileInfo(name).absoluteFilePath())) return name;
    }
}
