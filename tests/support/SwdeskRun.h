#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The real Swdesk started with a command line, as a nightly job starts it:
// its own home (settings under config/Tolvane), no display. While it runs
// this thread lets events run, so that an in-process hostsim can answer.
//
//   SwdeskHome home;
//   home.setting("URL", host.address());
//   const SwdeskRun r = home.run({"SETS:" + path, "FILE:*ALL"});
struct SwdeskRun {
    int exitCode = -1;  // -1: it did not end by itself within the time limit (a failure is added)
    QString out, err;
};

class SwdeskHome {
public:
    SwdeskHome();
    bool isValid() const { return home_.isValid(); }
    QString path(const QString& name = QString()) const;
    // A remembered setting, section "Settings".
    void setting(const char* key, const QString& value);
    // The sign-on password, stored scrambled as Swdesk keeps it.
    void savePassword(const QString& password);
    SwdeskRun run(const QStringList& args, int limitMs = 90000);

private:
    QTemporaryDir home_;
};
