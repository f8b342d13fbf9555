#include "DownloadOptions.h"

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
    auto get = [&](const char* key) { return setting(QString::fromLatin1(key)); };
    o.naming.fullName = get("FullName") == QLatin1String("1");
    o.naming.useFileName = isTrue(get("Use file name"));
    o.naming.useJobName = isTrue(get("Use job name"));
    o.naming.useJobNumber = isTrue(get("Use job number"));
    o.naming.useUserName = isTrue(get("Use user name"));
    o.naming.useDateAndTime = isTrue(get("Use date and time"));
    o.naming.useUserData = isTrue(get("Use user data"));
    const QString savePath = get("Save Path");
    o.naming.savePath = IsStored(savePath) ? savePath : QString();

    const char* const fontKeys[] = {"80 Fontsize", "132 Fontsize", "198 Fontsize"};
    const char* const orientationKeys[] = {"Orientation 1", "Orientation 2", "Orientation 3"};
    for (size_t i = 0; i < 3; ++i) {
        const QString font = get(fontKeys[i]).trimmed();
        if (IsStored(font) && !font.isEmpty()) o.printer.fontSize[i] = font;
        // "Orientation 1" is true for portrait, the other two for landscape; a
        // value that is no truth value counts as not stored.
        if (const std::optional<bool> truth = TruthOf(get(orientationKeys[i]))) {
            o.printer.landscape[i] = i == 0 ? !*truth : *truth;
            o.printer.orientationSet[i] = true;
        }
    }
}
