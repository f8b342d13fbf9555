#include "HostprepTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "TestSupport.h"
#include "installer/frmLogin.h"

std::string HostprepTest::saveFileBytes() {
    QFile f(QStringLiteral(SW_SOURCE_DIR "/installer/data/spwsvv4.sav"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

HostprepTest::HostprepTest() {
    ensureApplication();
    auto c = std::make_unique<VirtualClock>();
    clock = c.get();
    ctx.clock = std::move(c);
    auto b = std::make_unique<ScriptedMessageBoxes>();
    boxes = b.get();
    ctx.msg = std::move(b);
    auto s = std::make_unique<MemorySettingsStore>();
    store = s.get();
    ctx.settings = std::move(s);
    auto p = std::make_unique<TempPaths>(dir.path());
    paths = p.get();
    ctx.paths = std::move(p);
    auto pr = std::make_unique<TestPresenter>();
    presenter = pr.get();
    ctx.presenter = std::move(pr);
    auto r = std::make_unique<FtpClientRunner>();
    runner = r.get();
    ctx.ftp = std::move(r);
    ctx.beep = [this] { ++beeps; };
    ctx.oldDriveRoot = driveC();
    QDir().mkpath(dataDir());
    ctx.saveFileFolders = {dataDir()};
    QFile f(QDir(dataDir()).filePath(QStringLiteral("spwsvv4.sav")));
    if (f.open(QIODevice::WriteOnly)) f.write(QByteArray::fromStdString(saveFileBytes()));
}

void HostprepTest::answerSignOn(const QString& user, const QString& password) {
    presenter->hooks[QStringLiteral("frmLogin")] = [user, password](QWidget* w) {
        auto* login = qobject_cast<hostprep::frmLogin*>(w);
        if (!login) return;
        login->txtUserID->setText(user);
        login->txtPassword->setText(password);
        login->cmdOK->click();
    };
}
