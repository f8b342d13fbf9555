#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "HostprepContext.h"
#include "frmMain.h"

#include "RuntimeDirectory.h"

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    QApplication app(argc, argv);
    hostprep::HostprepContext ctx;
    ctx.useDesktopServices();
    // "End the program" inside a window event: nothing that was waiting
    // underneath may run on.
    ctx.endInEvent = [](const hostprep::HostprepEnd& e) {
        std::fflush(nullptr);
        std::_Exit(e.exitStatus);
    };
    try {
        hostprep::frmMain& main = ctx.mainWindow();
        main.Form_Load();
        main.show();
        return QApplication::exec();
    } catch (const hostprep::HostprepEnd& e) {
        return e.exitStatus;
    }
}
