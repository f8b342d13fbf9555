// frmMain.Form_Unload: the stop sequence of every run.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>

#include "AppContext.h"
#include "DeliveryState.h"
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

// A dialog this program has no window for passes its values over.
template <class Fields>
Fields present(const std::optional<Fields>& fields) {
    if (!fields) throw MissingWindow{};
    return *fields;
}
}  // namespace

void frmMain::Form_Unload() {
    tolerant([&] {
        DeliveryState& delivery = DeliveryOf(ctx_);
        if (delivery.gWordProAppHeld && delivery.releaseWordProApp) delivery.releaseWordProApp();
        delivery.gWordProAppHeld = false;
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
            ctx_.connection.clearWorkDirectory();
        });
        tolerant([&] {
            setStatusPanel(QStringLiteral("Bye..."));
            Refresh();
        });
    }
    tolerant([&] { ctx_.services.saveTruth(Setting::Defaults, itmSaveSettings->isChecked()); });
    if (itmSaveSettings->isChecked()) rememberSettings();
    tolerant([&] {
        if (!(windowState() & Qt::WindowMinimized))
            setWindowState(windowState() | Qt::WindowMinimized);
    });
    ctx_.services.endProgram(ctx_.services.stopExitStatus, QStringLiteral("The main window was closed."));
}

// The values that the next start and the dialogs read back, in the order they are written.
void frmMain::rememberSettings() {
    AppContext& c = ctx_;
    auto remember = [&c](const SettingKey& key, const std::function<QString()>& value) {
        tolerant([&] { c.services.saveSetting(key, value()); });
    };
    auto dialog = [&c](SaveDialogKind kind) { return present(c.upperWindows().saveDialogFields(kind)); };
    auto macro = [&c](MacroProgram program) { return present(c.upperWindows().macroFields(program)); };

    remember(Setting::Outq, [&] { return txtOutq->text().trimmed(); });
    remember(Setting::Library, [&] { return cboLibrary->currentText().trimmed(); });
    remember(Setting::Wrksplf, [&] { return txtWrkSplf->text().trimmed(); });
    if (c.saveDialogs.text.accepted) {
        remember(Setting::TextFile, [&] { return dialog(SaveDialogKind::Text).name.trimmed(); });
        remember(Setting::SaveDir, [&] { return dialog(SaveDialogKind::Text).folder; });
    }
    if (c.saveDialogs.html.accepted) {
        remember(Setting::HtmlFile, [&] { return dialog(SaveDialogKind::Html).name.trimmed(); });
        remember(Setting::HtmlAddReplace, [&] {
            return BoolText(c.frmSplf().isChosen(ScreenChoice::HtmlAddReplace, 0));
        });
        remember(Setting::SaveDirHtml, [&] { return dialog(SaveDialogKind::Html).folder; });
        remember(Setting::HtmlFont, [&] { return c.frmSplf().text(ScreenText::HtmlFontSize); });
    }
    if (c.saveDialogs.pdf.accepted) {
        remember(Setting::PdfFile, [&] { return dialog(SaveDialogKind::Pdf).name.trimmed(); });
        remember(Setting::SaveDirPdf, [&] { return dialog(SaveDialogKind::Pdf).folder; });
    }
    // The XML dialog reads these back like the others do theirs.
    if (c.saveDialogs.xml.accepted) {
        remember(Setting::XmlFile, [&] { return dialog(SaveDialogKind::Xml).name.trimmed(); });
        remember(Setting::SaveDirXml, [&] { return dialog(SaveDialogKind::Xml).folder; });
    }
    if (DeliveryOf(c).gExcelMacroFormLoaded) {
        remember(Setting::ExcelMacroSheet, [&] { return macro(MacroProgram::Excel).document.trimmed(); });
        remember(Setting::ExcelMacroName, [&] { return macro(MacroProgram::Excel).name.trimmed(); });
    }
    if (DeliveryOf(c).gWordMacroFormLoaded) {
        remember(Setting::WordMacroDocument, [&] { return macro(MacroProgram::Word).document.trimmed(); });
        remember(Setting::WordMacroName, [&] { return macro(MacroProgram::Word).name.trimmed(); });
    }
    remember(Setting::AutoConnect, [&] { return BoolText(itmAutoConnect->isChecked()); });
}
