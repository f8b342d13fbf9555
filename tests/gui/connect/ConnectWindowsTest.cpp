#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSlider>
#include <QTabBar>

#include "TestSupport.h"
#include "frmLogin.h"
#include "frmOptions.h"

// Offscreen pictures of the sign-on dialog and the connection options, for a
// person to look at, and the controls a user must find in them.
namespace {
void grab(QWidget& w, const QString& name) {
    const QImage img = saveScreenshot(w, name);
    ASSERT_FALSE(img.isNull()) << name.toStdString();
    EXPECT_GE(img.width(), w.minimumWidth());
}

template <class T>
T* control(QWidget& w, const char* name) {
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}
}  // namespace

TEST(ConnectWindows, SignOnDialog) {
    TestContext t;
    t.ctx.connection.gHostAddress = "as400.example.com";
    frmLogin& login = t.ctx.loginWindow();
    login.txtUserID->setText("JSMITH");
    login.txtPassword->setText("secret");
    grab(login, "frmLogin.png");

    EXPECT_EQ(control<QLabel>(login, "lblLabels_0")->text(), "System:");
    EXPECT_EQ(control<QLabel>(login, "lblIPAddress")->text(), "as400.example.com");
    EXPECT_EQ(control<QLineEdit>(login, "txtPassword")->displayText(), "******");
    EXPECT_EQ(control<QCheckBox>(login, "chkSavePassword")->text(), "Save password");
    EXPECT_EQ(control<QAbstractButton>(login, "cmdOK")->text(), "OK");
    EXPECT_EQ(control<QAbstractButton>(login, "cmdCancel")->text(), "Cancel");
    EXPECT_FALSE(control<QLabel>(login, "Image1")->pixmap().isNull());
    for (const char* name : {"txtUserID", "txtPassword", "chkSavePassword", "cmdOK", "cmdCancel", "Label1"})
        EXPECT_TRUE(control<QWidget>(login, name)->isVisible()) << name;
}

TEST(ConnectWindows, ConnectionOptionsBothTabs) {
    TestContext t;
    t.ctx.services.saveSetting("URL", "as400.example.com");
    t.ctx.services.saveSetting("URL0", "as400.example.com");
    t.ctx.services.saveSetting("URL1", "192.168.1.20");
    frmOptions& o = t.ctx.optionsWindow();
    grab(o, "frmOptions-address.png");
    EXPECT_TRUE(control<QComboBox>(o, "cboIPAddress")->isVisible());
    EXPECT_EQ(control<QGroupBox>(o, "fraIPAddress_0")->title(), "Please specify an iSeries IP address or host name:");
    for (const char* name : {"cmdOK", "cmdCancel", "cmdApply", "Label1"})
        EXPECT_TRUE(control<QWidget>(o, name)->isVisible()) << name;

    control<QTabBar>(o, "tbsOptions")->setCurrentIndex(1);
    grab(o, "frmOptions-waittime.png");
    EXPECT_TRUE(control<QSlider>(o, "sliWaitTime")->isVisible());
    EXPECT_EQ(control<QLabel>(o, "lblWaitTime")->text(), "6");
    EXPECT_TRUE(control<QLabel>(o, "Label3")->isVisible());
    EXPECT_FALSE(control<QComboBox>(o, "cboIPAddress")->isVisible());
}

// Enter in the host-address box is the window's OK: the address is stored and
// the window closes.
TEST(ConnectWindows, EnterInTheAddressBoxIsOK) {
    TestContext t;
    t.ctx.services.saveSetting("URL", "old.example.com");
    frmOptions& o = t.ctx.optionsWindow();
    o.show();
    o.activateWindow();
    t.ctx.services.clock->waitUntil([&] { return o.isActiveWindow(); }, 2000);
    QLineEdit* box = o.cboIPAddress->lineEdit();
    box->setFocus();
    box->setText("as400.example.com");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    EXPECT_EQ(t.setting("URL"), "as400.example.com");
    EXPECT_FALSE(o.isVisible());
}
