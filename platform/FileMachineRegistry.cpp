#include "FileMachineRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// A quoted text starting at s[pos] == '"'; pos moves past the closing quote.
bool readQuoted(QStringView s, qsizetype& pos, QString& out) {
    out.clear();
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\\') && i + 1 < s.size()) {
            out += s.at(++i);
        } else if (c == QLatin1Char('"')) {
            pos = i + 1;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

bool parseData(QStringView text, RegistryValue& v) {
    qsizetype pos = 0;
    if (text.startsWith(QLatin1Char('"'))) {
        v.type = RegistryValue::String;
        return readQuoted(text, pos, v.text) && text.mid(pos).trimmed().isEmpty();
    }
    if (text.startsWith(QLatin1String("expand:"), Qt::CaseInsensitive)) {
        text = text.mid(7).trimmed();
        v.type = RegistryValue::ExpandString;
        return text.startsWith(QLatin1Char('"')) && readQuoted(text, pos, v.text) && text.mid(pos).trimmed().isEmpty();
    }
    if (text.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QStringView digits = text.mid(6).trimmed();
        bool ok = false;
        v.type = RegistryValue::Dword;
        v.number = digits.size() <= 8 ? digits.toUInt(&ok, 16) : 0;
        return ok;
    }
    if (text.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
        v.type = RegistryValue::Binary;
        for (QStringView byte : text.mid(4).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const uint b = byte.trimmed().toUInt(&ok, 16);
            if (!ok || b > 0xFF) return false;
            v.data.append(static_cast<char>(b));
        }
        return true;
    }
    return false;
}
}  // namespace

QString FileMachineRegistry::defaultPath(const QString& appPath) {
    return QDir(appPath).filePath(QStringLiteral("machine.reg"));
}

void FileMachineRegistry::ensureLoaded() {
    if (loaded_) return;
    loaded_ = true;
    load(path_, false);
    // Fragments that installed programs add beside it ("machine.reg.d/office.reg").
    const QDir fragments(path_ + QStringLiteral(".d"));
    for (const QString& name : fragments.entryList({QStringLiteral("*.reg")}, QDir::Files, QDir::Name))
        load(fragments.filePath(name), true);
}

void FileMachineRegistry::load(const QString& file, bool fragment) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QString text = QString::fromUtf8(f.readAll());
    QString key;
    int lineNo = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++lineNo;
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF))) line = line.mid(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
        auto skip = [&](const char* why) {
            problems_ << (fragment ? QStringLiteral("%1 line %2: %3").arg(QFileInfo(file).fileName())
                                   : QStringLiteral("line %2: %3"))
                             .arg(lineNo)
                             .arg(QLatin1String(why));
        };
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']'))) {
                skip("key name without ']'");
                key.clear();
                continue;
            }
            key = line.mid(1, line.size() - 2).trimmed().toString();
            continue;
        }
        if (key.isEmpty()) {
            skip("value outside a key");
            continue;
        }
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!line.startsWith(QLatin1Char('"')) || !readQuoted(line, pos, name)) {
            skip("value name not in quotes");
            continue;
        }
        QStringView rest = line.mid(pos).trimmed();
        if (!rest.startsWith(QLatin1Char('='))) {
            skip("'=' missing");
            continue;
        }
        RegistryValue v;
        if (!parseData(rest.mid(1).trimmed(), v)) {
            skip("value data not understood");
            continue;
        }
        setValue(key, name, v);
    }
}
