#include "DownloadOptions.h"

#include "SettingKeys.h"
#include "SettingValues.h"

namespace {
bool isTrue(const QString& v) { return v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0; }
}  // namespace

std::optional<bool> TruthOf(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok) return d != 0;
    return std::nullopt;
}

void ReadDialogOptions(DownloadOptions& o, const std::function<QString(const QString& key)>& setting) {
    auto get = [&](const SettingKey& key) { return setting(key.stored()); };
    o.naming.fullName = get(Setting::FullName) == QLatin1String("1");
    o.naming.useFileName = isTrue(get(Setting::UseFileName));
    o.naming.useJobName = isTrue(get(Setting::UseJobName));
    o.naming.useJobNumber = isTrue(get(Setting::UseJobNumber));
    o.naming.useUserName = isTrue(get(Setting::UseUserName));
    o.naming.useDateAndTime = isTrue(get(Setting::UseDateAndTime));
    o.naming.useUserData = isTrue(get(Setting::UseUserData));
    const QString savePath = get(Setting::SavePath);
    o.naming.savePath = IsStored(savePath) ? savePath : QString();

    for (size_t i = 0; i < 3; ++i) {
        const QString font = get(Setting::PrintFontSize[i]).trimmed();
        if (HasText(font)) o.printer.fontSize[i] = font;
        // "Orientation 1" is true for portrait, the other two for landscape; a
        // value that is no truth value counts as not stored.
        if (const std::optional<bool> truth = TruthOf(get(Setting::PrintOrientation[i]))) {
            o.printer.landscape[i] = i == 0 ? !*truth : *truth;
            o.printer.orientationSet[i] = true;
        }
    }
}
