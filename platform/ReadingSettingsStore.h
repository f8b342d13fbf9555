#pragma once
#include <QSet>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "SettingsStore.h"

// The remembered values of a run that must leave them as they were (an
// unattended one): it reads the store beneath, and what it saves or removes
// holds for this run only, in memory; only the keys in `writtenThrough`
// reach the store beneath.
class ReadingSettingsStore : public SettingsStore {
public:
    ReadingSettingsStore(std::unique_ptr<SettingsStore> beneath, QSet<QString> writtenThrough);

    QString get(const QString& app, const QString& section, const QString& key, const QString& def) override;
    void save(const QString& app, const QString& section, const QString& key, const QString& value) override;
    void remove(const QString& app, const QString& section, const QString& key) override;
    QString readProblem(const QString& app) override;

    SettingsStore* beneath() const { return beneath_.get(); }

private:
    using Name = std::tuple<QString, QString, QString>;  // app, section and key, folded
    static Name nameOf(const QString& app, const QString& section, const QString& key);
    bool writesThrough(const QString& key) const { return writtenThrough_.contains(key.toCaseFolded()); }

    std::unique_ptr<SettingsStore> beneath_;
    QSet<QString> writtenThrough_;
    std::map<Name, std::optional<QString>> run_;  // the run's own values; none: removed
};
