#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPixmap>

#include "ConnectionWindows.h"
#include "HookPresenter.h"
#include "HostSimFixture.h"
#include "TestSupport.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmSplash.h"

// Pictures of the windows for a person to look at (build/ci/screenshots/).
namespace {

void shoot(QWidget& w, const char* file) {
    const QImage img = saveScreenshot(w, QString::fromLatin1(file));
    ASSERT_FALSE(img.isNull()) << file;
    // Something was drawn: not a single colour all over.
    const QRgb first = img.pixel(0, 0);
    bool varied = false;
    for (int y = 0; y < img.height() && !varied; y += 7)
        for (int x = 0; x < img.width() && !varied; x += 7) varied = img.pixel(x, y) != first;
    EXPECT_TRUE(varied) << file;
}

TEST(Screenshots, Windows) {
    TestContext t;
    t.ctx.services.version = ProgramVersion{10, 0, 3};
    frmSplash splash(t.ctx);
    splash.Form_Load();
    shoot(splash, "frmSplash.png");
    splash.hide();

    frmMain& m = t.ctx.mainWindow();
    m.txtOutq->setText("QPRINT");
    m.txtWrkSplf->setText("*CURRENT");
    shoot(m, "frmMain-not-connected.png");
    // Connected for real, to hostsim.
    HostSimFixture host({.clock = t.clock});
    t.ctx.services.saveSetting("URL", host.address());
    t.ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    rememberSignOn(t.ctx.services, "SWUSER", "SWPASS");
    ASSERT_TRUE(ConnectToHost(t.ctx));
    ASSERT_FALSE(m.isNotConnected());
    shoot(m, "frmMain-connected.png");

    shoot(t.ctx.aboutWindow(), "frmAbout.png");
}

}  // namespace
