#include "FtpHostState.h"

#include <QRegularExpression>

namespace {
constexpr auto kServerLibrary = "SPWLB";

FtpHostState::Result ok(const QString& message) { return {true, message}; }
FtpHostState::Result failed(const QString& message) { return {false, message}; }

// "LIB/NAME" -> {LIB, NAME}; an unqualified name is taken from QGPL.
std::pair<QString, QString> qualified(const QString& text) {
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0) return {QStringLiteral("QGPL"), text};
    return {text.left(slash), text.mid(slash + 1)};
}

// KEYWORD(value) parameters of a CL command.
std::map<QString, QString> parameters(const QString& text) {
    static const QRegularExpression param(QStringLiteral("([A-Z0-9]+)\\(([^)]*)\\)"));
    std::map<QString, QString> out;
    for (auto it = param.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out[m.captured(1)] = m.captured(2).trimmed();
    }
    return out;
}

// "/QSYS.LIB/QGPL.LIB/SPWSV.SAVF" -> {"QGPL", "SPWSV"}; empty for other paths.
std::pair<QString, QString> saveFileOf(const QString& path) {
    static const QRegularExpression savf(QStringLiteral("^/QSYS\\.LIB/(\\w+)\\.LIB/(\\w+)\\.SAVF$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = savf.match(path);
    if (!m.hasMatch()) return {};
    return {m.captured(1).toUpper(), m.captured(2).toUpper()};
}

FtpHostState::Result libraryNotFound(const QString& lib) {
    return failed(QStringLiteral("CPF2110 Library %1 not found.").arg(lib));
}
}  // namespace

void FtpHostState::installServerLibrary() {
    libraries.insert(QString::fromLatin1(kServerLibrary));
    userProfiles.insert(QStringLiteral("SPWRTER"));
    messageQueues.insert(QStringLiteral("QUSRSYS/SPWRTER"));
}

FtpHostState::Result FtpHostState::runCommand(const QString& command) {
    const QString cmd = command.trimmed().toUpper();
    const int blank = cmd.indexOf(QLatin1Char(' '));
    const QString name = blank < 0 ? cmd : cmd.left(blank);
    const QString rest = blank < 0 ? QString() : cmd.mid(blank + 1);
    const auto params = parameters(rest);
    auto param = [&](const char* key) {
        const auto it = params.find(QString::fromLatin1(key));
        return it == params.end() ? QString() : it->second;
    };
    auto missing = [&](const char* key) {
        return failed(QStringLiteral("CPD0071 Keyword %1 required for command %2.").arg(QString::fromLatin1(key), name));
    };

    const auto [cmdLib, cmdName] = name.contains(QLatin1Char('/')) ? qualified(name) : std::pair{QString(), name};
    if (cmdLib.isEmpty()) {
        if (cmdName == QLatin1String("DLTF")) return param("FILE").isEmpty() ? missing("FILE") : deleteFile(param("FILE"));
        if (cmdName == QLatin1String("CRTSAVF"))
            return param("FILE").isEmpty() ? missing("FILE") : createSaveFile(param("FILE"));
        if (cmdName == QLatin1String("RSTLIB")) {
            if (param("SAVLIB").isEmpty()) return missing("SAVLIB");
            if (param("DEV") != QLatin1String("*SAVF"))
                return failed(QStringLiteral("CPF3782 Device %1 not a save file device.").arg(param("DEV")));
            return param("SAVF").isEmpty() ? missing("SAVF") : restoreLibrary(param("SAVLIB"), param("SAVF"));
        }
        if (cmdName == QLatin1String("CRTUSRPRF"))
            return param("USRPRF").isEmpty() ? missing("USRPRF") : createUserProfile(param("USRPRF"));
        if (cmdName == QLatin1String("CRTMSGQ"))
            return param("MSGQ").isEmpty() ? missing("MSGQ") : createMessageQueue(param("MSGQ"));
    }
    return serverCommand(cmdLib.isEmpty() ? QStringLiteral("*LIBL") : cmdLib, cmdName);
}

FtpHostState::Result FtpHostState::deleteFile(const QString& object) {
    const auto [lib, file] = qualified(object);
    if (!libraries.count(lib)) return libraryNotFound(lib);
    const auto it = saveFiles.find(lib + QLatin1Char('/') + file);
    if (it == saveFiles.end())
        return failed(QStringLiteral("CPF2105 Object %1 in %2 type *FILE not found.").arg(file, lib));
    saveFiles.erase(it);
    return ok(QStringLiteral("CPC2191 Object %1 in %2 type *FILE deleted.").arg(file, lib));
}

FtpHostState::Result FtpHostState::createSaveFile(const QString& object) {
    const auto [lib, file] = qualified(object);
    if (!libraries.count(lib)) return libraryNotFound(lib);
    const QString key = lib + QLatin1Char('/') + file;
    if (saveFiles.count(key))
        return failed(QStringLiteral("CPF5813 File %1 in library %2 already exists.").arg(file, lib));
    saveFiles[key] = std::string();
    return ok(QStringLiteral("CPC9801 Object %1 type *FILE created in library %2.").arg(file, lib));
}

FtpHostState::Result FtpHostState::restoreLibrary(const QString& library, const QString& saveFile) {
    const auto [lib, file] = qualified(saveFile);
    if (!libraries.count(lib)) return libraryNotFound(lib);
    const auto it = saveFiles.find(lib + QLatin1Char('/') + file);
    if (it == saveFiles.end())
        return failed(QStringLiteral("CPF9812 File %1 in library %2 not found.").arg(file, lib));
    if (it->second.empty() || restoreFails)
        return failed(QStringLiteral("CPF3743 File cannot be restored, displayed, or listed."));
    libraries.insert(library);
    restoredFrom[library] = it->second;
    return ok(QStringLiteral("CPC3703 Objects restored from %1 to %1.").arg(library));
}

FtpHostState::Result FtpHostState::createUserProfile(const QString& user) {
    if (userProfiles.count(user)) return failed(QStringLiteral("CPF2214 User profile %1 already exists.").arg(user));
    userProfiles.insert(user);
    return ok(QStringLiteral("CPC2205 User profile %1 created.").arg(user));
}

FtpHostState::Result FtpHostState::createMessageQueue(const QString& queue) {
    const auto [lib, name] = qualified(queue);
    if (!libraries.count(lib)) return libraryNotFound(lib);
    const QString key = lib + QLatin1Char('/') + name;
    if (messageQueues.count(key))
        return failed(QStringLiteral("CPF2112 Object %1 in %2 type *MSGQ already exists.").arg(name, lib));
    messageQueues.insert(key);
    return ok(QStringLiteral("CPC2206 Message queue %1 created in library %2.").arg(name, lib));
}

FtpHostState::Result FtpHostState::serverCommand(const QString& library, const QString& name) {
    const QString serverLib = QString::fromLatin1(kServerLibrary);
    const bool known = name == QLatin1String("STRSPWRT") || name == QLatin1String("ENDSPWRT") ||
                       name == QLatin1String("CHKSPWRT");
    // The server's commands are found only in its own library, once restored.
    if (!known || library != serverLib || !libraries.count(serverLib))
        return failed(QStringLiteral("CPD0030 Command %1 in library %2 not found.").arg(name, library));
    if (name == QLatin1String("STRSPWRT")) {
        if (serverActive) return ok(QStringLiteral("SPW0003 Spoolwright server already active."));
        if (startServer && !startServer())
            return failed(QStringLiteral("SPW0002 Spoolwright server could not start: port 17850 not available."));
        serverActive = true;
        return ok(QStringLiteral("SPW0001 Spoolwright server started."));
    }
    if (name == QLatin1String("ENDSPWRT")) {
        if (!serverActive) return failed(QStringLiteral("SPW0004 Spoolwright server not active."));
        if (endServer) endServer();
        serverActive = false;
        return ok(QStringLiteral("SPW0005 Spoolwright server ended."));
    }
    return serverActive ? ok(QStringLiteral("SPW0006 Spoolwright server active."))
                        : failed(QStringLiteral("SPW0004 Spoolwright server not active."));
}

FtpHostState::Result FtpHostState::canStore(const QString& path, bool binary) const {
    const auto [lib, file] = saveFileOf(path);
    if (lib.isEmpty()) return ok(QString());
    if (!libraries.count(lib)) return libraryNotFound(lib);
    if (!saveFiles.count(lib + QLatin1Char('/') + file))
        return failed(QStringLiteral("CPF9812 File %1 in library %2 not found.").arg(file, lib));
    if (!binary) return failed(QStringLiteral("Data transfer type must be binary (IMAGE) for a save file."));
    return ok(QString());
}

FtpHostState::Result FtpHostState::store(const QString& path, const std::string& bytes, bool binary) {
    const Result allowed = canStore(path, binary);
    if (!allowed.ok) return allowed;
    const auto [lib, file] = saveFileOf(path);
    if (!lib.isEmpty())
        saveFiles[lib + QLatin1Char('/') + file] = bytes;
    else
        storedFiles[path] = bytes;
    return ok(QString());
}
