#include "TestSupport.h"

#include "PlainSplfScreen.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include "RuntimeDirectory.h"

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    EnsureRuntimeDirectory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "swtest";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QImage saveScreenshot(QWidget& window, const QString& fileName) {
    window.show();
    QCoreApplication::processEvents();
    const QImage img = window.grab().toImage();
    const QString dir = QStringLiteral(SW_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    if (img.isNull() || !img.save(dir + QLatin1Char('/') + fileName)) return {};
    return img;
}

// Widgets need the QApplication before anything else makes a QCoreApplication.
TestContext::TestContext() : BasicTestContext<AppContext>(ensureApplication) {
    presenter = install(ctx.services.presenter, std::make_unique<TestPresenter>());
}

// Under the sanitizer build: fontconfig keeps its caches for the life of the
// process, which the leak checker would otherwise report for every widget test.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

HookedUpperWindows& installHookedUpperWindows(AppContext& ctx) {
    auto windows = std::make_unique<HookedUpperWindows>(ctx);
    HookedUpperWindows& hooked = *windows;
    ctx.installUpperWindows(std::move(windows));
    return hooked;
}

PlainSplfScreen& TextFileScreen(AppContext& ctx) {
    auto* screen = dynamic_cast<PlainSplfScreen*>(&ctx.frmSplf());
    if (!screen) throw std::runtime_error("the spooled-file screen is not the widgetless one");
    screen->setCheck(ScreenCheck::PrintControl, 0);
    screen->setChosen(ScreenChoice::PrintControlFormat, 0, true);
    screen->setCheck(ScreenCheck::SuppressOverprinting, 1);
    screen->setCheck(ScreenCheck::RemoveBlankLines, 0);
    screen->setCheck(ScreenCheck::ConvertMinusSign, 1);
    screen->setChosen(ScreenChoice::TextAddReplace, 0, true);
    screen->setChosen(ScreenChoice::TextAddReplace, 1, false);
    screen->setText(ScreenText::FromPage, QStringLiteral("*Start"));
    screen->setText(ScreenText::ToPage, QStringLiteral("*End"));
    screen->setText(ScreenText::PageLength, QStringLiteral("66"));
    screen->setText(ScreenText::Translation, QStringLiteral("<Default>"));
    screen->setText(ScreenText::ProcessType, QStringLiteral("Text file"));
    return *screen;
}

