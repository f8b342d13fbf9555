#pragma once
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <functional>
#include <QTemporaryDir>

#include "OfficeFiles.h"
#include "OfficeStandIns.h"
#include "RecordingProcessStarter.h"
#include "TestSupport.h"

// The stand-ins on a desk of their own: a temporary folder, and an opener whose starts are recorded.
struct Desk {
    Desk() { ensureApplication(); }
    QString path(const QString& name) const { return dir.filePath(name); }
    // A text work file in the folder, as the core transfer writes it for an office program.
    QString report(const QString& name, const QList<QStringList>& pages) const {
        WriteMarkedReport(path(name), pages);
        return path(name);
    }
    QTemporaryDir dir;
    RecordingProcessStarter starter;
    StandInDesk desk{[this] { return &starter; }, [this] { return dir.filePath(QStringLiteral("shown")); }};
    OfficeStandIns standIns{desk};
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

// A save into a folder that cannot be made (a file of the user's stands in its
// place): the save answers `error` and the user's file stays as it was.
inline void ExpectRefusedSaveKeepsTheFile(const Desk& d, const QString& fileName, int error,
                                          const std::function<void(const QString& target)>& save) {
    const QString existing = d.path(fileName);
    writeBytes(existing, "the user's earlier file");
    EXPECT_EQ(errorOf([&] { save(existing + QStringLiteral("/report")); }), error);
    EXPECT_EQ(readBytes(existing), QByteArray("the user's earlier file"));
}
