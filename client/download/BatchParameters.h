#pragma once
#include <QString>
#include <QStringList>
#include <string>

// The parameters of an unattended run, read and checked with nothing else:
// the first step of a batch run, before any setting or window.
// Exit statuses of a batch run (besides 0, every report delivered, and the
// connection's own: 3 no link to the host, 4 no sign-on).
constexpr int kExitNoSavePath = 1;       // "Save Path" is not there; nothing connected
constexpr int kExitBadParameter = 2;     // a parameter that cannot be used; nothing connected
constexpr int kExitSettingsFile = 6;     // a settings file that cannot be read; nothing connected
constexpr int kExitNotDelivered = 7;     // a report was not delivered
constexpr int kExitNothingToDeliver = 8; // no such queue, an empty queue

namespace BatchRun {
// The command line split at commas and tabs: a run of them is one
// separator, none at either end counts, blanks stay part of an argument.
// At most `maxArgs` arguments; the rest of the line is dropped.
QStringList GetCommandLineArgs(const QString& commandLine, int maxArgs = 17);

// The arguments of a run from the program's own: one argument is the whole
// command line, split as above; several are one parameter each, commas and
// all (at most 18 are kept: the 18th is an error).
QStringList BatchArguments(const QStringList& programArguments);

// The parameters of a run, checked and typed.
struct Parameters {
    // The values in their fixed-width fields (blank-padded).
    QString file = QString(10, QLatin1Char(' ')), job = QString(10, QLatin1Char(' ')),
            user = QString(10, QLatin1Char(' ')), nbr = QString(6, QLatin1Char(' ')),
            seq = QString(5, QLatin1Char(' ')), date, data = QString(10, QLatin1Char(' '));
    QString name;          // NAME: the start of the PC file names
    QStringList settings;  // SETS, in their order
    bool fileGiven = false;
    bool wholeQueue() const { return file.trimmed() == QLatin1String("*ALL"); }
};

// A parameter that cannot be used: its type and value as the message shows them.
struct BadParameter {
    QString type, value;
};

// Types and checks every argument. A named argument is one whose text before
// the first ":" is a bare word (letters and digits); any other argument takes
// its type from its position (1 SETS ... 9 DATA). `startTime` is the DATE
// when none is given. Returns false and the first bad parameter when an
// argument cannot be used: an unknown type, an empty value, a value longer
// than its field, more than 17 arguments, a spooled-file number outside
// 1..9999, a DATE not "yyyy/mm/dd hh:mm:ss", a NAME or DATA that holds a path
// separator (the files would leave "Save Path"), no FILE.
bool ReadParameters(const QStringList& args, const QString& startTime, Parameters& out, BadParameter& bad);

// The spooled-file row of one report named by the parameters, in its fixed
// columns (1-10 FILE, 12-21 USER, 48-66 DATE, 68-73 NBR, from 75 JOB "/" SEQ,
// 93-102 DATA), never trimmed.
std::string BatchRow(const Parameters& p);
}  // namespace BatchRun
