// frmMain.Form_Unload: the stop sequence of every run.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>

#include "AppContext.h"
#include "HostLink.h"
#include "MousePointer.h"
#include "SettingValues.h"
#include "SplfScreenApi.h"
#include "frmMain.h"

namespace {

// Every step tolerates failure: a failing one is passed over and the next runs.
template <class F>
void tolerant(F&& step) {
    try {
        step();
    } catch (const ProgramEnd&) {
        throw;
    } catch (...) {
    }
}

struct MissingWindow {};

QString field(const std::function<QString(const char*)>& hook, const char* name) {
    if (!hook) throw MissingWindow{};  // the window was never built in this program
    return hook(name);
}
}  // namespace

void frmMain::Form_Unload() {
    tolerant([&] {
        if (ctx_.gWordProAppHeld && ctx_.releaseWordProApp) ctx_.releaseWordProApp();
        ctx_.gWordProAppHeld = false;
    });
    {
        PointerGuard busy;
        tolerant([&] {
            setStatusPanel(QStringLiteral("Deallocating the iSeries conversation.   "));
            Refresh();
            Disconnect(ctx_.link);
        });
        tolerant([&] {
            setStatusPanel(QStringLiteral("Removing work files."));
            Refresh();
            ctx_.clearWorkDirectory();
        });
        tolerant([&] {
            setStatusPanel(QStringLiteral("Bye..."));
            Refresh();
        });
    }
    // A batch run leaves the user's remembered interactive settings as they were.
    if (!ctx_.gBatchMode) {
        tolerant([&] { ctx_.saveTruth(Setting::Defaults, itmSaveSettings->isChecked()); });
        if (itmSaveSettings->isChecked()) rememberSettings();
    }
    tolerant([&] {
        if (!(windowState() & Qt::WindowMinimized))
            setWindowState(windowState() | Qt::WindowMinimized);
    });
    ctx_.endProgram(ctx_.stopExitStatus, QStringLiteral("The main window was closed."));
}

// The values that the next start and the dialogs read back, in the order they are written.
void frmMain::rememberSettings() {
    AppContext& c = ctx_;
    auto remember = [&c](const SettingKey& key, const std::function<QString()>& value) {
        tolerant([&] { c.saveSetting(key, value()); });
    };
    auto dialog = [&c](const char* name) { return field(c.saveDialogField, name); };
    auto macro = [&c](const char* name) { return field(c.macroField, name); };

    remember(Setting::Outq, [&] { return txtOutq->text().trimmed(); });
    remember(Setting::Library, [&] { return cboLibrary->currentText().trimmed(); });
    remember(Setting::Wrksplf, [&] { return txtWrkSplf->text().trimmed(); });
    if (c.gTextSaveAccepted) {
        remember(Setting::TextFile, [&] { return dialog("frmSave.txtSave").trimmed(); });
        remember(Setting::SaveDir, [&] { return dialog("frmSave.dlgFile.InitDir"); });
    }
    if (c.gHtmlSaveAccepted) {
        remember(Setting::HtmlFile, [&] { return dialog("frmSaveHtml.txtSave").trimmed(); });
        remember(Setting::HtmlAddReplace, [&] {
            return BoolText(c.frmSplf().value(QStringLiteral("optAddReplace_0")) != 0);
        });
        remember(Setting::SaveDirHtml, [&] { return dialog("frmSaveHtml.dlgFile.InitDir"); });
        remember(Setting::HtmlFont, [&] { return c.frmSplf().text(QStringLiteral("cboFontSizeHTML")); });
    }
    if (c.gPdfSaveAccepted) {
        remember(Setting::PdfFile, [&] { return dialog("frmPDF.txtSave").trimmed(); });
        remember(Setting::SaveDirPdf, [&] { return dialog("frmPDF.dlgFile.InitDir"); });
    }
    // The XML dialog reads these back like the others do theirs.
    if (c.gXmlSaveAccepted) {
        remember(Setting::XmlFile, [&] { return dialog("frmSaveXml.txtSave").trimmed(); });
        remember(Setting::SaveDirXml, [&] { return dialog("frmSaveXml.dlgFile.InitDir"); });
    }
    if (c.gExcelMacroFormLoaded) {
        remember(Setting::ExcelMacroSheet, [&] { return macro("frmExcel.txtMacroSheet").trimmed(); });
        remember(Setting::ExcelMacroName, [&] { return macro("frmExcel.txtMacroName").trimmed(); });
    }
    if (c.gWordMacroFormLoaded) {
        remember(Setting::WordMacroDocument, [&] { return macro("frmWord.txtMacroFile").trimmed(); });
        remember(Setting::WordMacroName, [&] { return macro("frmWord.txtMacroName").trimmed(); });
    }
    remember(Setting::AutoConnect, [&] { return BoolText(itmAutoConnect->isChecked()); });
}
