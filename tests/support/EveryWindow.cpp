#include "EveryWindow.h"

#include "DownloadWindows.h"
#include "Viewers.h"
#include "frmAbout.h"
#include "frmEdit.h"
#include "frmFormat.h"
#include "frmFullView.h"
#include "frmLogin.h"
#include "frmMacro.h"
#include "frmMain.h"
#include "frmOptions.h"
#include "frmOutq.h"
#include "frmPrint.h"
#include "frmSaveAs.h"
#include "frmSplash.h"
#include "frmSplf.h"
#include "frmView.h"
#include "installer/frmLogin.h"
#include "installer/frmMain.h"

EveryWindow::EveryWindow() {
    installWindows(t.ctx);
    installDownloadWindows(t.ctx);
    t.ctx.services.version = ProgramVersion{10, 0, 3};
    auto add = [this](const char* name, QWidget* w) { windows.push_back({QString::fromLatin1(name), w}); };
    auto own = [this, &add](const char* name, QWidget* w) {
        owned_.emplace_back(w);
        add(name, w);
    };
    auto* splash = new frmSplash(t.ctx);
    splash->Form_Load();
    own("frmSplash", splash);
    add("frmMain", &t.ctx.mainWindow());
    add("frmSplf", dynamic_cast<QWidget*>(&t.ctx.frmSplf()));
    add("frmOptions", &t.ctx.optionsWindow());
    add("frmLogin", &t.ctx.loginWindow());
    add("frmOutq", &t.ctx.outqWindow());
    add("frmAbout", &t.ctx.aboutWindow());
    for (const auto kind : {frmSaveAs::Kind::Text, frmSaveAs::Kind::Html, frmSaveAs::Kind::Xml, frmSaveAs::Kind::Pdf})
        add(frmSaveAs::textsOf(kind).objectName, &SaveDialog(t.ctx, kind));
    add("frmFormat", &NamingOptionsWindow(t.ctx));
    add("frmPrint", &PrinterFormatWindow(t.ctx));
    add("frmView", &PreviewWindow(t.ctx));
    own("frmFullView", new frmFullView(t.ctx, Viewers(t.ctx).fullViewPlace));
    own("frmEdit", new frmEdit(t.ctx));
    add("frmExcel", &ExcelMacroWindow(t.ctx));
    add("frmWord", &WordMacroWindow(t.ctx));
    own("Hostprep frmMain", new hostprep::frmMain(hostprep.ctx));
    own("Hostprep frmLogin", new hostprep::frmLogin(hostprep.ctx));
}

EveryWindow::~EveryWindow() {
    for (const Window& w : windows) w.widget->hide();
}
