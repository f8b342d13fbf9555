#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "CoreDelivery.h"
#include "CoreTestSupport.h"
#include "ScriptedHostSocket.h"
#include "SpoolFileRow.h"
#include "TransferTestSupport.h"

// The documents are delivered below the windows: a run without any window
// writes them, and keeps what was there when the host stops answering.
namespace {
struct DocumentCase {
    Destination destination;
    const char* file;
    const char* starts;  // how the document written begins
};
const DocumentCase kDocuments[] = {
    {Destination::TextFile, "out.txt", ""},
    {Destination::HtmlDocument, "out.html", "<"},
    {Destination::XmlDocument, "out.xml", "<?xml"},
    {Destination::PdfDocument, "out.pdf", "%PDF"},
};
}  // namespace

TEST(CoreDelivery, EachDocumentIsWrittenWithNoWindowAndAnEarlierOneSurvivesASilentHost) {
    for (const DocumentCase& c : kDocuments) {
        const ProcessType& type = ProcessTypeOf(c.destination);
        SCOPED_TRACE(type.text.toStdString());
        CoreTestContext t;
        std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
        DownloadOptions options = TextFileOptions();
        options.processType = type.text;
        options.pdfPaperSize = QStringLiteral("Best fit");
        options.pdfFontSize = QStringLiteral("10");
        options.pdfVertSize = QStringLiteral("Auto");
        options.htmlFontSize = QStringLiteral("10");
        StatusRecorder progress{t.ctx.link};
        const std::optional<DeliveryProcedure> deliver = CoreDeliveryFor(t.ctx, options, progress, type);
        ASSERT_TRUE(deliver.has_value());

        const QString path = t.dir.path() + QLatin1Char('/') + QString::fromLatin1(c.file);
        host->replies(SpoolReplies::report(SalesReport(), " 80"));
        const ReportResult delivered = (*deliver)(path, SampleRow());
        ASSERT_TRUE(delivered);
        EXPECT_EQ(delivered.writtenAs, path);
        EXPECT_EQ(delivered.recordWidth, QStringLiteral(" 80"));
        const std::string written = ReadFileBytes(path);
        EXPECT_EQ(written.rfind(c.starts, 0), 0u) << written.substr(0, 40);
        EXPECT_GT(written.size(), 100u);

        // The host falls silent in the middle of the next report of that name.
        host->reply(SpoolReplies::report(NumberedRecords(15), " 80")[0]);
        host->script.push_back({ScriptedHost::Step::Silence, {}});
        t.ctx.link.replyTimeoutMs = 200;
        t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
        EXPECT_FALSE((*deliver)(path, SampleRow()));
        EXPECT_EQ(ReadFileBytes(path), written);
        EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QString::fromLatin1(c.file)});
    }
}

// The others are not: the office and mail programs have an entry of their
// own (OfficeMailDeliveryFor), the viewers are windows.
TEST(CoreDelivery, DestinationsOfOtherProgramsAreNotDeliveredHere) {
    CoreTestContext t;
    DownloadOptions options;
    StatusRecorder progress{t.ctx.link};
    for (const ProcessType& type : ProcessTypeTable()) {
        const bool core = type.id == Destination::PcPrinter || type.id == Destination::TextFile ||
                          type.id == Destination::HtmlDocument || type.id == Destination::XmlDocument ||
                          type.id == Destination::PdfDocument;
        EXPECT_EQ(CoreDeliveryFor(t.ctx, options, progress, type).has_value(), core) << type.text.toStdString();
    }
}
