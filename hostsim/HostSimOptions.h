#pragma once
#include <QString>
#include <optional>
#include <string>

// Ways in which hostsim misbehaves on purpose, so that the client's error
// paths can be driven end to end. Every knob is off by default. Counts are per
// connection; delays are milliseconds on the server's clock (real time unless
// HostSim::setClock gave it another one).
struct HostSimFaults {
    // Listener.
    bool refuseSignOn = false;            // sign-on answered "(INVALID)"
    bool silentSignOn = false;            // sign-on never answered
    std::optional<int> jobPortReply;      // this number in columns 1-5 instead of the real job port
    char versionLetter = 'E';             // column 7 of the sign-on reply
    int lateJobPortMs = 0;                // the job port starts listening this long after the sign-on reply

    // Every reply (listener and job port).
    int replyDelayMs = 0;                 // each reply is sent this late
    int pieceBytes = 0;                   // > 0: each reply goes out in pieces of this many bytes
    int pieceGapMs = 1;                   // pause between two pieces
    int byteEveryMs = 0;                  // > 0: each reply goes out one byte at a time, this many ms apart

    // Job port.
    int silentAfter = -1;                 // >= 0: answer this many requests, then none
    int dropAfter = -1;                   // >= 0: answer this many requests, then close on the next one
    int dropPartialBytes = 0;             // bytes of the dropped request's reply sent before closing
    bool endlessMore = false;             // lists and downloads never end: "(MORE)" for ever
    std::string widthCode;                // 3 characters: replaces the record width code of downloads
    int invalidAfterBlocks = -1;          // >= 0: a download answers "(INVALID)" after this many blocks
};

struct HostSimOptions {
    QString address = QStringLiteral("127.0.0.1");  // any address; tests use 127.x.y.z of their own
    quint16 listenerPort = 17850;
    quint16 firstJobPort = 17851;
    quint16 lastJobPort = 18050;
    bool listen = true;                   // false: no listener, job ports only (openJobPort)
    QString spoolRoot;                    // the spool folder (see README.md)
    // The one host user; the client's scrambled credentials are checked
    // against these scrambled the same way.
    QString user = QStringLiteral("SWUSER");
    QString password = QStringLiteral("SWPASS");
    bool acceptAnyUser = false;           // any user ID and password signs on
    int previewPages = 5;                 // pages a preview ("P") reply carries at most
    QString frameLogFile;                 // every received frame is appended here too
    HostSimFaults faults;
};
