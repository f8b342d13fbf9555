#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

// One value of the machine-wide registry, with the type it was stored as.
struct RegistryValue {
    enum Type { String = 1, ExpandString = 2, Binary = 3, Dword = 4, MultiString = 7 };
    Type type = String;
    QString text;       // String, ExpandString, MultiString (lines joined by '\n')
    QByteArray data;    // Binary
    quint32 number = 0;  // Dword
};

// Read-only machine-wide look-ups (RegOpenKeyEx / RegQueryValueEx): which
// programs are installed and where. On Linux a data file; nothing is found
// when it is absent.
class MachineRegistry {
public:
    virtual ~MachineRegistry() = default;
    // key like "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office"; value "" is the default value.
    // The text of a string value.
    virtual std::optional<QString> query(const QString& key, const QString& value) = 0;
    virtual bool keyExists(const QString& key) = 0;
    // The value with its type; by default every value found by query() is a string.
    virtual std::optional<RegistryValue> lookup(const QString& key, const QString& value) {
        std::optional<QString> text = query(key, value);
        if (!text) return std::nullopt;
        RegistryValue v;
        v.text = *text;
        return v;
    }
};
