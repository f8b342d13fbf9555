#pragma once
#include <QString>
#include <optional>

// Read-only machine-wide look-ups (RegOpenKeyEx / RegQueryValueEx): which
// programs are installed and where. On Linux a data file; nothing is found
// when it is absent.
class MachineRegistry {
public:
    virtual ~MachineRegistry() = default;
    // key like "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office"; value "" is the default value.
    virtual std::optional<QString> query(const QString& key, const QString& value) = 0;
    virtual bool keyExists(const QString& key) = 0;
};
