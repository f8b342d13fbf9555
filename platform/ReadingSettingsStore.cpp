#include "ReadingSettingsStore.h"

ReadingSettingsStore::ReadingSettingsStore(std::unique_ptr<SettingsStore> beneath, QSet<QString> writtenThrough)
    : beneath_(std::move(beneath)) {
    for (const QString& key : writtenThrough) writtenThrough_.insert(key.toCaseFolded());
}

ReadingSettingsStore::Name ReadingSettingsStore::nameOf(const QString& app, const QString& section, const QString& key) {
    return {app.toCaseFolded(), section.toCaseFolded(), key.toCaseFolded()};
}

QString ReadingSettingsStore::get(const QString& app, const QString& section, const QString& key, const QString& def) {
    if (const auto own = run_.find(nameOf(app, section, key)); own != run_.end()) return own->second.value_or(def);
    return beneath_ ? beneath_->get(app, section, key, def) : def;
}

void ReadingSettingsStore::save(const QString& app, const QString& section, const QString& key, const QString& value) {
    if (writesThrough(key) && beneath_) {
        run_.erase(nameOf(app, section, key));
        beneath_->save(app, section, key, value);
        return;
    }
    run_[nameOf(app, section, key)] = value;
}

void ReadingSettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    if (writesThrough(key) && beneath_) {
        run_.erase(nameOf(app, section, key));
        beneath_->remove(app, section, key);
        return;
    }
    run_[nameOf(app, section, key)] = std::nullopt;
}

QString ReadingSettingsStore::readProblem(const QString& app) { return beneath_ ? beneath_->readProblem(app) : QString(); }
