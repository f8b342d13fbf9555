// The manual: installed beside the program, opened in the desktop's browser
// by every Help item, and naming what the README promises.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QRegularExpression>

#include "TempPaths.h"
#include "ProcessTypes.h"
#include "TestSupport.h"
#include "Viewers.h"
#include "frmMain.h"
#include "frmSplf.h"
#include "frmView.h"

namespace {
// The program as the build installs it: the manual beside it.
struct InstalledPaths : TempPaths {
    using TempPaths::TempPaths;
    QString appPath() override { return QStringLiteral(SW_BINARY_DIR); }
};

const QString kManual = QStringLiteral(SW_BINARY_DIR "/spoolwright.html");

QString fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// What a reader of the page sees of a piece of HTML: entities as characters.
QString asShown(QString html) {
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return html.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}
}  // namespace

TEST(Help, EveryHelpItemOpensTheInstalledManualInTheDesktopsBrowser) {
    ASSERT_TRUE(QFile::exists(kManual)) << "the build installs the manual beside the program";
    TestContext t;
    t.ctx.services.paths = std::make_unique<InstalledPaths>(t.dir.path());
    installWindows(t.ctx);
    frmMain& main = t.ctx.mainWindow();
    auto* splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
    ASSERT_NE(splf, nullptr);
    frmView& preview = PreviewWindow(t.ctx);
    const struct {
        const char* window;
        QAction* item;
        const char* caption;
    } items[] = {{"main window", main.itmGeneralHelp, "Contents"},
                 {"spooled-file screen", splf->itmContents, "Contents"},
                 {"preview", preview.itmContents, "Contents..."}};
    for (const auto& i : items) {
        SCOPED_TRACE(i.window);
        EXPECT_EQ(i.item->text(), QString::fromLatin1(i.caption));
        const size_t before = t.processes->started().size();
        i.item->trigger();
        ASSERT_EQ(t.processes->started().size(), before + 1);
        EXPECT_EQ(t.processes->started().back().program, "xdg-open");
        EXPECT_EQ(t.processes->started().back().args, QStringList{kManual});
    }
    EXPECT_EQ(main.itmGeneralHelp->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_TRUE(t.boxes->shown().empty());
}

TEST(Help, TheManualNamesEveryDestination) {
    const QString manual = asShown(fileText(kManual));
    ASSERT_FALSE(manual.isEmpty());
    for (const QString& destination : ProcessTypes::all())
        EXPECT_TRUE(manual.contains(destination)) << destination.toStdString();
}

// Each "Exit status of ...:" paragraph of the README has its table in the
// manual, with the same statuses.
TEST(Help, TheManualListsEveryExitStatusTheReadmeLists) {
    const QString readme = fileText(QStringLiteral(SW_SOURCE_DIR "/README.md"));
    const QString manual = fileText(kManual);
    ASSERT_FALSE(readme.isEmpty());
    const QMap<QString, QString> tables = {{QStringLiteral("Swdesk"), QStringLiteral("exit-swdesk")},
                                           {QStringLiteral("a batch run"), QStringLiteral("exit-batch")},
                                           {QStringLiteral("Hostprep"), QStringLiteral("exit-hostprep")}};
    static const QRegularExpression paragraph(QStringLiteral("Exit status of ([^:]+): (.*?)\\n\\n"),
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression status(QStringLiteral("(?:^|; )(\\d+) "));
    static const QRegularExpression row(QStringLiteral("<tr><td>(\\d+)</td><td>[^<]+"));
    int paragraphs = 0;
    for (const QRegularExpressionMatch& p : paragraph.globalMatch(readme)) {
        ++paragraphs;
        const QString subject = p.captured(1);
        SCOPED_TRACE(subject.toStdString());
        ASSERT_TRUE(tables.contains(subject)) << "the README lists statuses of something the manual does not know";
        QStringList listed;
        for (const QRegularExpressionMatch& s : status.globalMatch(QString(p.captured(2)).replace('\n', ' ')))
            listed << s.captured(1);
        const qsizetype at = manual.indexOf(QStringLiteral("id=\"") + tables[subject] + QLatin1Char('"'));
        ASSERT_GE(at, 0) << "no table " << tables[subject].toStdString();
        const QString table = manual.mid(at, manual.indexOf(QStringLiteral("</table>"), at) - at);
        QStringList inManual;
        for (const QRegularExpressionMatch& r : row.globalMatch(table)) inManual << r.captured(1);
        EXPECT_FALSE(listed.isEmpty());
        EXPECT_EQ(inManual, listed);
    }
    EXPECT_EQ(paragraphs, 3);
}
