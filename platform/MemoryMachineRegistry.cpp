#include "MemoryMachineRegistry.h"

#include <QStringList>

QString MemoryMachineRegistry::normalizeKey(const QString& key) {
    QString k = key;
    k.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QStringList parts = k.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty()) {
        static const QMap<QString, QString> kRoots = {{QStringLiteral("hklm"), QStringLiteral("hkey_local_machine")},
                                                      {QStringLiteral("hkcu"), QStringLiteral("hkey_current_user")},
                                                      {QStringLiteral("hkcr"), QStringLiteral("hkey_classes_root")},
                                                      {QStringLiteral("hku"), QStringLiteral("hkey_users")}};
        const QString root = parts.first().toCaseFolded();
        parts.first() = kRoots.value(root, root);
    }
    return parts.join(QLatin1Char('\\')).toCaseFolded();
}

void MemoryMachineRegistry::setValue(const QString& key, const QString& name, const RegistryValue& value) {
    keys_[normalizeKey(key)][name.toCaseFolded()] = value;
}

void MemoryMachineRegistry::setString(const QString& key, const QString& name, const QString& text) {
    RegistryValue v;
    v.text = text;
    setValue(key, name, v);
}

std::optional<RegistryValue> MemoryMachineRegistry::lookup(const QString& key, const QString& value) {
    ensureLoaded();
    const auto k = keys_.constFind(normalizeKey(key));
    if (k == keys_.constEnd()) return std::nullopt;
    const auto v = k->constFind(value.toCaseFolded());
    if (v == k->constEnd()) return std::nullopt;
    return *v;
}

std::optional<QString> MemoryMachineRegistry::query(const QString& key, const QString& value) {
    const std::optional<RegistryValue> v = lookup(key, value);
    if (!v || (v->type != RegistryValue::String && v->type != RegistryValue::ExpandString)) return std::nullopt;
    return v->text;
}

bool MemoryMachineRegistry::keyExists(const QString& key) {
    ensureLoaded();
    const QString k = normalizeKey(key);
    if (k.isEmpty()) return false;
    const QString below = k + QLatin1Char('\\');
    for (auto it = keys_.lowerBound(k); it != keys_.constEnd(); ++it) {
        if (it.key() == k || it.key().startsWith(below)) return true;
        if (!it.key().startsWith(k)) break;
    }
    return false;
}
