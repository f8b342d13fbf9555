#include "OfficeFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QJsonDocument>
#include <QProcess>
#include <cstdio>

#include "Codec.h"

namespace {
QJsonObject parse(const QByteArray& out, const QString& who, QProcess& p) {
    const QJsonDocument doc = QJsonDocument::fromJson(out);
    if (!doc.isObject())
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(who), p.readAllStandardError().constData());
    return doc.object();
}
QString script(const char* name) { return QStringLiteral(SW_TEST_DATA "/office/") + QLatin1String(name); }
}  // namespace

QJsonObject XlsxFacts(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {script("xlsx_facts.py"), file});
    p.waitForFinished(60000);
    return parse(p.readAllStandardOutput(), QStringLiteral("openpyxl"), p);
}

QJsonObject OdtFacts(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {script("odt_facts.py"), file});
    p.waitForFinished(60000);
    return parse(p.readAllStandardOutput(), QStringLiteral("odt reader"), p);
}

void WriteMarkedReport(const QString& file, const QList<QStringList>& pages) {
    std::string bytes;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) bytes += "\x95\r\n";
        for (const QString& l : pages.at(i)) bytes += Codec::fromUnicode(l) + "\r\n";
    }
    QFile f(file);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QStringList LinesOf(const QList<QStringList>& pages) {
    QStringList out;
    for (const QStringList& p : pages) out += p;
    return out;
}

PrivateRuntimeDir::PrivateRuntimeDir() : old(qgetenv("XDG_RUNTIME_DIR")) {
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
}

PrivateRuntimeDir::~PrivateRuntimeDir() { qputenv("XDG_RUNTIME_DIR", old); }

RecordingOpener::RecordingOpener() {
    QFile script(program());
    if (!script.open(QIODevice::WriteOnly)) return;
    script.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(dir.filePath(QStringLiteral("shown.log"))).toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QStringList RecordingOpener::shown(int waitMs) const {
    const QString log = dir.filePath(QStringLiteral("shown.log"));
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(log) && t.elapsed() < waitMs) QThread::msleep(50);
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
