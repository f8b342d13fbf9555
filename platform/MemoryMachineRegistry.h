#pragma once
#include <QMap>

#include "MachineRegistry.h"

// Registry values held in memory, filled by code (tests) or from a data file
// (FileMachineRegistry). Keys and value names match without regard to case;
// "HKLM", "HKCU", "HKCR" and "HKU" stand for their long root names; a key
// exists when it or any key below it holds a value.
class MemoryMachineRegistry : public MachineRegistry {
public:
    std::optional<QString> query(const QString& key, const QString& value) override;
    bool keyExists(const QString& key) override;
    std::optional<RegistryValue> lookup(const QString& key, const QString& value) override;

    void setValue(const QString& key, const QString& name, const RegistryValue& value);
    void setString(const QString& key, const QString& name, const QString& text);
    void clear() { keys_.clear(); }

    // "hklm/Software\\\\X\\" -> "hkey_local_machine\\software\\x"
    static QString normalizeKey(const QString& key);

protected:
    // Called before every look-up (FileMachineRegistry reads its file there).
    virtual void ensureLoaded() {}

private:
    QMap<QString, QMap<QString, RegistryValue>> keys_;
};
