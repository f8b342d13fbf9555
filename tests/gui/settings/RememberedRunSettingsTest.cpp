#include <gtest/gtest.h>

#include <QComboBox>

#include "RememberedSettings.h"
#include "ScreenOptions.h"
#include "TestSupport.h"
#include "frmSplf.h"

// A run with no screen takes the remembered values exactly as the screen's
// load shows them: the same values give the same download options.
namespace {
using Values = std::vector<std::pair<const char*, const char*>>;

QStringList describe(const DownloadOptions& o) {
    auto b = [](bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList d{"process " + o.processType, "translation " + o.translation, "from " + o.fromPage,
                  "to " + o.toPage, "blanks " + b(o.removeBlankLines), "overprint " + b(o.suppressOverprinting),
                  "minus " + b(o.convertMinusSign), "prtctl " + b(o.printControl), "fcfc " + b(o.fcfc),
                  "length " + o.pageLength, "textfile " + QString::number(int(o.textFile)),
                  "htmladd " + b(o.htmlAddToFile), "htmlfont " + o.htmlFontSize, "landscape " + b(o.pdfLandscape),
                  "pdffont " + o.pdfFontSize, "paper " + o.pdfPaperSize, "vert " + o.pdfVertSize,
                  "email " + QString::number(o.email), "aspdf " + b(o.emailAsPdf), "autosend " + b(o.autoSend),
                  "attach " + b(o.attachMultiples), "tabs " + o.tabs, "tabs2 " + o.tabs2, "macro " + b(o.runMacro),
                  "silent " + b(o.runSilent), "autoformat " + b(o.autoformat), "parse " + QString::number(o.parse),
                  "fullname " + b(o.naming.fullName), "usefile " + b(o.naming.useFileName),
                  "usejob " + b(o.naming.useJobName), "savepath " + o.naming.savePath};
    for (size_t i = 0; i < 3; ++i)
        d << "printer " + o.printer.fontSize[i] + " " + b(o.printer.landscape[i]) + b(o.printer.orientationSet[i]);
    return d;
}
}  // namespace

TEST(RememberedRunSettings, TheSameValuesGiveWhatTheLoadedScreenShows) {
    const std::vector<std::pair<const char*, Values>> cases = {
        {"an empty store", {}},
        {"every control set",
         {{"RemoveBlanks", "1"}, {"MinusSign", "0"}, {"RunMacro", "1"}, {"AttachMultiples", "1"}, {"AutoSend", "1"},
          {"Add replace", "True"}, {"Text or PDF", "False"}, {"Parse1", "True"}, {"Auto format", "1"},
          {"Run silent", "1"}, {"Page length", "88"}, {"Notes tabs", " 5 "}, {"Notes tabs 2", ""},
          {"PDF Fontsize", "8"}, {"PDF Vertsize", "Auto"}, {"PDF Papersize", "Legal"},
          {"PDF Page orientation", "False"}, {"Html add replace", "false"}, {"PRTCTL", "1"},
          {"PRTCTL format", "False"}, {"SuppressOverprinting", "0"}, {"Html font", "13"}, {"Email", " True "},
          {"FullName", "1"}, {"Use job name", "True"}, {"Save Path", "/tmp/reports/"}, {"80 Fontsize", "9"},
          {"Orientation 1", "False"}, {"Orientation 3", "False"}}},
        {"Auto email over Auto format", {{"Auto format", "0"}, {"Auto email", "True"}}},
        {"Add to file", {{"Add replace", "False"}, {"Page length", "Variable"}}},
        {"greyed check boxes", {{"RemoveBlanks", "2"}, {"RunMacro", "2"}, {"SuppressOverprinting", "2"}}},
        {"values no control can take",
         {{"RemoveBlanks", "x"}, {"MinusSign", "7"}, {"SuppressOverprinting", "-1"}, {"PDF Fontsize", "99"},
          {"Translation", "Klingon"}, {"PDF Papersize", "A0"}, {"Html font", "300"}, {"Add replace", "maybe"},
          {"PDF Page orientation", "sideways"}, {"Page length", "-5"}, {"Orientation 2", "sideways"}}},
        {"a translation table", {{"Translation", "From: USA/Canada    To: PC-USA   Q037337437"}}},
        {"Defaults False", {{"Defaults", "False"}, {"Process", "Text file"}, {"From", "3"}}},
        {"Defaults True", {{"Defaults", "True"}, {"Process", "Text file"}, {"From", "3"}, {"To", "9"}}},
        {"a destination this PC does not offer", {{"Defaults", "True"}, {"Process", "Microsoft Excel"}}},
    };
    for (const auto& [name, values] : cases) {
        SCOPED_TRACE(name);
        TestContext t;
        installWindows(t.ctx);
        for (const auto& [k, v] : Values{{"RemoveBlanks", "0"}, {"MinusSign", "1"}, {"Email", "0"}})
            t.ctx.services.saveSetting(QString::fromLatin1(k), QString::fromLatin1(v));
        for (const auto& [k, v] : values) t.ctx.services.saveSetting(QString::fromLatin1(k), QString::fromLatin1(v));
        auto setting = [&t](const QString& key) { return t.ctx.services.getSetting(key); };
        auto& screen = dynamic_cast<frmSplf&>(t.ctx.frmSplf());
        const RunSettings remembered = RememberedRunSettings(
            setting, [&screen](const QString& d) { return screen.cboProcessType->findText(d) >= 0; });
        DownloadOptions shown = ReadScreenOptions(screen, false);
        ReadDialogOptions(shown, setting);
        EXPECT_EQ(describe(remembered.options), describe(shown));
    }
}
