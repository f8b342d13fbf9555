#include "HostSimCommandLine.h"

#include <QDir>
#include <QFileInfo>

#include "SpoolStore.h"

namespace {
const QCommandLineOption& find(const std::vector<QCommandLineOption>& list, const QString& name) {
    for (const QCommandLineOption& o : list)
        if (o.names().contains(name)) return o;
    static const QCommandLineOption none(QStringLiteral("-"));
    return none;
}

bool readInt(const QCommandLineParser& p, const QCommandLineOption& o, int& out, QString* error, int min = 0,
             int max = 1 << 30) {
    if (!p.isSet(o)) return true;
    bool ok = false;
    const int v = p.value(o).toInt(&ok);
    if (!ok || v < min || v > max) {
        if (error) *error = QStringLiteral("--%1: not a number from %2 to %3: %4").arg(o.names().first()).arg(min).arg(max).arg(p.value(o));
        return false;
    }
    out = v;
    return true;
}
}  // namespace

void HostSimCommandLine::addOptions(QCommandLineParser& parser) {
    const auto add = [&](const QString& name, const QString& help, const QString& value = {},
                         const QString& def = {}) {
        QCommandLineOption o(name, help, value, def);
        parser.addOption(o);
        options_.push_back(o);
    };
    add(QStringLiteral("address"), QStringLiteral("Address to bind (default 127.0.0.1)."), QStringLiteral("addr"),
        QStringLiteral("127.0.0.1"));
    add(QStringLiteral("spool"), QStringLiteral("Spool folder to serve (default ./samples)."), QStringLiteral("dir"),
        QStringLiteral("samples"));
    add(QStringLiteral("user"), QStringLiteral("The host user that may sign on (default SWUSER)."),
        QStringLiteral("name"), QStringLiteral("SWUSER"));
    add(QStringLiteral("password"), QStringLiteral("That user's password (default SWPASS)."), QStringLiteral("pw"),
        QStringLiteral("SWPASS"));
    add(QStringLiteral("any-user"), QStringLiteral("Accept every user ID and password."));
    add(QStringLiteral("listener-port"), QStringLiteral("Listener port (default 17850)."), QStringLiteral("n"),
        QStringLiteral("17850"));
    add(QStringLiteral("job-ports"), QStringLiteral("Range of job ports (default 17851-18050)."),
        QStringLiteral("first-last"), QStringLiteral("17851-18050"));
    add(QStringLiteral("no-listener"), QStringLiteral("Open no listener; only --open-job-port ports."));
    add(QStringLiteral("open-job-port"),
        QStringLiteral("Open this job port at start without sign-on (0: the next free one); repeatable."),
        QStringLiteral("port"));
    add(QStringLiteral("preview-pages"), QStringLiteral("Pages a preview (\"P\") reply carries (default 5)."),
        QStringLiteral("n"), QStringLiteral("5"));
    add(QStringLiteral("frame-log"), QStringLiteral("Append every received frame to this file."),
        QStringLiteral("file"));
    add(QStringLiteral("list"), QStringLiteral("Print the spool folder as the host sees it and exit."));
    // Fault knobs.
    add(QStringLiteral("refuse-signon"), QStringLiteral("Fault: answer every sign-on \"(INVALID)\"."));
    add(QStringLiteral("silent-signon"), QStringLiteral("Fault: never answer a sign-on."));
    add(QStringLiteral("bad-job-port"), QStringLiteral("Fault: name this number as the job port."), QStringLiteral("n"));
    add(QStringLiteral("version-letter"), QStringLiteral("Fault: this version letter instead of E."),
        QStringLiteral("c"));
    add(QStringLiteral("late-job-port"), QStringLiteral("Fault: job ports start listening ms after the sign-on reply."),
        QStringLiteral("ms"));
    add(QStringLiteral("delay"), QStringLiteral("Fault: send every reply ms late."), QStringLiteral("ms"));
    add(QStringLiteral("split"), QStringLiteral("Fault: send every reply in pieces of this many bytes."),
        QStringLiteral("bytes"));
    add(QStringLiteral("split-gap"), QStringLiteral("Pause between two pieces (default 1 ms)."), QStringLiteral("ms"));
    add(QStringLiteral("byte-every"), QStringLiteral("Fault: send every reply one byte at a time, ms apart."),
        QStringLiteral("ms"));
    add(QStringLiteral("silent-after"), QStringLiteral("Fault: answer n requests per job connection, then none."),
        QStringLiteral("n"));
    add(QStringLiteral("drop-after"), QStringLiteral("Fault: answer n requests per job connection, then close it."),
        QStringLiteral("n"));
    add(QStringLiteral("drop-partial"), QStringLiteral("Bytes of the last reply sent before the close (default 0)."),
        QStringLiteral("bytes"));
    add(QStringLiteral("endless-more"), QStringLiteral("Fault: lists and downloads say \"(MORE)\" for ever."));
    add(QStringLiteral("width-code"), QStringLiteral("Fault: this record width code in download replies."),
        QStringLiteral("ccc"));
    add(QStringLiteral("invalid-after"), QStringLiteral("Fault: downloads answer \"(INVALID)\" after n blocks."),
        QStringLiteral("n"));
}

bool HostSimCommandLine::read(const QCommandLineParser& p, HostSimOptions& o, QString* error) const {
    const auto opt = [&](const char* name) -> const QCommandLineOption& { return find(options_, QLatin1String(name)); };
    o.address = p.value(opt("address"));
    o.spoolRoot = QDir(p.value(opt("spool"))).absolutePath();
    o.user = p.value(opt("user"));
    o.password = p.value(opt("password"));
    o.acceptAnyUser = p.isSet(opt("any-user"));
    o.listen = !p.isSet(opt("no-listener"));
    o.frameLogFile = p.value(opt("frame-log"));
    int port = o.listenerPort;
    if (!readInt(p, opt("listener-port"), port, error, 1, 65535)) return false;
    o.listenerPort = static_cast<quint16>(port);
    const QStringList range = p.value(opt("job-ports")).split(QLatin1Char('-'));
    bool ok1 = false, ok2 = false;
    const int first = range.value(0).toInt(&ok1), last = range.value(1).toInt(&ok2);
    if (range.size() != 2 || !ok1 || !ok2 || first < 1 || last > 65535 || first > last) {
        if (error) *error = QStringLiteral("--job-ports: expected first-last, got %1").arg(p.value(opt("job-ports")));
        return false;
    }
    o.firstJobPort = static_cast<quint16>(first);
    o.lastJobPort = static_cast<quint16>(last);
    if (!readInt(p, opt("preview-pages"), o.previewPages, error, 1)) return false;
    for (const QString& v : p.values(opt("open-job-port"))) {
        bool ok = false;
        if (v.toUInt(&ok) > 65535 || !ok) {
            if (error) *error = QStringLiteral("--open-job-port: not a port from 0 to 65535: %1").arg(v);
            return false;
        }
    }

    HostSimFaults& f = o.faults;
    f.refuseSignOn = p.isSet(opt("refuse-signon"));
    f.silentSignOn = p.isSet(opt("silent-signon"));
    if (p.isSet(opt("bad-job-port"))) {
        int n = 0;
        if (!readInt(p, opt("bad-job-port"), n, error, 0, 99999)) return false;
        f.jobPortReply = n;
    }
    if (p.isSet(opt("version-letter"))) {
        const QString v = p.value(opt("version-letter"));
        if (v.size() != 1 || v.at(0).unicode() > 127) {
            if (error) *error = QStringLiteral("--version-letter: one character expected");
            return false;
        }
        f.versionLetter = static_cast<char>(v.at(0).unicode());
    }
    if (!readInt(p, opt("late-job-port"), f.lateJobPortMs, error) || !readInt(p, opt("delay"), f.replyDelayMs, error) ||
        !readInt(p, opt("split"), f.pieceBytes, error, 1) || !readInt(p, opt("split-gap"), f.pieceGapMs, error) ||
        !readInt(p, opt("byte-every"), f.byteEveryMs, error) ||
        !readInt(p, opt("silent-after"), f.silentAfter, error) || !readInt(p, opt("drop-after"), f.dropAfter, error) ||
        !readInt(p, opt("drop-partial"), f.dropPartialBytes, error, 0, 1024) ||
        !readInt(p, opt("invalid-after"), f.invalidAfterBlocks, error))
        return false;
    f.endlessMore = p.isSet(opt("endless-more"));
    if (p.isSet(opt("width-code"))) {
        const QString w = p.value(opt("width-code"));
        if (w.size() != 3) {
            if (error) *error = QStringLiteral("--width-code: three characters expected, e.g. \" 81\"");
            return false;
        }
        f.widthCode = w.toStdString();
    }
    return true;
}

std::vector<quint16> HostSimCommandLine::jobPortsAtStart(const QCommandLineParser& p) const {
    std::vector<quint16> out;
    for (const QString& v : p.values(find(options_, QStringLiteral("open-job-port"))))
        out.push_back(static_cast<quint16>(v.toUInt()));
    return out;
}

bool HostSimCommandLine::listRequested(const QCommandLineParser& p) const {
    return p.isSet(find(options_, QStringLiteral("list")));
}

QString HostSimCommandLine::listing(const QString& spoolRoot, int* leftOut) {
    const SpoolStore store(spoolRoot);
    QString out;
    if (leftOut) *leftOut = 0;
    for (const std::string& lib : store.libraries())
        for (const OutputQueueInfo& q : store.outputQueues(lib)) {
            out += QStringLiteral("%1/%2  %3\n")
                       .arg(QString::fromStdString(lib), QString::fromStdString(q.name),
                            QString::fromLatin1(q.description.c_str()));
            for (const SpooledFileInfo& f : store.spooledFiles(q, SpoolStore::WithRefused)) {
                if (!f.problem.empty()) {
                    out += QStringLiteral("  %1 left out: %2\n")
                               .arg(QFileInfo(f.path).fileName(), QString::fromStdString(f.problem));
                    if (leftOut) ++*leftOut;
                    continue;
                }
                out += QStringLiteral("  %1 job %2/%3/%4 #%5  %6 pages, width %7%8\n")
                           .arg(QString::fromStdString(f.name).leftJustified(10))
                           .arg(QString::fromStdString(f.jobNumber), QString::fromStdString(f.user),
                                QString::fromStdString(f.job))
                           .arg(f.number, 4, 10, QLatin1Char('0'))
                           .arg(f.pages)
                           .arg(f.width)
                           .arg(f.refuse ? QStringLiteral(", refused") : QString());
            }
        }
    return out;
}

QString HostSimCommandLine::manual() {
    static const char* const text = R"TXT(
The substitute host
  hostsim speaks the host side of the client's wire protocol on loopback (or
  any address): the listener (default port 17850) takes two test messages, the
  sign-on with the scrambled user ID and password (checked by scrambling
  --user and --password the same way), answers with the job port and the
  version letter "E", and takes the acknowledgement. The job port (one per
  signed-on client, from 17851..18050; it closes when its client goes) answers
  every 124-byte request with one 1024-byte reply:
    Q  output-queue list ("*ALL" in columns 1-10) or check of one queue
    F  spooled-file list of a queue (or "*ALL") for *CURRENT, *ALL or a user
    W  download of a spooled file's pages; record slots of width 80, 132,
       198 or 990 with their skip/space prefixes
    P  preview: as W, at most --preview-pages pages
    X  in column 100: cancel; answered with an empty "(END)" block
  A reply that does not hold the whole answer says "(MORE)" and the host keeps
  its place: the client sends the identical request for the next block. The
  last block says "(END)", a refusal "(INVALID)".

Spool folder (--spool; full description in hostsim/README.md)
  <spool>/libl                      optional: the library list for *LIBL
  <spool>/<LIBRARY>/<OUTQ>/          one folder per library and output queue
  <spool>/<LIBRARY>/<OUTQ>/description   optional: the queue's description
  <spool>/<LIBRARY>/<OUTQ>/*.splf    one file per spooled file, in name order
  A .splf file holds attribute lines "key=value" (name, job, user, jobnumber,
  number, pages, formtype, date YYYY-MM-DD, time hh:mm:ss, userdata, width,
  refuse), then a line "[records]", then one line per record: 3 characters
  skip-to-line, 1 character space-before, the text. An empty line is sent as an
  empty slot. Bytes are Windows-1252.

Faults
  The fault options make the host misbehave so that the client's error paths
  can be seen: a refused or unanswered sign-on, a bad job port number, a wrong
  version letter, a job port that listens late, replies that come late, in
  pieces, or not at all, a connection that drops, lists that never end, a bad
  record width code, a download refused half-way.

Frame log (--frame-log)
  Every frame received, byte for byte, one entry each:
    <listener|job> <port> #<connection> <length>[ partial]
    <the frame's bytes>
)TXT";
    return QString::fromLatin1(text);
}
