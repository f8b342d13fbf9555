#pragma once
#include <QCommandLineParser>
#include <QString>
#include <vector>

// The FTP server's part of hostsim's command line.
struct FtpOptions {
    bool enabled = false;
    quint16 port = 21;
    bool freshHost = false;  // no server library yet: the state before an install
    bool restoreFails = false;  // RSTLIB fails as on a damaged save file
    bool silent = false;        // connections are accepted but never answered
    std::vector<std::pair<QString, QString>> users;  // further FTP users: name, password
};

class FtpCommandLine {
public:
    void addOptions(QCommandLineParser& parser);
    // false with a reason on a bad value.
    bool read(const QCommandLineParser& parser, FtpOptions& options, QString* error) const;
    // What --help prints about the FTP server.
    static QString manual();

private:
    std::vector<QCommandLineOption> options_;
};
