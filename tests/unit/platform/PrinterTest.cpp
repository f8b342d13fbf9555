#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "QtPrinter.h"
#include "RecordingPrinter.h"
#include "TestPresenter.h"
#include "TestSupport.h"

namespace {
QString runTool(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    if (exitCode) *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}
}  // namespace

TEST(QtPrinter, PrintsLinesPagesAndOrientationIntoAPdf) {
    ensureApplication();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
    {
        QtPrinter printer(pdf);
        TestPresenter presenter;
        ASSERT_TRUE(printer.showDialog(presenter, nullptr));
        EXPECT_EQ(printer.deviceName(), pdf);
        printer.setFontName(QStringLiteral("Courier New"));
        printer.setFontSize(9);
        printer.setOrientation(Printer::Portrait);
        EXPECT_EQ(printer.orientation(), Printer::Portrait);
        printer.printLine(QStringLiteral("QSYSPRT    PAGE 1"));
        printer.printLine(QString());
        printer.printLine(QStringLiteral("RECORD  TWO"));
        printer.setOrientation(Printer::Landscape);  // from the next page
        EXPECT_EQ(printer.orientation(), Printer::Landscape);
        printer.newPage();
        printer.printLine(QStringLiteral("SECOND PAGE"));
        // Lines beyond the page's end flow onto a further page.
        for (int i = 0; i < 80; ++i) printer.printLine(QStringLiteral("LINE %1").arg(i));
        printer.endDoc();
    }
    int rc = -1;
    runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}, &rc);
    EXPECT_EQ(rc, 0);
    QStringList lines;
    for (const QString& l : runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                .split(QLatin1Char('\n')))
        lines << l.simplified();
    const int first = lines.indexOf(QStringLiteral("QSYSPRT PAGE 1"));
    ASSERT_GE(first, 0) << lines.join('|').toStdString();
    EXPECT_EQ(lines[first + 1], QString());  // the empty line keeps its place
    EXPECT_EQ(lines[first + 2], QStringLiteral("RECORD TWO"));
    for (const char* line : {"SECOND PAGE", "LINE 0", "LINE 79"}) EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line;
    const QString info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                            QStringLiteral("3"), pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           3"))) << info.toStdString();
    // Page 1 portrait (taller than wide), page 2 landscape.
    const QRegularExpression size(QStringLiteral("Page +(\\d) size: +([\\d.]+) x ([\\d.]+)"));
    auto it = size.globalMatch(info);
    std::vector<bool> portrait;
    while (it.hasNext()) {
        const auto m = it.next();
        portrait.push_back(m.captured(2).toDouble() < m.captured(3).toDouble());
    }
    ASSERT_EQ(portrait.size(), 3u);
    EXPECT_TRUE(portrait[0]);
    EXPECT_FALSE(portrait[1]);
    EXPECT_FALSE(portrait[2]);
}

// The name the print queue shows is the document's title.
TEST(QtPrinter, TheDocumentCarriesItsName) {
    ensureApplication();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("named.pdf"));
    {
        QtPrinter printer(pdf);
        printer.setDocumentName(QStringLiteral("PAYROLL NIGHTLY 100001 0012"));
        printer.printLine(QStringLiteral("one"));
        printer.endDoc();
    }
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    EXPECT_TRUE(info.readAllStandardOutput().contains("PAYROLL NIGHTLY 100001 0012"));
}

TEST(QtPrinter, NothingPrintedStartsNoDocument) {
    ensureApplication();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("none.pdf"));
    QtPrinter printer(pdf);
    printer.setFontSize(6);
    printer.endDoc();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_THROW(printer.setFontSize(0), PrinterError);
}

TEST(RecordingPrinter, KeepsPagesAndFailsWhereTold) {
    RecordingPrinter printer;
    printer.setInitialOrientation(Printer::Landscape);
    TestPresenter presenter;
    presenter.printAnswers = {false};
    EXPECT_FALSE(printer.showDialog(presenter, nullptr));
    printer.setFontName(QStringLiteral("Courier New"));
    printer.setFontSize(6);
    printer.printLine(QStringLiteral("one"));
    printer.printLine(QString());
    printer.newPage();
    printer.printLine(QStringLiteral("two"));
    printer.failOn(QStringLiteral("size"), 380, QStringLiteral("Invalid property value"));
    EXPECT_THROW(printer.setFontSize(-1), PrinterError);
    printer.endDoc();
    ASSERT_EQ(printer.documents().size(), 1u);
    const auto& doc = printer.documents()[0];
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[0].lines, QStringList({"one", ""}));
    EXPECT_EQ(doc[1].lines, QStringList({"two"}));
    EXPECT_EQ(doc[0].orientation, Printer::Landscape);
    EXPECT_EQ(printer.log(), QStringList({"dialog", "font Courier New", "size 6", "print one", "print", "newpage",
                                          "print two", "size -1 -> error 380", "enddoc"}));
    EXPECT_EQ(printer.fontSize, 6);
}
