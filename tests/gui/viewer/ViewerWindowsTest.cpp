#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>

#include "Codec.h"
#include "DownloadDriver.h"
#include "ScreenOptions.h"
#include "ScriptedHostSocket.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "Viewers.h"
#include "frmFullView.h"
#include "frmMain.h"
#include "frmPrint.h"
#include "WindowGeometry.h"
#include "frmView.h"

namespace {
// A person's key press, through the window's shortcuts as well.
void press(QWidget* target, Qt::Key key) {
    QWidget* window = target->window();
    QApplication::setActiveWindow(window);
    target->setFocus();
    QTest::keyClick(window->windowHandle(), key);
    QApplication::processEvents();
}

SpoolFileRow rowWithTable(const std::string& table) {
    SpoolFileRow::Fields f = SampleRowFields();
    f.translation = table;
    return SpoolFileRow::fromFields(f);
}

class ViewerTest : public ::testing::Test {
protected:
    ViewerTest() {
        ensureApplication();
        t.ctx.connection.gWorkDir = t.dir.path() + QStringLiteral("/work/");
        QDir().mkpath(t.ctx.connection.gWorkDir);
    }
    TestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    PlainSplfScreen& screen = TextFileScreen(t.ctx);

    int viewPages(const SpoolFileRow& row) {
        ScreenProgress progress(screen);
        return TransferSpoolFileToViewer(t.ctx, ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable), progress, row);
    }
    int viewAll() {
        ScreenProgress progress(screen);
        return ProcFullView(t.ctx, ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable), progress, SampleRow());
    }
    void remember(bool on) { t.ctx.mainWindow().itmSaveSettings->setChecked(on); }
    // Runs the preview; `hook` acts in the window as the user would.
    int preview(std::function<void(frmView&)> hook, const SpoolFileRow& row = SampleRow()) {
        host->replies(SpoolReplies::report(SalesReport(), " 80"));
        t.presenter->expectModal(QStringLiteral("frmView"), [&](QWidget* w) { hook(*static_cast<frmView*>(w)); });
        return viewPages(row);
    }
    int fullView(std::function<void(frmFullView&)> hook) {
        host->replies(SpoolReplies::report(SalesReport(), " 80"));
        t.presenter->expectModal(QStringLiteral("frmFullView"),
                                 [&](QWidget* w) { hook(*static_cast<frmFullView*>(w)); });
        return viewAll();
    }
    QString selection(QPlainTextEdit* box) { return box->textCursor().selectedText(); }
};
}  // namespace

TEST_F(ViewerTest, ThePreviewAsksForPagesInUpperCaseAndShowsThemLaidOut) {
    screen.setCheck(ScreenCheck::SuppressOverprinting, 0);
    QString shown, entry, heading;
    EXPECT_EQ(preview(
                  [&](frmView& v) {
                      shown = v.txtClip->toPlainText();
                      entry = v.lblEntry->text();
                      heading = v.Label2->text();
                      EXPECT_EQ(v.windowTitle(), QStringLiteral("Preview Spool File"));
                      EXPECT_FALSE(v.cmdFindNext->isEnabled());
                      EXPECT_TRUE(v.cmdClose->isDefault());
                      EXPECT_FALSE(saveScreenshot(v, QStringLiteral("frmView.png")).isNull());
                      v.cmdClose->click();
                  },
                  rowWithTable("q037337437")),
              0);
    const std::string req = host->requests.at(0);
    EXPECT_EQ(req.substr(10, 11), "PQSYSPRT   ");
    EXPECT_EQ(req.substr(73, 10), "Q037337437");
    EXPECT_EQ(req.substr(72, 1), " ");  // overprinting not suppressed
    EXPECT_EQ(req.substr(0, 100).find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    // The host's three pages, with their separators and empty lines.
    const QStringList lines = shown.split(QLatin1Char('\n'));
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("ACME CORP")));
    EXPECT_EQ(lines[1], QString());  // spacing 2
    EXPECT_EQ(lines.count(QString(80, QLatin1Char('_'))), 2);
    EXPECT_TRUE(lines.contains(QStringLiteral("SUMMARY \u00e9t\u00e9")));
    EXPECT_TRUE(entry.startsWith(QStringLiteral("QSYSPRT"))) << entry.toStdString();
    EXPECT_TRUE(heading.startsWith(QStringLiteral("Spool File"))) << heading.toStdString();
    EXPECT_EQ(screen.statusHistory.last(), QStringLiteral("Records tranferred: 21   "));
}

// The heading stands over the report's entry at every width of the window,
// for the heading of a named queue (user data third) and of *ALL (output queue
// third): each label starts where its field starts (the pages end where
// theirs end), fields stand apart, and neither line is cut.
TEST_F(ViewerTest, TheHeadingStandsOverItsColumnsAtEveryWidth) {
    struct Field {
        const char* label;
        const char* value;
    };
    const std::vector<Field> common = {{"Spool File", "QSYSPRT"}, {"User", "JSMITH"}, {"Pages", "3"},
                                       {"Form", "*STD"},          {"Date", "2024/01/31"}, {"Time", "14:05:09"},
                                       {"Job#", "004711"},        {"Job/Seq#", "QPADEV0001/0003"}};
    for (const bool all : {false, true}) {
        SCOPED_TRACE(all ? "*ALL" : "a named queue");
        t.ctx.mainWindow().txtOutq->setText(all ? QStringLiteral("*ALL") : QStringLiteral("PRT01"));
        std::vector<Field> fields = common;
        fields.insert(fields.begin() + 2, all ? Field{"OutQ", "PRT01"} : Field{"User Data", "MONTHLY"});
        preview([&](frmView& v) {
            for (const int twips : {8300, 9585, 12000, 20000}) {
                SCOPED_TRACE(twips);
                v.resize(WindowGeometry::pixels(twips), v.height());
                QApplication::processEvents();
                const QString heading = v.Label2->text(), entry = v.lblEntry->text();
                const QFontMetrics h(v.Label2->font()), e(v.lblEntry->font());
                EXPECT_EQ(v.Label2->geometry().left(), v.lblEntry->geometry().left());
                EXPECT_LE(h.horizontalAdvance(heading), v.Label2->contentsRect().width()) << "the heading is cut";
                EXPECT_LE(e.horizontalAdvance(entry), v.lblEntry->contentsRect().width()) << "the entry is cut";
                EXPECT_GE(v.lblEntry->font().pointSizeF(), 6.0) << "readable";
                qsizetype labelFrom = 0, valueFrom = 0;
                for (const Field& f : fields) {
                    const QString label = QString::fromLatin1(f.label), value = QString::fromLatin1(f.value);
                    const qsizetype l = heading.indexOf(label, labelFrom), p = entry.indexOf(value, valueFrom);
                    ASSERT_GE(l, 0) << f.label;
                    ASSERT_GE(p, 0) << f.value;
                    if (label == QLatin1String("Pages")) {
                        EXPECT_EQ(h.horizontalAdvance(heading.left(l + label.size())),
                                  e.horizontalAdvance(entry.left(p + value.size())))
                            << "the pages end under the end of their label";
                    } else {
                        EXPECT_EQ(h.horizontalAdvance(heading.left(l)), e.horizontalAdvance(entry.left(p)))
                            << f.label << " over " << f.value;
                    }
                    // A blank before each later field: no two fields run together.
                    if (p > 0) {
                        EXPECT_EQ(entry.at(p - 1), QLatin1Char(' ')) << f.value;
                    }
                    labelFrom = l + label.size();
                    valueFrom = p + value.size();
                }
                if (twips == 8300) {
                    const QString shot = all ? QStringLiteral("frmView-all.png") : QStringLiteral("frmView-named.png");
                    EXPECT_FALSE(saveScreenshot(v, shot).isNull());
                }
            }
            v.cmdClose->click();
        });
    }
}

TEST_F(ViewerTest, FindNextGoesFromHitToHitAndStartsAgainAfterTheLast) {
    preview([&](frmView& v) {
        v.txtFindWhat->setText(QStringLiteral("widget"));
        EXPECT_TRUE(v.cmdFindNext->isEnabled());
        EXPECT_TRUE(v.cmdFindNext->isDefault());
        EXPECT_FALSE(v.cmdClose->isDefault());
        QList<int> starts;
        for (int i = 0; i < 4; ++i) {
            v.cmdFindNext->click();
            EXPECT_EQ(selection(v.txtClip), QStringLiteral("WIDGET"));
            starts << v.txtClip->textCursor().selectionStart();
        }
        EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end()));
        EXPECT_EQ(QSet<int>(starts.begin(), starts.end()).size(), 4);
        t.boxes->expect(QStringLiteral("Text string widget not found from cursor to end of text."));
        v.cmdFindNext->click();
        EXPECT_EQ(v.lastHit(), 0);
        v.cmdFindNext->click();
        EXPECT_EQ(v.txtClip->textCursor().selectionStart(), starts[0]);
        // Match Case: the lower-case text is not there, the upper-case one is.
        v.chkMatchCase->setChecked(true);
        v.txtFindWhat->setText(QStringLiteral(" widget "));
        t.boxes->expect(QStringLiteral("Text string widget not found"));
        v.cmdFindNext->click();
        v.txtFindWhat->setText(QStringLiteral("WIDGET"));
        v.cmdFindNext->click();
        EXPECT_EQ(v.txtClip->textCursor().selectionStart(), starts[0]);
        // A blank search text: Find Next off, Close the default again.
        v.txtFindWhat->setText(QStringLiteral("   "));
        EXPECT_FALSE(v.cmdFindNext->isEnabled());
        EXPECT_TRUE(v.cmdClose->isDefault());
        v.cmdClose->click();
    });
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ViewerTest, CopyPutsTheSelectionOnTheClipboardAndF3Closes) {
    bool stillOpen = true;
    preview([&](frmView& v) {
        v.txtFindWhat->setText(QStringLiteral("GIZMO"));
        v.cmdFindNext->click();
        v.itmCopy->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("GIZMO"));
        QTextCursor c = v.txtClip->textCursor();
        c.clearSelection();
        v.txtClip->setTextCursor(c);
        v.itmCopy->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
        press(v.txtClip, Qt::Key_F3);
        stillOpen = v.isVisible();
    });
    EXPECT_FALSE(stillOpen);
}

TEST_F(ViewerTest, ThePreviewRemembersItsValuesAcrossRunsAndItsPlaceForTheRun) {
    remember(true);
    QRect place;
    preview([&](frmView& v) {
        v.txtFindWhat->setText(QStringLiteral("  TOTAL "));
        v.chkMatchCase->setChecked(true);
        v.setGeometry(40, 50, 700, 500);
        place = v.geometry();
        v.cmdClose->click();
    });
    EXPECT_EQ(t.setting(QStringLiteral("Search string")), QStringLiteral("TOTAL"));
    EXPECT_EQ(t.setting(QStringLiteral("Match case")), QStringLiteral("1"));
    EXPECT_EQ(t.setting(QStringLiteral("Window state")), QStringLiteral("0"));
    preview([&](frmView& v) {
        EXPECT_EQ(v.geometry(), place);
        EXPECT_EQ(v.txtFindWhat->text(), QStringLiteral("TOTAL"));
        EXPECT_TRUE(v.chkMatchCase->isChecked());
        EXPECT_TRUE(v.cmdFindNext->isEnabled());
        v.showMaximized();
        v.cmdClose->click();
    });
    EXPECT_EQ(t.setting(QStringLiteral("Window state")), QStringLiteral("2"));
    preview([&](frmView& v) {
        EXPECT_TRUE(v.isMaximized());
        v.cmdClose->click();
    });
    // Settings from a file: nothing stored.
    t.ctx.download.gSettingsFromFile = true;
    preview([&](frmView& v) {
        v.txtFindWhat->setText(QStringLiteral("OTHER"));
        v.cmdClose->click();
    });
    EXPECT_EQ(t.setting(QStringLiteral("Search string")), QStringLiteral("TOTAL"));
    EXPECT_EQ(t.setting(QStringLiteral("Window state full")), QStringLiteral("None"));
}

TEST_F(ViewerTest, APreviewThatFailsShowsNoWindowAndABatchRunNeverWaits) {
    // The host stops answering after the first block.
    host->reply(SpoolReplies::report(SalesReport(), " 80")[0]);
    host->drop();
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_EQ(viewPages(SampleRow()), -1);
    // Refused.
    host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
    t.boxes->expect(QStringLiteral("more than one spool file is present and *ONLY was specified in a batch run."));
    EXPECT_EQ(viewPages(SampleRow()), -1);
    EXPECT_TRUE(t.presenter->shownNames().isEmpty());
    EXPECT_TRUE(t.boxes->done());
    // A batch run: collected, but no window waits for anybody.
    t.presenter->strict = true;
    t.ctx.mode.gBatchMode = true;
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    EXPECT_EQ(viewPages(SampleRow()), 0);
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    EXPECT_EQ(viewAll(), 0);
    EXPECT_TRUE(t.presenter->shownNames().isEmpty());
}

namespace {
QColor colourAt(QPlainTextEdit* box, int pos) {
    QTextCursor c(box->document());
    c.setPosition(pos + 1);
    return c.charFormat().foreground().color();
}
bool boldAt(QPlainTextEdit* box, int pos) {
    QTextCursor c(box->document());
    c.setPosition(pos + 1);
    return c.charFormat().fontWeight() == QFont::Bold;
}
}  // namespace

TEST_F(ViewerTest, TheFullViewMarksEachHitRedAndBoldUntilTheNext) {
    screen.setChosen(ScreenChoice::TextAddReplace, 0, false);
    screen.setChosen(ScreenChoice::TextAddReplace, 1, true);
    QString fileText;
    EXPECT_EQ(fullView([&](frmFullView& v) {
                  EXPECT_EQ(v.windowTitle(), QStringLiteral("Preview / Copy"));
                  fileText = v.rtbPreview->toPlainText();
                  // The very first character is not found by the first search.
                  v.txtFindWhat->setText(QStringLiteral("ACME"));
                  v.cmdFindNext->click();
                  const int second = v.rtbPreview->textCursor().selectionStart();
                  EXPECT_GT(second, 0);
                  EXPECT_EQ(selection(v.rtbPreview), QStringLiteral("ACME"));
                  EXPECT_EQ(colourAt(v.rtbPreview, second), QColor(255, 0, 0));
                  EXPECT_TRUE(boldAt(v.rtbPreview, second));
                  EXPECT_FALSE(saveScreenshot(v, QStringLiteral("frmFullView.png")).isNull());
                  // F3 in the report: the hit goes back to black and the next one is not there.
                  t.boxes->expect(QStringLiteral("String not found from current curson position to end of document."));
                  t.boxes->expect(QStringLiteral("String not found from current curson position to end of document."));
                  press(v.rtbPreview, Qt::Key_F3);
                  EXPECT_EQ(colourAt(v.rtbPreview, second), QColor(Qt::black));
                  EXPECT_FALSE(boldAt(v.rtbPreview, second));
                  press(v.cmdFindNext, Qt::Key_F3);
                  // F3 in the search box does nothing.
                  press(v.txtFindWhat, Qt::Key_F3);
                  // Match case from the start: "acme" is not there, "WIDGET" four times.
                  QTextCursor top(v.rtbPreview->document());
                  v.rtbPreview->setTextCursor(top);
                  v.chkMatchCase->setChecked(true);
                  v.txtFindWhat->setText(QStringLiteral("acme"));
                  t.boxes->expect(QStringLiteral("String not found"));
                  v.cmdFindNext->click();
                  v.txtFindWhat->setText(QStringLiteral("WIDGET"));
                  for (int i = 0; i < 4; ++i) {
                      v.cmdFindNext->click();
                      EXPECT_EQ(selection(v.rtbPreview), QStringLiteral("WIDGET"));
                  }
                  // Leaving the search box takes the red bold off.
                  const int hit = v.rtbPreview->textCursor().selectionStart();
                  EXPECT_TRUE(boldAt(v.rtbPreview, hit));
                  QApplication::setActiveWindow(&v);
                  v.txtFindWhat->setFocus();
                  QApplication::processEvents();
                  v.cmdClose->setFocus();
                  QApplication::processEvents();
                  EXPECT_FALSE(boldAt(v.rtbPreview, hit));
                  v.itmEdit->trigger();
                  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("WIDGET"));
                  v.cmdClose->click();
              }),
              0);
    EXPECT_TRUE(t.boxes->done());
    // The text option is "Replace file" from now on.
    EXPECT_TRUE(screen.isChosen(ScreenChoice::TextAddReplace, 0));
    const std::string written = ReadFileBytes(t.ctx.download.gFullViewFile);
    QString fromFile = Codec::toUnicode(written);
    fromFile.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(fileText, fromFile);
}

TEST_F(ViewerTest, EachFullViewHasItsOwnFileAndItsOwnRememberedValues) {
    remember(true);
    t.ctx.services.saveSetting(QStringLiteral("Window state"), QStringLiteral("0"));
    fullView([&](frmFullView& v) {
        v.txtFindWhat->setText(QStringLiteral("GIZMO"));
        v.showMaximized();
        v.cmdClose->click();
    });
    const QString first = t.ctx.download.gFullViewFile;
    EXPECT_EQ(t.setting(QStringLiteral("Window state full")), QStringLiteral("2"));
    EXPECT_EQ(t.setting(QStringLiteral("Search string full")), QStringLiteral("GIZMO"));
    EXPECT_EQ(t.setting(QStringLiteral("Match case full")), QStringLiteral("0"));
    EXPECT_EQ(t.setting(QStringLiteral("Window state")), QStringLiteral("0"));
    fullView([&](frmFullView& v) {
        EXPECT_TRUE(v.isMaximized());
        EXPECT_EQ(v.txtFindWhat->text(), QStringLiteral("GIZMO"));
        v.cmdClose->click();
    });
    EXPECT_NE(t.ctx.download.gFullViewFile, first);
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(t.ctx.download.gFullViewFile));
}

TEST_F(ViewerTest, AFullViewThatFailsShowsNoWindowAndKeepsAnEarlierFile) {
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    ASSERT_EQ(viewAll(), 0);
    const QString earlier = t.ctx.download.gFullViewFile;
    const std::string before = ReadFileBytes(earlier);
    t.presenter->strict = true;
    host->reply(SpoolReplies::report(SalesReport(), " 80")[0]);
    host->drop();
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_EQ(viewAll(), -1);
    EXPECT_NE(t.ctx.download.gFullViewFile, earlier);
    EXPECT_EQ(ReadFileBytes(earlier), before);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(ViewerTest, ALargeReportShowsAtOnceAndTheRestFollowsWhole) {
    // Well over the first piece, so the rest comes while the window is up.
    QString report;
    for (int i = 1; i <= 18000; ++i) report += QStringLiteral("LINE %1 ").arg(i, 6) + QString(70, QLatin1Char('X')) + QLatin1Char('\n');
    report += QStringLiteral("THE LAST LINE");
    const QString file = t.ctx.connection.gWorkDir + QStringLiteral("large.txt");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(report.toLatin1());
    f.close();
    ASSERT_GT(report.size(), frmFullView::kFirstPiece + frmFullView::kPiece);

    QRect place;
    QString error;
    {
        // Shown from its first lines; the event loop brings the rest, every line whole.
        frmFullView v(t.ctx, place);
        ASSERT_TRUE(v.Form_Load(file, error));
        EXPECT_TRUE(v.loading());
        EXPECT_TRUE(v.rtbPreview->toPlainText().startsWith(QStringLiteral("LINE      1 ")));
        EXPECT_TRUE(v.rtbPreview->toPlainText().endsWith(QString(70, QLatin1Char('X'))));
        v.show();
        for (int i = 0; i < 100 && v.loading(); ++i) QApplication::processEvents();
        EXPECT_FALSE(v.loading());
        EXPECT_EQ(v.rtbPreview->toPlainText(), report);
    }
    {
        // A search at once finds the last line.
        frmFullView v(t.ctx, place);
        ASSERT_TRUE(v.Form_Load(file, error));
        v.txtFindWhat->setText(QStringLiteral("the last"));
        v.cmdFindNext->click();
        EXPECT_EQ(selection(v.rtbPreview), QStringLiteral("THE LAST"));
    }
    {
        // Select all and copy at once: the whole report.
        frmFullView v(t.ctx, place);
        ASSERT_TRUE(v.Form_Load(file, error));
        v.rtbPreview->selectAll();
        v.itmEdit->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), report);
    }
}

TEST_F(ViewerTest, TheViewersCannotBeMadeSmallerThanTheirDesign) {
    preview([&](frmView& v) {
        EXPECT_EQ(v.minimumSize(), QSize(553, 167));
        v.cmdClose->click();
    });
    fullView([&](frmFullView& v) {
        EXPECT_EQ(v.minimumSize(), QSize(567, 167));
        v.cmdClose->click();
    });
}

namespace {
struct PrintFormat {
    QString sizes[3];
    bool first[3];  // portrait for 80, landscape for 132 and 198
};
PrintFormat read(frmPrint& w) {
    PrintFormat f;
    for (int i = 0; i < 3; ++i) {
        f.sizes[i] = w.cboFontSize[i]->currentText();
        f.first[i] = w.optPortraitOrLandscape[2 * i]->isChecked();
        EXPECT_NE(w.optPortraitOrLandscape[2 * i]->isChecked(), w.optPortraitOrLandscape[2 * i + 1]->isChecked());
    }
    return f;
}
}  // namespace

TEST_F(ViewerTest, ThePrinterFormatDialogLoadsAndStoresItsSixValues) {
    // First opening: Auto everywhere, 80 portrait, 132 and 198 landscape; OK stores that.
    t.presenter->expectModal(QStringLiteral("frmPrint"), [&](QWidget* w) {
        auto& p = *static_cast<frmPrint*>(w);
        EXPECT_EQ(p.windowTitle(), QStringLiteral("Printer format options"));
        EXPECT_EQ(p.cboFontSize[1]->count(), 8);
        const PrintFormat f = read(p);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(f.sizes[i], QStringLiteral("Auto"));
            EXPECT_TRUE(f.first[i]);
        }
        EXPECT_EQ(p.optPortraitOrLandscape[0]->text(), QStringLiteral("Portrait"));
        EXPECT_EQ(p.optPortraitOrLandscape[2]->text(), QStringLiteral("Landscape"));
        EXPECT_FALSE(saveScreenshot(p, QStringLiteral("frmPrint.png")).isNull());
        p.cmdOK->click();
    });
    ShowPrinterFormat(t.ctx);
    for (const char* k : {"80 Fontsize", "132 Fontsize", "198 Fontsize"})
        EXPECT_EQ(t.setting(QString::fromLatin1(k)), QStringLiteral("Auto"));
    for (const char* k : {"Orientation 1", "Orientation 2", "Orientation 3"})
        EXPECT_EQ(t.setting(QString::fromLatin1(k)), QStringLiteral("True"));

    // Landscape for 80, portrait for 198, a typed 14 with blanks.
    t.presenter->expectModal(QStringLiteral("frmPrint"), [&](QWidget* w) {
        auto& p = *static_cast<frmPrint*>(w);
        p.optPortraitOrLandscape[1]->click();
        p.optPortraitOrLandscape[5]->click();
        p.cboFontSize[1]->setEditText(QStringLiteral(" 14 "));
        p.cmdOK->click();
    });
    ShowPrinterFormat(t.ctx);
    EXPECT_EQ(t.setting(QStringLiteral("Orientation 1")), QStringLiteral("False"));
    EXPECT_EQ(t.setting(QStringLiteral("Orientation 2")), QStringLiteral("True"));
    EXPECT_EQ(t.setting(QStringLiteral("Orientation 3")), QStringLiteral("False"));
    EXPECT_EQ(t.setting(QStringLiteral("132 Fontsize")), QStringLiteral("14"));

    // Cancel after changes stores nothing; sizes that cannot print are refused.
    t.presenter->expectModal(QStringLiteral("frmPrint"), [&](QWidget* w) {
        auto& p = *static_cast<frmPrint*>(w);
        const PrintFormat f = read(p);
        EXPECT_EQ(f.sizes[1], QStringLiteral("14"));
        EXPECT_FALSE(f.first[0]);
        EXPECT_TRUE(f.first[1]);
        EXPECT_FALSE(f.first[2]);
        for (const char* bad : {"0", "73", "big", "9.5"}) {
            p.cboFontSize[0]->setEditText(QString::fromLatin1(bad));
            t.boxes->expect(QStringLiteral("The font size must be Auto or a number from 1 to 72."));
            p.cmdOK->click();
            EXPECT_TRUE(p.isVisible()) << bad;
        }
        p.optPortraitOrLandscape[0]->click();
        p.CancelButton->click();
    });
    ShowPrinterFormat(t.ctx);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.setting(QStringLiteral("80 Fontsize")), QStringLiteral("Auto"));
    EXPECT_EQ(t.setting(QStringLiteral("Orientation 1")), QStringLiteral("False"));
}

TEST_F(ViewerTest, TheSpooledFileScreenDeliversToTheViewersAndThePrinter) {
    AddGridRow(screen, QStringLiteral("QSYSPRT"), QStringLiteral("QPADEV0001/0003"));
    AddGridRow(screen, QStringLiteral("QSYSPRT"), QStringLiteral("QPADEV0001/0004"));
    const struct {
        const char* type;
        const char* window;  // shown once per report, or none
        char request;
    } cases[] = {{"View a few pages", "frmView", 'P'}, {"View entire report", "frmFullView", 'W'}, {"PC printer", "", 'W'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(c.type));
        for (int i = 1; i <= 2; ++i) screen.grdSplf().setCellSelected(i, 1, true);
        host->requests.clear();
        t.presenter->clearShown();
        for (int i = 0; i < 2; ++i) host->replies(SpoolReplies::report(SalesReport(), " 80"));
        const auto outcomes = RunSelectedDownloads(t.ctx);
        ASSERT_EQ(outcomes.size(), 2u);
        for (const auto& o : outcomes) EXPECT_EQ(o.status, ReportOutcome::Delivered);
        ASSERT_EQ(host->requests.size(), 4u);
        EXPECT_EQ(host->requests[0][10], c.request);
        const QStringList expected = *c.window ? QStringList{c.window, c.window} : QStringList{};
        EXPECT_EQ(t.presenter->shownNames(), expected);
        // The viewers leave their reports selected; printed ones are taken off but the last.
        const bool viewer = *c.window != 0;
        EXPECT_EQ(screen.grdSplf().rowSelected(1), viewer);
        EXPECT_TRUE(screen.grdSplf().rowSelected(2));
    }
    EXPECT_EQ(t.printer->documents().size(), 2u);
}

TEST_F(ViewerTest, ThePrinterFormatDialogShowsStoredValuesThatCannotPrintAsTheirDefaults) {
    const std::pair<const char*, const char*> stored[] = {{"80 Fontsize", "200"},    {"132 Fontsize", "-3"},
                                                          {"198 Fontsize", "9 pt"},  {"Orientation 1", "sideways"},
                                                          {"Orientation 2", ""},     {"Orientation 3", "False"}};
    for (const auto& [key, value] : stored) t.ctx.services.saveSetting(QString::fromLatin1(key), QString::fromLatin1(value));
    t.presenter->expectModal(QStringLiteral("frmPrint"), [&](QWidget* w) {
        auto& p = *static_cast<frmPrint*>(w);
        const PrintFormat f = read(p);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(f.sizes[i], QStringLiteral("Auto")) << i;
        EXPECT_TRUE(f.first[0]);
        EXPECT_TRUE(f.first[1]);
        EXPECT_FALSE(f.first[2]);
        p.cmdOK->click();
    });
    ShowPrinterFormat(t.ctx);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.setting(QStringLiteral("80 Fontsize")), QStringLiteral("Auto"));
    EXPECT_EQ(t.setting(QStringLiteral("Orientation 1")), QStringLiteral("True"));
    EXPECT_EQ(t.setting(QStringLiteral("Orientation 3")), QStringLiteral("False"));
}

TEST_F(ViewerTest, APreviewFromAHostThatKeepsSayingMoreIsStoppedAtWhatThePagesHold) {
    // The row names 3 pages: 3 x 255 lines, 70 blocks of 11 at most.
    t.presenter->strict = true;
    host->replies(SpoolReplies::report(NumberedRecords(11 * 100), " 80"));
    t.boxes->expect(QStringLiteral("The host keeps sending lines beyond what the report's page count (3) can hold."));
    EXPECT_EQ(viewPages(SampleRow()), -1);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_LE(host->downloadRequests(), 71);
}
