#pragma once
#include <QString>

// The per-user store of remembered values (the registry's GetSetting and
// SaveSetting): application title, section, key -> text value. Keys match
// without regard to case; values are kept byte-exact.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString get(const QString& app, const QString& section, const QString& key,
                        const QString& def) = 0;
    virtual void save(const QString& app, const QString& section, const QString& key,
                      const QString& value) = 0;
    virtual void remove(const QString& app, const QString& section, const QString& key) = 0;
    // Why the values of `app` cannot be read ("" when they can, or when there
    // are none); asks without changing anything.
    // The file that holds the values of `app`, for a message that names it
    // ("" when they are kept in no file).
    virtual QString fileName(const QString& app) const {
        (void)app;
        return {};
    }
    virtual QString readProblem(const QString& app) {
        (void)app;
        return {};
    }
};
