#pragma once
#include <QCommandLineParser>
#include <QString>
#include <vector>

#include "HostSimOptions.h"

// The spool server's part of hostsim's command line. Other servers of the
// program (FTP) add their own options to the same parser.
class HostSimCommandLine {
public:
    void addOptions(QCommandLineParser& parser);
    // Fills options from a processed parser; false with a reason on a bad value.
    bool read(const QCommandLineParser& parser, HostSimOptions& options, QString* error) const;
    // Job ports to open at start without sign-on (--open-job-port; 0 = next free).
    std::vector<quint16> jobPortsAtStart(const QCommandLineParser& parser) const;
    bool listRequested(const QCommandLineParser& parser) const;
    // What --help prints after the option list: protocol, spool folder, knobs.
    static QString manual();
    // The spool folder as the host shows it; leftOut counts the files it
    // cannot serve (each listed with its reason).
    static QString listing(const QString& spoolRoot, int* leftOut = nullptr);

private:
    std::vector<QCommandLineOption> options_;
};
