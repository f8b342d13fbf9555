// A part of a report mailed as PDF: a valid document whose page follows the
// report's record width, with every line of the part on it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "DocumentCheckers.h"
#include "PartFile.h"

namespace {
std::string digits(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + i % 10);
    return s;
}
}  // namespace

TEST(PdfPartFile, PageFollowsTheRecordWidthAndHoldsEveryLine) {
    struct Case {
        const char* width;
        int pageWidth, pageHeight;
    };
    const Case cases[] = {
        {" 80", 595, 842},
        {"132", 1224, 792},
        {"198", 1224, 792},
        {"990", 4198, 792},  // widened: a whole record stays on the paper
        {"", 595, 842},      // no known width: the writer's own page
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("width \"") + c.width + "\"");
        const QString path = dir.filePath(QStringLiteral("part%1.pdf").arg(QString::fromLatin1(c.width).trimmed()));
        const int columns = QString::fromLatin1(c.width).trimmed().toInt();
        const std::string full = digits(columns ? columns : 80);
        std::unique_ptr<PartFile> part = MakePdfPartFile();
        ASSERT_TRUE(part->open(path, QString::fromLatin1(c.width))) << part->error().toStdString();
        part->line(QStringLiteral("EAST  widgets   12 & (more)"));
        part->line(QStringLiteral(" "));
        part->newPage();
        part->line(QString::fromStdString(full));
        part->line(QStringLiteral("Caf\u00e9 total"));
        ASSERT_TRUE(part->close()) << part->error().toStdString();
        CheckPdf(path, {.pages = 2,
                        .width = c.pageWidth,
                        .height = c.pageHeight,
                        .lines = {"EAST  widgets   12 & (more)", full, "Caf\xe9 total"}});
    }
}

TEST(PdfPartFile, APartThatCannotBeWrittenSaysWhyAndLeavesWhatWasThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The part's folder is a file of the user's (a taken name itself would
    // only be passed over for the next free one).
    QFile kept(dir.filePath(QStringLiteral("kept.txt")));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("kept\n");
    kept.close();
    const QString path = QDir(kept.fileName()).filePath(QStringLiteral("part.pdf"));

    std::unique_ptr<PartFile> part = MakePdfPartFile();
    bool ok = part->open(path, QStringLiteral(" 80"));
    if (ok) {
        part->line(QStringLiteral("LINE"));
        ok = part->close();
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(part->error().isEmpty());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("kept\n"));
}
