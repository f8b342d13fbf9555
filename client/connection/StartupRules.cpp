#include "StartupRules.h"

#include <QLocale>

#include "Services.h"
#include "SettingKeys.h"
#include "WorkDirectory.h"

QString commandLineOf(const QStringList& arguments) {
    // Each shell argument is one parameter: joined by the separator the batch run splits at.
    return arguments.mid(1).join(QLatin1Char(','));
}

std::optional<bool> readAsBoolean(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double d = QLocale::c().toDouble(t, &ok);
    if (ok) return d != 0.0;
    return std::nullopt;
}

void SeedFirstStart(Services& services, std::optional<int> startStep) {
    for (const Setting::FirstStartSeed& seed : Setting::FirstStart) {
        if (startStep && seed.startStep != *startStep) continue;
        if (seed.key == &Setting::SavePath) services.seedSetting(*seed.key, SystemTempFolder(services));
        else services.seedSetting(*seed.key);
    }
}
