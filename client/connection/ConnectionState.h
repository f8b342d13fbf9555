#pragma once
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <string>
#include <vector>

// How the program runs: set by the batch run, read by every subsystem.
struct RunMode {
    bool gBatchMode = false;       // a command-line run, from its start to the end of the program
    bool gBatchNoDialogs = false;  // the batch run delivers a whole queue: no dialog, no refusal message
};

// A spooled file the host listed that cannot be downloaded (a number 0000, a
// job name holding "/"): left out of the list, with the reason.
struct LeftOutReport {
    QString report;  // "<file> of job <number>"
    QString reason;
};

// The state of the host connection, the main window's values and the work
// directory, for one run.
class ConnectionState {
public:
    QString gHostAddress;
    qint32 gJobPort = 0;
    qint32 gWaitTime = 6;
    std::string gUserId = std::string(10, ' ');     // scrambled once signed on
    std::string gPassword = std::string(128, ' ');  // scrambled once signed on
    bool gSignOnAccepted = false;
    QString gWorkDir;
    // Limits of our own, so that no wait is without end (milliseconds).
    qint64 signOnReplyTimeoutMs = 60000;
    qint64 signOnDialogTimeoutMs = 600000;  // the sign-on dialog's answer

    // Start-up and main window.
    QString gCommandLine;     // the arguments joined by ","
    QStringList gCommandArgs;  // each argument as the shell gave it
    QString gSettingsFile;
    bool gNoOutqs = false;
    // The spooled files the last list left out.
    std::vector<LeftOutReport> gListLeftOut;
    // Limit of our own: a list that still reads "(MORE)" after this many
    // blocks is cut there (10 spooled files or 14 queues a block).
    int maxListBlocks = 50000;

    // Files that this run created (downloads, work files). The stop sequence
    // deletes those lying in gWorkDir and nothing else there.
    void noteCreatedFile(const QString& path);
    const QStringList& createdFiles() const { return createdFiles_; }
    // Deletes the noted files in gWorkDir, never following a symbolic link, then
    // removes gWorkDir when it is left empty. Never fails; returns the files deleted.
    int clearWorkDirectory();

private:
    QStringList createdFiles_;
    // The same names, to tell at once whether one is noted: a queue of thousands of reports.
    QSet<QString> createdIndex_;
};
