#include "RegistryAccess.h"

#include "Codec.h"

namespace {
constexpr qsizetype kDefaultValueBuffer = 100;
constexpr qsizetype kValueBuffer = 1024;

QString rootName(qint32 root) {
    switch (root) {
        case kHkeyClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
        case kHkeyCurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
        case kHkeyLocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
        case kHkeyUsers: return QStringLiteral("HKEY_USERS");
        default: return {};
    }
}

// Bytes the value's data takes, a string's terminating NUL included.
qsizetype dataSize(const RegistryValue& v) {
    switch (v.type) {
        case RegistryValue::Dword: return 4;
        case RegistryValue::Binary: return v.data.size();
        case RegistryValue::MultiString: return static_cast<qsizetype>(Codec::fromUnicode(v.text).size()) + 2;
        default: return static_cast<qsizetype>(Codec::fromUnicode(v.text).size()) + 1;
    }
}
}  // namespace

QString ReadMachineRegistryValue(MachineRegistry& registry, const QString& subKey, qint32& length) {
    length = 0;
    const std::optional<QString> text =
        registry.query(QStringLiteral("HKEY_LOCAL_MACHINE\\") + subKey, QString());
    if (!text) return {};
    RegistryValue v;
    v.text = *text;
    const qsizetype size = dataSize(v);
    if (size > kDefaultValueBuffer) return {};
    length = static_cast<qint32>(size);
    return *text;
}

bool ReadRegistryValue(MachineRegistry& registry, qint32 rootKey, const QString& subKey, const QString& valueName,
                       QString& result) {
    const QString root = rootName(rootKey);
    const QString key = root + QLatin1Char('\\') + subKey;
    if (root.isEmpty() || !registry.keyExists(key)) {
        result.clear();
        return false;
    }
    const std::optional<RegistryValue> v = registry.lookup(key, valueName);
    if (!v || dataSize(*v) > kValueBuffer) {
        result.clear();
        return false;
    }
    if (v->type == RegistryValue::String)
        result = v->text;
    else if (v->type == RegistryValue::Dword)
        result = QString::number(v->number);
    return true;
}
