#include "IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>
#include <cstdio>
#include <memory>

#include "SafeOutputFile.h"

namespace {
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool needsEscape(char16_t u) {
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F) || QChar::isSurrogate(u) || u == 0xFFFE ||
           u == 0xFFFF || u == 0xFEFF;
}

void appendHex(QString& out, char16_t u) {
    const bool small = u <= 0xFF;
    out += small ? QLatin1String("\\x") : QLatin1String("\\u");
    out += QString::number(int(u), 16).toUpper().rightJustified(small ? 2 : 4, QLatin1Char('0'));
}

// Escapes a value (inside quotes) or a name (bare, so '=', brackets, a leading
// comment sign and blanks at either end are escaped too).
QString escape(const QString& s, bool name) {
    QString out;
    out.reserve(s.size() + 2);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        if (u == '\\')
            out += QLatin1String("\\\\");
        else if (u == '"')
            out += QLatin1String("\\\"");
        else if (needsEscape(u))
            appendHex(out, u);
        else if (name && (u == '=' || u == '[' || u == ']' || ((u == ';' || u == '#') && i == 0) ||
                          (QChar(u).isSpace() && (i == 0 || i == s.size() - 1))))
            appendHex(out, u);
        else
            out += QChar(u);
    }
    return out;
}

// Only a plain file is opened: a pipe would wait for a writer, a device
// may never end.
QString notPlainFile(const QString& path) {
    return QFileInfo(path).isFile() ? QString() : QStringLiteral("it is not a plain file");
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

bool unescape(QStringView raw, QString& out, QString& error) {
    out.clear();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= raw.size()) {
            error = QStringLiteral("backslash at the end");
            return false;
        }
        const QChar e = raw.at(i);
        if (e == QLatin1Char('\\') || e == QLatin1Char('"')) {
            out += e;
        } else if (e == QLatin1Char('x') || e == QLatin1Char('u')) {
            const int digits = e == QLatin1Char('x') ? 2 : 4;
            int v = 0;
            for (int d = 1; d <= digits; ++d) {
                const int h = (i + d < raw.size()) ? hexValue(raw.at(i + d)) : -1;
                if (h < 0) {
                    error = QStringLiteral("bad \\%1 escape").arg(e);
                    return false;
                }
                v = v * 16 + h;
            }
            out += QChar(char16_t(v));
            i += digits;
        } else {
            error = QStringLiteral("unknown escape \\%1").arg(e);
            return false;
        }
    }
    return true;
}

// Position of the first `what` that is not escaped, or -1.
qsizetype findUnescaped(QStringView s, QChar what, qsizetype from = 0) {
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (s.at(i) == what) return i;
    }
    return -1;
}

QString safeFileTitle(const QString& app) {
    QString t = app;
    for (QChar& c : t)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    t = t.trimmed();
    if (t.isEmpty() || t == QLatin1String(".") || t == QLatin1String("..")) t = QStringLiteral("settings");
    return t;
}

using Content = IniSettingsStore::Content;

IniSettingsStore::Section* findSection(Content& c, const QString& name) {
    for (auto& s : c)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

std::pair<QString, QString>* findKey(IniSettingsStore::Section& s, const QString& key) {
    for (auto& kv : s.keys)
        if (kv.first.compare(key, Qt::CaseInsensitive) == 0) return &kv;
    return nullptr;
}
}  // namespace

bool IniSettingsStore::parse(const QByteArray& data, Content& out, QString* error) {
    out.clear();
    auto fail = [&](int line, const QString& why) {
        if (error) *error = line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(why) : why;
        out.clear();
        return false;
    };
    if (data.contains('\0')) return fail(0, QStringLiteral("it holds NUL bytes"));
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(data);
    if (utf8.hasError()) return fail(0, QStringLiteral("it is not UTF-8 text"));

    Section* current = nullptr;
    int lineNo = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
        QString why;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = findUnescaped(line, QLatin1Char(']'), 1);
            if (close < 0) return fail(lineNo, QStringLiteral("section name without ']'"));
            if (!line.mid(close + 1).trimmed().isEmpty()) return fail(lineNo, QStringLiteral("text after the section name"));
            QString name;
            if (!unescape(line.mid(1, close - 1).trimmed(), name, why)) return fail(lineNo, why);
            current = findSection(out, name);
            if (!current) {
                out.push_back({name, {}});
                current = &out.back();
            }
            continue;
        }
        const qsizetype eq = findUnescaped(line, QLatin1Char('='));
        if (eq < 0) return fail(lineNo, QStringLiteral("neither a section nor key=value"));
        if (!current) return fail(lineNo, QStringLiteral("a value before the first section"));
        QString key;
        if (!unescape(line.left(eq).trimmed(), key, why)) return fail(lineNo, why);
        if (key.isEmpty()) return fail(lineNo, QStringLiteral("a value without a key"));
        QStringView rawValue = line.mid(eq + 1).trimmed();
        QString value;
        if (rawValue.startsWith(QLatin1Char('"'))) {
            const qsizetype close = findUnescaped(rawValue, QLatin1Char('"'), 1);
            if (close < 0) return fail(lineNo, QStringLiteral("value without its closing quote"));
            if (!rawValue.mid(close + 1).trimmed().isEmpty()) return fail(lineNo, QStringLiteral("text after the closing quote"));
            rawValue = rawValue.mid(1, close - 1);
        }
        if (!unescape(rawValue, value, why)) return fail(lineNo, why);
        if (auto* kv = findKey(*current, key))
            kv->second = value;  // a later duplicate wins
        else
            current->keys.emplace_back(key, value);
    }
    return true;
}

QByteArray IniSettingsStore::serialize(const Content& content, const QString& app) {
    QString out = QStringLiteral("; Remembered settings of %1.\n").arg(app.simplified());
    for (const Section& s : content) {
        if (s.keys.empty()) continue;
        out += QLatin1Char('[') + escape(s.name, true) + QLatin1String("]\n");
        for (const auto& kv : s.keys)
            out += escape(kv.first, true) + QLatin1String("=\"") + escape(kv.second, false) + QLatin1String("\"\n");
    }
    return out.toUtf8();
}

IniSettingsStore::IniSettingsStore(QString folder, std::function<void(const QString&)> problem)
    : folder_(std::move(folder)), problem_(std::move(problem)) {}

QString IniSettingsStore::fileName(const QString& app) const {
    // Titles match without regard to case, as the names of the file system may not.
    const QString wanted = safeFileTitle(app) + QStringLiteral(".ini");
    const QDir dir(folder_);
    for (const QString& name : dir.entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::Hidden))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(name);
    return dir.filePath(wanted);
}

void IniSettingsStore::report(const QString& message) {
    if (message.isEmpty()) return;
    if (problem_)
        problem_(message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

IniSettingsStore::File& IniSettingsStore::file(const QString& app) {
    const QString id = safeFileTitle(app).toCaseFolded();
    File& f = files_[id];
    if (f.path.isEmpty()) f.path = fileName(app);
    return f;
}

void IniSettingsStore::stamp(File& f) {
    const QFileInfo fi(f.path);
    f.exists = fi.exists();
    f.size = f.exists ? fi.size() : -1;
    f.modified = f.exists ? fi.lastModified() : QDateTime();
}

QString IniSettingsStore::load(File& f) {
    f.loaded = true;
    stamp(f);
    if (!f.exists) {
        f.content.clear();
        return {};
    }
    QFile in(f.path);
    QString why = notPlainFile(f.path);
    QByteArray data;
    bool tooLarge = false;
    if (!why.isEmpty()) {
        // Never opened.
    } else if (!in.open(QIODevice::ReadOnly)) {
        why = in.errorString();
    } else if (in.size() > kMaxFileSize) {
        tooLarge = true;
    } else {
        data = in.readAll();
        if (in.error() != QFileDevice::NoError) why = in.errorString();
    }
    in.close();
    if (!why.isEmpty()) {
        // Keep what this run has already saved; never replace a file we could not read.
        f.memoryOnly = true;
        if (f.reportedRead) return {};
        f.reportedRead = true;
        return QStringLiteral("The settings file \"%1\" cannot be read (%2).%3")
            .arg(QDir::toNativeSeparators(f.path), why,
                 goesOn_ ? QStringLiteral(" The program goes on with its default settings and saves none in this run.")
                         : QString());
    }
    Content parsed;
    // No settings file of ours grows that large: damaged, and set aside like
    // one, so that the next run does not meet it again.
    if (tooLarge)
        why = QStringLiteral("it is larger than %1 bytes").arg(kMaxFileSize);
    else if (parse(data, parsed, &why)) {
        f.content = std::move(parsed);
        return {};
    }
    // Damaged: move it aside so that nothing of it is lost, then start afresh.
    f.content.clear();
    // A file set aside earlier is kept: this one takes the next free name.
    QString aside = f.path + QStringLiteral(".damaged");
    for (int n = 2; n <= 999 && (QFileInfo::exists(aside) || QFileInfo(aside).isSymLink()); ++n)
        aside = f.path + QStringLiteral(".damaged") + QString::number(n);
    const bool moved = QFile::rename(f.path, aside);
    if (!moved) f.memoryOnly = true;
    stamp(f);
    if (f.reportedRead) return {};
    f.reportedRead = true;
    const QString damaged = QStringLiteral("The settings file \"%1\" is damaged (%2).").arg(QDir::toNativeSeparators(f.path), why);
    if (moved)
        return damaged + (goesOn_ ? QStringLiteral(" The program goes on with its default settings; the damaged file was kept as \"%1\".")
                                  : QStringLiteral(" It was kept as \"%1\"."))
                             .arg(QDir::toNativeSeparators(aside));
    return damaged + (goesOn_ ? QStringLiteral(" The program goes on with its default settings and saves none in this run.")
                              : QString());
}

QString IniSettingsStore::readProblem(const QString& app) {
    const QString path = fileName(app);
    if (!QFileInfo::exists(path)) return {};
    QFile in(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (const QString why = notPlainFile(path); !why.isEmpty())
        return QStringLiteral("the settings file \"%1\" cannot be read (%2)").arg(shown, why);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("the settings file \"%1\" cannot be read (%2)").arg(shown, in.errorString());
    if (in.size() > kMaxFileSize)
        return QStringLiteral("the settings file \"%1\" is larger than %2 bytes").arg(shown).arg(kMaxFileSize);
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return QStringLiteral("the settings file \"%1\" cannot be read (%2)").arg(shown, in.errorString());
    Content parsed;
    QString why;
    if (!parse(data, parsed, &why)) return QStringLiteral("the settings file \"%1\" is damaged (%2)").arg(shown, why);
    return {};
}

QString IniSettingsStore::refreshIfChanged(File& f) {
    if (!f.loaded) return load(f);
    if (f.memoryOnly) return {};
    const QFileInfo fi(f.path);
    if (fi.exists() == f.exists && (!f.exists || (fi.size() == f.size && fi.lastModified() == f.modified)))
        return {};
    return load(f);
}

QString IniSettingsStore::get(const QString& app, const QString& section, const QString& key, const QString& def) {
    File& f = file(app);
    const QString message = refreshIfChanged(f);
    QString result = def;
    if (Section* s = findSection(f.content, section))
        if (auto* kv = findKey(*s, key)) result = kv->second;
    report(message);
    return result;
}

void IniSettingsStore::save(const QString& app, const QString& section, const QString& key, const QString& value) {
    change(app, section, key, &value);
}

void IniSettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    change(app, section, key, nullptr);
}

void IniSettingsStore::change(const QString& app, const QString& section, const QString& key, const QString* value) {
    if (key.isEmpty()) return;  // a nameless key could not be read back
    File& f = file(app);
    QString message;
    std::unique_ptr<QLockFile> lock;
    if (!f.memoryOnly) {
        if (!QDir(folder_).exists()) {
            QDir().mkpath(folder_);
            QFile::setPermissions(folder_, kOwnerOnly | QFileDevice::ExeOwner);
        }
        lock = std::make_unique<QLockFile>(f.path + QStringLiteral(".lock"));
        lock->setStaleLockTime(30000);
        lock->tryLock(3000);  // a run that holds it longer is stuck; write anyway
        // Another run may have written since we read: start from the file as it is.
        // After a failed write the values of this run live only in memory: keep them.
        message = f.unsaved ? refreshIfChanged(f) : load(f);
    }
    Section* s = findSection(f.content, section);
    if (value) {
        if (!s) {
            f.content.push_back({section, {}});
            s = &f.content.back();
        }
        if (auto* kv = findKey(*s, key))
            kv->second = *value;
        else
            s->keys.emplace_back(key, *value);
    } else if (s) {
        std::erase_if(s->keys, [&](const auto& kv) { return kv.first.compare(key, Qt::CaseInsensitive) == 0; });
    }
    if (!f.memoryOnly) {
        const QString failed = write(f, app);
        if (message.isEmpty()) message = failed;
    }
    lock.reset();
    report(message);
}

QString IniSettingsStore::write(File& f, const QString& app) {
    QString why;
    // Written whole beside the file and put in its place, through a link only
    // where it and its file are the user's own (so the file stays the user's);
    // it may hold a saved password: for the owner alone.
    try {
        SafeOutputFile out;
        SafeOutputFile::Options o;
        o.ownerOnly = true;
        out.open(f.path, o);
        out.write(serialize(f.content, app).toStdString());
        out.commit();
    } catch (const PcFileError& e) {
        why = e.description;
    }
    f.unsaved = !why.isEmpty();
    if (why.isEmpty()) {
        stamp(f);
        return {};
    }
    if (f.reportedWrite) return {};
    f.reportedWrite = true;
    return QStringLiteral("The settings cannot be saved to \"%1\" (%2).").arg(QDir::toNativeSeparators(f.path), why);
}
