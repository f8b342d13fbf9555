#pragma once
#include <QString>
#include <functional>
#include <map>
#include <set>
#include <string>

// The objects of the substitute host that the FTP remote commands of the
// server start and of the install act on, and those commands themselves. A
// command fails as the host's would: on a missing object, or one that is
// already there.
class FtpHostState {
public:
    struct Result {
        bool ok = false;
        QString message;  // the host message, "CPF2105 Object ... not found."
    };

    std::set<QString> libraries{QStringLiteral("QSYS"), QStringLiteral("QGPL"), QStringLiteral("QUSRSYS")};
    std::map<QString, std::string> saveFiles;  // "QGPL/SPWSV" -> contents
    std::set<QString> userProfiles{QStringLiteral("QSECOFR")};
    std::set<QString> messageQueues;            // "QUSRSYS/SPWRTER"
    std::map<QString, std::string> storedFiles;  // other paths sent with STOR, as named
    bool serverActive = false;
    // Each restored library with the bytes of the save file it came from.
    std::map<QString, std::string> restoredFrom;
    // Fault knob: RSTLIB fails as on a damaged save file.
    bool restoreFails = false;

    // STRSPWRT starts the spool listener through this (false: it could not
    // start); ENDSPWRT stops it.
    std::function<bool()> startServer;
    std::function<void()> endServer;

    // The state after an install: the server library and its user are there.
    void installServerLibrary();

    // A CL command sent with RCMD, e.g. "DLTF FILE(QGPL/SPWSV)".
    Result runCommand(const QString& command);
    // The file of a STOR; binary is false after TYPE A.
    Result store(const QString& path, const std::string& bytes, bool binary);
    // Whether STOR may write to the path at all (checked before the transfer).
    Result canStore(const QString& path, bool binary) const;

private:
    Result deleteFile(const QString& object);
    Result createSaveFile(const QString& object);
    Result restoreLibrary(const QString& library, const QString& saveFile);
    Result createUserProfile(const QString& user);
    Result createMessageQueue(const QString& queue);
    Result serverCommand(const QString& library, const QString& name);
};
