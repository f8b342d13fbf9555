#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "CoreTestSupport.h"
#include "EmailCommon.h"
#include "MailSetup.h"
#include "OfficeDelivery.h"
#include "OfficeMailDelivery.h"
#include "ScriptedHostSocket.h"
#include "SpoolFileRow.h"
#include "TargetDiscovery.h"
#include "TransferTestSupport.h"

// The office and mail programs are delivered below the windows: a run with
// no window at all (a batch run's context) reaches each of them.
namespace {
class OfficeMailCore : public ::testing::Test {
protected:
    CoreTestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    StatusRecorder progress{t.ctx.link};
    QString out = t.dir.path() + QStringLiteral("/out");
    QString drafts = t.dir.path() + QStringLiteral("/drafts");

    void SetUp() override {
        t.ctx.mode.gBatchMode = true;
        t.ctx.connection.gWorkDir = t.dir.path() + QStringLiteral("/work");
        ASSERT_TRUE(QDir().mkpath(t.ctx.connection.gWorkDir) && QDir().mkpath(out));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), out);
        t.ctx.services.saveSetting(QStringLiteral("Drafts folder"), drafts);
        t.ctx.targets.gExcelVersion = t.ctx.targets.gWordVersion = QStringLiteral("16");
    }
    RunSettings settingsFor(Destination destination) {
        RunSettings s;
        s.options = TextFileOptions();
        s.options.processType = ProcessTypeOf(destination).text;
        s.options.email = 1;  // as an attachment
        s.options.tabs = s.options.tabs2 = QStringLiteral("1");
        return s;
    }
    // One report through the destination's procedure: whether it was delivered.
    bool deliver(RunSettings& s, QString& document) {
        const std::optional<DeliveryProcedure> d =
            OfficeMailDeliveryFor(t.ctx, s, progress, *FindProcessType(s.options.processType));
        EXPECT_TRUE(d.has_value());
        document.clear();
        if (!d) return false;
        const ReportResult result = (*d)(document, SampleRow());
        document = result.writtenAs;
        return bool(result);
    }
    // The host sends the report's first block and then nothing.
    void hostFallsSilent() {
        host->reply(SpoolReplies::report(NumberedRecords(15), " 80")[0]);
        host->script.push_back({ScriptedHost::Step::Silence, {}});
        t.ctx.link.replyTimeoutMs = 200;
        t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    }
    QStringList draftFiles() const { return QDir(drafts).entryList({QStringLiteral("*.eml")}, QDir::Files); }
    QStringList calls(const QString& part) const { return t.automation->log().filter(part); }
};
}  // namespace

// Each mail program of this platform takes the report as an attachment, and
// the message nobody could finish in a batch run is kept as a draft.
TEST_F(OfficeMailCore, EveryMailProgramKeepsTheReportAttachedInADraftWithNoWindow) {
    InstallMailStandIns(t.ctx);
    DiscoverDeliveryTargets(t.ctx);
    for (Destination d : {Destination::NetscapeMail, Destination::OutlookExpressMail, Destination::OutlookMail,
                          Destination::LotusNotes}) {
        SCOPED_TRACE(ProcessTypeOf(d).text.toStdString());
        for (const QString& f : draftFiles()) QFile::remove(QDir(drafts).filePath(f));
        RunSettings s = settingsFor(d);
        host->replies(SpoolReplies::report(SalesReport(), " 80"));
        QString document;
        ASSERT_TRUE(deliver(s, document));
        const QString told = CloseMailWindows(t.ctx);
        const QStringList files = draftFiles();
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(told, DraftsWrittenText({QDir(drafts).filePath(files.front())}));
        // The attachment is the whole report, as the text file has it.
        QFile draft(QDir(drafts).filePath(files.front()));
        ASSERT_TRUE(draft.open(QIODevice::ReadOnly));
        const QByteArray eml = draft.readAll();
        const qsizetype start = eml.indexOf("Content-Transfer-Encoding: base64");
        ASSERT_GE(start, 0);
        const QByteArray attached = QByteArray::fromBase64(eml.mid(start + 33, eml.indexOf("--", start) - start - 33));
        EXPECT_TRUE(attached.startsWith("ACME CORP")) << attached.left(40).toStdString();
        EXPECT_TRUE(attached.contains("*** END OF REPORT ***\r\n"));
    }
}

// A host that stops answering in the middle of the report: no message is
// left with part of it, and the drafts already kept stay as they were.
TEST_F(OfficeMailCore, AMailDeliveryOfAReportTheHostStopsSendingLeavesNoDraft) {
    InstallMailStandIns(t.ctx);
    DiscoverDeliveryTargets(t.ctx);
    ASSERT_TRUE(QDir().mkpath(drafts));
    const QString earlier = QDir(drafts).filePath(QStringLiteral("earlier.eml"));
    WriteFileBytes(earlier, "an earlier draft");
    RunSettings s = settingsFor(Destination::OutlookMail);
    hostFallsSilent();
    QString document;
    EXPECT_FALSE(deliver(s, document));
    EXPECT_EQ(CloseMailWindows(t.ctx), QString());
    EXPECT_EQ(draftFiles(), QStringList{QStringLiteral("earlier.eml")});
    EXPECT_EQ(ReadFileBytes(earlier), "an earlier draft");
    EXPECT_TRUE(calls(QStringLiteral("Attachments.Add")).isEmpty());
}

// A settings file names the workbook and the macro: the first report is saved
// under that name and runs that macro, as the dialogs would have been filled;
// the name is used once, so the next report gets a name of its own.
TEST_F(OfficeMailCore, ExcelTakesTheSettingsFilesWorkbookNameForOneReportAndItsMacro) {
    t.automation->install(QStringLiteral("excel.application"), true);
    const QString book = out + QStringLiteral("/tidy macros.xlsm");
    WriteFileBytes(book, "macros");
    t.ctx.download.gSettingsFromFile = true;
    // Remembered values of the dialog that a settings-file run leaves out.
    t.ctx.services.saveSetting(QStringLiteral("Excel macro name"), QStringLiteral("Remembered"));
    RunSettings s = settingsFor(Destination::MicrosoftExcel);
    s.options.runMacro = true;
    s.excel.document = book;
    s.excel.documentSet = true;
    s.saveNames[RunSettings::TextSave] = {out + QStringLiteral("/nightly.xlsx"), true, false};
    QString document;
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    ASSERT_TRUE(deliver(s, document));
    EXPECT_EQ(document, out + QStringLiteral("/nightly.xlsx"));
    EXPECT_EQ(calls(QStringLiteral("Workbooks.Open(FileName:=\"") + book + QStringLiteral("\")")).size(), 1);
    EXPECT_EQ(calls(QStringLiteral(".Run(")),
              QStringList{QStringLiteral("excel.application.Run(\"'tidy macros.xlsm'!Macro1\")")});
    EXPECT_EQ(calls(QStringLiteral("SaveAs(FileName:=\"") + out + QStringLiteral("/nightly.xlsx\"")).size(), 1);
    EXPECT_TRUE(t.boxes->texts().isEmpty()) << t.boxes->texts().join(QLatin1Char('|')).toStdString();

    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    ASSERT_TRUE(deliver(s, document));
    EXPECT_EQ(QFileInfo(document).absolutePath(), out);
    EXPECT_NE(QFileInfo(document).fileName(), QStringLiteral("nightly.xlsx"));
}

// The host stops answering: the workbook of that name is not touched, and
// the program is not even started.
TEST_F(OfficeMailCore, AnOfficeDeliveryOfAReportTheHostStopsSendingLeavesTheDocumentAsItWas) {
    t.automation->install(QStringLiteral("excel.application"), true);
    const QString target = out + QStringLiteral("/nightly.xlsx");
    WriteFileBytes(target, "last night's workbook");
    RunSettings s = settingsFor(Destination::MicrosoftExcel);
    s.saveNames[RunSettings::TextSave] = {target, true, false};
    hostFallsSilent();
    QString document;
    EXPECT_FALSE(deliver(s, document));
    EXPECT_EQ(ReadFileBytes(target), "last night's workbook");
    EXPECT_TRUE(t.automation->log().isEmpty()) << t.automation->log().join(QLatin1Char('|')).toStdString();
}

// Every office and mail destination has its procedure here, and no other does.
TEST_F(OfficeMailCore, OnlyTheOfficeAndMailDestinationsAreDeliveredHere) {
    for (const ProcessType& type : ProcessTypeTable()) {
        RunSettings s = settingsFor(type.id);
        const bool here = type.mail || type.id == Destination::MicrosoftExcel || type.id == Destination::Lotus123 ||
                          type.id == Destination::MicrosoftWord || type.id == Destination::MicrosoftWord695 ||
                          type.id == Destination::LotusWordPro;
        EXPECT_EQ(OfficeMailDeliveryFor(t.ctx, s, progress, type).has_value(), here) << type.text.toStdString();
    }
}
