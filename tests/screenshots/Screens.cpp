#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPixmap>

#include "OpenSelection.h"
#include "SplfGrid.h"
#include "TestSupport.h"
#include "frmOutq.h"
#include "frmSplf.h"

// Pictures of the screens for a person to look at.
namespace {
void fillSample(SplfGrid& grid) {
    defineSplfGridColumns(grid);
    const char* rows[][9] = {
        {"2004/03/15    14:22:07", "QSYSPRT", "JSMITH", "PRT01", "   120", "*STD", "123456", "PAYROLL/0003", "MONTH END "},
        {"2009/03/14    08:05:09", "INVOICES", "ACCTG", "PRT01", "     7", "INV", "223344", "INVJOB/0001", "          "},
        {"1999/12/31    23:59:59", "QPJOBLOG", "QSYSOPR", "PRT01", "     0", "*STD", "000017", "QPADEV0001/0012",
         "LOG       "},
    };
    for (const auto& r : rows) {
        grid.addRow();
        const int n = grid.rowCount();
        const char* keys[] = {"Date", "File", "User", "Outq", "Pages", "Form", "JobNumber", "Job", "UserData"};
        for (int c = 0; c < 9; ++c) grid.setCellValue(n, QString::fromLatin1(keys[c]), QString::fromLatin1(r[c]));
        grid.setCellFont(n, QStringLiteral("Pages"), QFont(QStringLiteral("Courier New")));
    }
    for (const char* k : {"Date", "File", "User", "Outq", "Pages", "Form", "JobNumber", "Job", "UserData"})
        grid.autoWidthColumn(QString::fromLatin1(k));
    grid.setCellSelected(1, 1, true);
}

bool grab(QWidget* w, const QString& name) { return !saveScreenshot(*w, name + QStringLiteral(".png")).isNull(); }
}  // namespace

TEST(Screenshots, SpooledFileScreenPerDestination) {
    TestContext t;
    installWindows(t.ctx);
    auto* splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
    ASSERT_NE(splf, nullptr);
    fillSample(splf->grdSplf());
    splf->setCaption(splfScreenCaption(QStringLiteral("QGPL"), QStringLiteral("PRT01"), QStringLiteral("*ALL")));
    splf->setChosen(ScreenChoice::Email, 1, true);
    const std::pair<const char*, const char*> shots[] = {
        {"Please select a destination...", "splf-prompt"}, {"Text file", "splf-text"},
        {"HTML document", "splf-html"},                    {"PDF document", "splf-pdf"},
        {"PC printer", "splf-printer"},                    {"Lotus Notes", "splf-notes"},
        {"Microsoft Excel", "splf-excel"},
    };
    for (const auto& [type, name] : shots) {
        splf->cboProcessType->setEditText(QString::fromLatin1(type));
        splf->cboProcessType_Click();
        EXPECT_TRUE(grab(splf, QString::fromLatin1(name))) << name;
    }
    splf->hide();
}

TEST(Screenshots, OutqChooser) {
    TestContext t;
    frmOutq& chooser = t.ctx.outqWindow();
    chooser.lstOutq->addItems({QStringLiteral("QPRINT     QGPL       Default printer output queue              "),
                               QStringLiteral("PRT01      MYLIB      Accounting, second floor                  "),
                               QStringLiteral("QEZJOBLOG  QUSRSYS    Job logs                                  ")});
    chooser.lstOutq->setCurrentRow(1);
    EXPECT_TRUE(grab(&chooser, QStringLiteral("outq-chooser")));
    chooser.hide();
}
