#pragma once
// The windows a settings file fills, with the settings files installed, and
// small file helpers in the test's own folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "DownloadWindows.h"
#include "SettingsFile.h"
#include "Viewers.h"
#include "TestSupport.h"
#include "frmMain.h"
#include "frmSplf.h"

struct SettingsWindows {
    SettingsWindows() {
        installWindows(t.ctx);
        installDownloadWindows(t.ctx);
    }
    frmSplf& splf() { return *dynamic_cast<frmSplf*>(&t.ctx.frmSplf()); }
    frmMain& main() { return t.ctx.mainWindow(); }
    frmFormat& naming() { return NamingOptionsWindow(t.ctx); }
    QString path(const char* name) { return QDir(t.dir.path()).filePath(QString::fromLatin1(name)); }
    QByteArray file(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void write(const QString& p, const QByteArray& bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The file's text as File > Open takes it.
    void applyText(const QByteArray& bytes) {
        SettingsFile::apply(t.ctx, SettingsFile::lines(bytes, SettingsFile::Reader::Window));
    }
    TestContext t;
};
