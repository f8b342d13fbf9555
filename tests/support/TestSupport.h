#pragma once
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class QWidget;

#include "AppContext.h"
#include "CoreTestSupport.h"
#include "TestPresenter.h"

// The test context of the windows: the same doubles, and windows closed by
// presenter hooks.
struct TestContext : BasicTestContext<AppContext> {
    TestContext();
    TestPresenter* presenter = nullptr;
};

// The QApplication of a test program (offscreen); created on first call.
void ensureApplication();

// Shows the window (offscreen), takes its picture and saves it as
// <build>/screenshots/<fileName> for a person to look at. Returns the picture,
// or a null image when it could not be taken or saved.
QImage saveScreenshot(QWidget& window, const QString& fileName);

// The spooled-file screen of ctx as the widgetless screen, with the options
// a "Text file" download starts from (TextFileOptions()).
class PlainSplfScreen;
PlainSplfScreen& TextFileScreen(AppContext& ctx);
