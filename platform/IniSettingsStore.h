#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "SettingsStore.h"

// The remembered values on disk: one INI file per application title in the
// user's config folder ("<folder>/<title>.ini"), mode 0600.
//
// Format (UTF-8; lines end in LF, CR LF is read too):
//   ; comment            (lines starting with ';' or '#')
//   [Settings]
//   Save Path="/home/ann/spool/"
// Values stand in double quotes. Inside them \\ and \" are the backslash and
// the quote, \xHH and \uHHHH any other character, so every value comes back
// exactly, leading and trailing blanks and control characters included. A
// value without quotes (edited by hand) is taken trimmed. Section and key names
// use the same escapes and match without regard to case.
//
// Every save re-reads the file under a lock file and writes it whole through
// QSaveFile, so a crash never leaves half a file and two runs do not lose each
// other's values. A file that cannot be read is reported once through `problem`
// and the store answers the defaults: a damaged file is moved aside to
// "<file>.damaged" before anything new is written; an unreadable one is never
// overwritten (values saved in this run are then kept in memory only).
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(QString folder, std::function<void(const QString&)> problem = {});

    QString get(const QString& app, const QString& section, const QString& key, const QString& def) override;
    void save(const QString& app, const QString& section, const QString& key, const QString& value) override;
    void remove(const QString& app, const QString& section, const QString& key) override;
    // A file that cannot be read or is damaged, looked at without moving it aside.
    QString readProblem(const QString& app) override;

    // A run that ends on a file it cannot read (an unattended one): the
    // problem's message says nothing of going on with the defaults.
    void endOnProblem() { goesOn_ = false; }

    QString fileName(const QString& app) const override;
    const QString& folder() const { return folder_; }

    // The file's content: sections in file order, each with its keys in order.
    struct Section {
        QString name;
        std::vector<std::pair<QString, QString>> keys;
    };
    using Content = std::vector<Section>;
    // Parses a file; false with a reason ("line 3: ...") when it is damaged.
    static bool parse(const QByteArray& data, Content& out, QString* error = nullptr);
    static QByteArray serialize(const Content& content, const QString& app);

private:
    struct File {
        QString path;
        Content content;
        bool loaded = false;
        bool memoryOnly = false;  // the file could not be read: never overwrite it
        bool reportedRead = false;
        bool reportedWrite = false;
        bool unsaved = false;  // the last write failed
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
    };
    File& file(const QString& app);
    // Reads the file afresh; returns a message for the user, or "".
    QString load(File& f);
    QString refreshIfChanged(File& f);
    void change(const QString& app, const QString& section, const QString& key, const QString* value);
    QString write(File& f, const QString& app);
    void stamp(File& f);
    void report(const QString& message);

    QString folder_;
    std::function<void(const QString&)> problem_;
    bool goesOn_ = true;
    std::map<QString, File> files_;
};
