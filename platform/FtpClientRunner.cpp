#include "FtpClientRunner.h"

#include <QDir>
#include <QFileInfo>

#include "Codec.h"
#include "FtpClient.h"

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The text after the first word, surrounding blanks removed.
std::string afterVerb(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    while (i < line.size() && isBlank(line[i])) ++i;
    size_t end = line.size();
    while (end > i && isBlank(line[end - 1])) --end;
    return line.substr(i, end - i);
}

QString flat(const QString& reply) { return QString(reply).replace(QLatin1Char('\n'), QLatin1Char(' ')); }

// One run: the client, the script's lines and the result being built.
class Run {
public:
    Run(FtpClientRunner& opts, Clock& clock, const std::string& script)
        : opts_(opts), ftp_(clock), lines_(FtpClientRunner::splitLines(script)) {
        ftp_.passive = opts.passive;
        ftp_.connectLimitMs = opts.connectLimitMs;
        ftp_.replyLimitMs = opts.replyLimitMs;
        ftp_.transferStallLimitMs = opts.transferStallLimitMs;
        ftp_.trace = [this](const QString& l) {
            res_.transcript << l;
            if (opts_.trace) opts_.trace(l);
        };
    }

    FtpRunResult go() {
        // Checked before anything is sent.
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (FtpClientRunner::hasControlCharacter(lines_[i])) {
                fail(FtpRunStatus::ScriptError, QStringLiteral("line %1").arg(i + 1), {},
                     QStringLiteral("The line holds a control character."));
                return res_;
            }
        }
        while (next_ < lines_.size() && !stopped_) step(lines_[next_++]);
        ftp_.quit();
        return res_;
    }

private:
    void fail(FtpRunStatus status, const QString& line, const FtpClient::Reply& reply, const QString& ours = {}) {
        if (status == FtpRunStatus::CommandRefused && goesOn()) {
            // Go on with the next line, as the command-line client did.
        } else {
            stopped_ = true;
        }
        if (res_.status != FtpRunStatus::Ok) return;
        res_.status = status;
        res_.failedLine = line;
        res_.serverReply = reply.code != 0 ? reply.text : QString();
        const QString why = reply.code != 0 ? flat(reply.text) : (ours.isEmpty() ? ftp_.error() : ours);
        res_.description = line + QStringLiteral(": ") + why;
    }

    // A refused command is the last one recorded.
    bool goesOn() const {
        if (opts_.goOnAfterRefusal) return !res_.commands.empty() && opts_.goOnAfterRefusal(res_.commands.back());
        return opts_.continueAfterRefusal;
    }

    void record(const QString& line, const FtpClient::Reply& reply, bool accepted) {
        res_.commands.push_back({line, reply.code, reply.text, accepted});
    }

    // The outcome of one command: accepted, refused by the server, or lost.
    bool check(const QString& line, const FtpClient::Reply& reply, bool accepted,
               FtpRunStatus refused = FtpRunStatus::CommandRefused) {
        record(line, reply, accepted);
        if (accepted) return true;
        if (reply.code == 0)
            fail(FtpRunStatus::ConnectionFailed, line, reply);
        else
            fail(refused, line, reply);
        return false;
    }

    bool needsConnection(const QString& line) {
        if (ftp_.isOpen()) return true;
        fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("Not connected."));
        return false;
    }

    static bool positive2xx(const FtpClient::Reply& r) { return r.code >= 200 && r.code < 300; }

    // The lines after "open" answer the prompts for user and password.
    bool nextPromptLine(std::string& out) {
        if (next_ >= lines_.size()) return false;
        out = lines_[next_++];
        return true;
    }

    void logon(const std::string& user, const std::string* password) {
        const QString userLine = Codec::toUnicode(user);
        const FtpClient::Reply r = ftp_.command("USER " + user);
        if (r.code == 230) {
            record(userLine, r, true);
            return;
        }
        if (r.code != 331) {
            check(userLine, r, false, FtpRunStatus::LogonRefused);
            return;
        }
        record(userLine, r, true);
        std::string pw;
        if (password) {
            pw = *password;
        } else if (!nextPromptLine(pw)) {
            fail(FtpRunStatus::LogonRefused, QStringLiteral("****"), r, QStringLiteral("The script gives no password."));
            return;
        }
        const FtpClient::Reply p = ftp_.command("PASS " + pw, QStringLiteral("PASS ****"));
        check(QStringLiteral("****"), p, p.code == 230 || p.code == 202, FtpRunStatus::LogonRefused);
    }

    void step(const std::string& raw) {
        const std::vector<std::string> args = FtpClientRunner::splitArguments(raw);
        if (args.empty()) return;
        const std::string verb = lower(args[0]);
        // "user name password" shows without its password.
        const QString line = verb == "user" && args.size() > 2
                                 ? Codec::toUnicode(args[0] + " " + args[1]) + QStringLiteral(" ****")
                                 : Codec::toUnicode(raw).trimmed();
        if (verb == "open") {
            if (args.size() < 2) {
                fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("No host named."));
                return;
            }
            if (ftp_.isOpen()) {
                fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("Already connected; close first."));
                return;
            }
            int port = opts_.port;
            if (args.size() > 2) {
                bool ok = false;
                port = QString::fromStdString(args[2]).toInt(&ok);
                if (!ok || port < 1 || port > 65535) {
                    fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("Invalid port."));
                    return;
                }
            }
            const bool opened = ftp_.open(Codec::toUnicode(args[1]), static_cast<quint16>(port));
            const FtpClient::Reply greeting = opened ? ftp_.lastReply() : FtpClient::Reply{};
            record(line, greeting, opened && positive2xx(greeting));
            if (!opened || !positive2xx(greeting)) {
                fail(FtpRunStatus::ConnectionFailed, line, greeting);
                return;
            }
            std::string user;
            if (!nextPromptLine(user)) {
                fail(FtpRunStatus::LogonRefused, line, {}, QStringLiteral("The script gives no user."));
                return;
            }
            logon(user, nullptr);
        } else if (verb == "user") {
            if (!needsConnection(line)) return;
            if (args.size() < 2) {
                fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("No user named."));
                return;
            }
            logon(args[1], args.size() > 2 ? &args[2] : nullptr);
        } else if (verb == "quote" || verb == "literal") {
            if (!needsConnection(line)) return;
            const std::string text = afterVerb(raw);
            if (text.empty()) {
                fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("Nothing to send."));
                return;
            }
            const FtpClient::Reply r = ftp_.command(text);
            check(line, r, r.positive());
        } else if (verb == "binary" || verb == "ascii") {
            if (!needsConnection(line)) return;
            const FtpClient::Reply r = ftp_.command(verb == "binary" ? "TYPE I" : "TYPE A");
            check(line, r, positive2xx(r));
        } else if (verb == "put" || verb == "send") {
            if (!needsConnection(line)) return;
            if (args.size() < 2) {
                fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("No local file named."));
                return;
            }
            QString local = Codec::toUnicode(args[1]);
            if (QFileInfo(local).isRelative() && !opts_.localDir.isEmpty()) local = QDir(opts_.localDir).filePath(local);
            if (!QFileInfo(local).isFile()) {
                fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("File %1 not found.").arg(local));
                return;
            }
            const std::string remote = args.size() > 2 ? args[2] : Codec::fromUnicode(QFileInfo(local).fileName());
            const FtpClient::Reply r = ftp_.store(local, remote);
            check(line, r, positive2xx(r));
        } else if (verb == "close" || verb == "disconnect") {
            ftp_.quit();
        } else if (verb == "quit" || verb == "bye") {
            ftp_.quit();
            stopped_ = true;
        } else {
            fail(FtpRunStatus::ScriptError, line, {}, QStringLiteral("Invalid command."));
        }
    }

    FtpClientRunner& opts_;
    FtpClient ftp_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    bool stopped_ = false;
    FtpRunResult res_;
};
}  // namespace

FtpRunResult FtpClientRunner::run(const std::string& script, Clock& clock) {
    Run r(*this, clock, script);
    return r.go();
}

std::vector<std::string> FtpClientRunner::splitLines(const std::string& script) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < script.size()) {
        size_t nl = script.find('\n', pos);
        if (nl == std::string::npos) nl = script.size();
        std::string line = script.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = nl + 1;
    }
    return lines;
}

std::vector<std::string> FtpClientRunner::splitArguments(const std::string& line) {
    std::vector<std::string> args;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::string arg;
        if (line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') arg += line[i++];
            if (i < line.size()) ++i;
        } else {
            while (i < line.size() && !isBlank(line[i])) arg += line[i++];
        }
        args.push_back(std::move(arg));
    }
    return args;
}

bool FtpClientRunner::hasControlCharacter(const std::string& text) {
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\t') || c == 0x7f) return true;
    return false;
}
