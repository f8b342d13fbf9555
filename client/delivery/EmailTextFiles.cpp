#include "EmailTextFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "RunContext.h"
#include "SafeOutputFile.h"

namespace EmailTextFiles {
namespace {
QString inConfig(RunContext& ctx, const char* name) {
    return QDir(ctx.services.paths->configPath()).filePath(QString::fromLatin1(name));
}
QString read(RunContext& ctx, const char* name) {
    for (const QString& dir : {ctx.services.paths->configPath(), ctx.services.paths->appPath()}) {
        const QString path = QDir(dir).filePath(QString::fromLatin1(name));
        // Only a plain file: a pipe would wait for a writer, a device never ends.
        if (!QFileInfo(path).isFile()) continue;
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) return QString::fromLocal8Bit(f.readAll());
    }
    return {};
}
QString save(RunContext& ctx, const QString& path, const QString& text) {
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toLocal8Bit();
    SafeOutputFile f;
    try {
        SafeOutputFile::Options o;
        o.pause = [&ctx](qint64 ms) { ctx.services.clock->waitMs(ms); };
        f.open(path, o);
        f.write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        f.commit();
        return {};
    } catch (const PcFileError& e) {
        f.discard();
        return QStringLiteral("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), e.description);
    }
}
}  // namespace

QString subjectFile(RunContext& ctx) { return inConfig(ctx, "emailsub.txt"); }
QString messageFile(RunContext& ctx) { return inConfig(ctx, "emailmsg.txt"); }
QString readSubject(RunContext& ctx) { return read(ctx, "emailsub.txt"); }
QString readMessage(RunContext& ctx) { return read(ctx, "emailmsg.txt"); }

QString write(RunContext& ctx, const QString& subject, const QString& message) {
    QDir().mkpath(ctx.services.paths->configPath());
    QString error = save(ctx, subjectFile(ctx), subject);
    if (error.isEmpty()) error = save(ctx, messageFile(ctx), message);
    return error;
}

QString stripLineEnds(QString text) {
    while (text.endsWith(QLatin1Char('\r')) || text.endsWith(QLatin1Char('\n'))) text.chop(1);
    return text;
}
}  // namespace EmailTextFiles
