#pragma once
#include <QFile>
#include <QJsonArray>
#include <functional>
#include <QTemporaryDir>

#include "OfficeStandIns.h"
#include "RecordingProcessStarter.h"
#include "TestSupport.h"

// The stand-ins on a desk of their own: a temporary folder, and an opener whose starts are recorded.
struct Desk {
    Desk() {
        ensureApplication();
        desk.processes = [this] { return &starter; };
        desk.documentsFolder = [this] { return dir.filePath(QStringLiteral("shown")); };
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    RecordingProcessStarter starter;
    StandInDesk desk;
};

inline const QString kMark = QString(QChar(0x2022));  // character 149 of the Windows code page

inline QStringList strings(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& x : v.toArray()) out << x.toString();
    return out;
}
inline QList<int> ints(const QJsonValue& v) {
    QList<int> out;
    for (const QJsonValue& x : v.toArray()) out << x.toInt();
    return out;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}
inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// The number of the automation error `f` raised; 0 when none.
inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AutomationError& e) {
        return e.number;
    }
    return 0;
}
