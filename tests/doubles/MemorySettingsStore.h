#pragma once
#include <QMap>

#include "SettingsStore.h"

// Test double: remembered values in memory, keys without regard to case.
class MemorySettingsStore : public SettingsStore {
public:
    QString get(const QString& app, const QString& section, const QString& key, const QString& def) override {
        return values_.value(id(app, section, key), def);
    }
    void save(const QString& app, const QString& section, const QString& key, const QString& value) override {
        values_[id(app, section, key)] = value;
    }
    void remove(const QString& app, const QString& section, const QString& key) override {
        values_.remove(id(app, section, key));
    }
    bool contains(const QString& app, const QString& section, const QString& key) const {
        return values_.contains(id(app, section, key));
    }

private:
    static QString id(const QString& a, const QString& s, const QString& k) {
        return (a + QLatin1Char('\x1f') + s + QLatin1Char('\x1f') + k).toLower();
    }
    QMap<QString, QString> values_;
};
