#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>

#include "TestSupport.h"
#include "frmOutq.h"

namespace {
// Where the words of a line of text begin in a rendered strip: dark pixels
// after a run of at least minGap light columns.
std::vector<int> wordStarts(const QImage& img, const QRect& strip, int minGap) {
    std::vector<int> starts;
    int light = minGap;
    for (int x = strip.left(); x <= strip.right(); ++x) {
        bool ink = false;
        for (int y = strip.top(); y <= strip.bottom() && !ink; ++y) ink = qGray(img.pixel(x, y)) < 128;
        if (ink && light >= minGap) starts.push_back(x);
        light = ink ? 0 : light + 1;
    }
    return starts;
}
}  // namespace

// The headings "Outq", "Library" and "Description" stand exactly over the
// columns of the queue rows, as drawn on the screen.
TEST(OutqChooser, HeadingsStandOverTheirColumns) {
    TestContext t;
    frmOutq& chooser = t.ctx.outqWindow();
    chooser.lstOutq->addItems({QStringLiteral("QPRINT     QGPL       Default printer output queue              "),
                               QStringLiteral("QEZJOBLOG  QUSRSYS    Job logs                                  ")});
    chooser.lstOutq->setCurrentRow(-1);
    chooser.show();
    QApplication::processEvents();
    const QImage img = chooser.grab().toImage();
    const int gap = 2 * chooser.lstOutq->fontMetrics().horizontalAdvance(QLatin1Char(' '));

    const QRect heading(chooser.Label1->mapTo(&chooser, QPoint(0, 0)), chooser.Label1->size());
    QRect row = chooser.lstOutq->visualItemRect(chooser.lstOutq->item(0));
    row.moveTopLeft(chooser.lstOutq->viewport()->mapTo(&chooser, row.topLeft()));
    const std::vector<int> headings = wordStarts(img, heading, gap);
    const std::vector<int> columns = wordStarts(img, row, gap);
    ASSERT_EQ(headings.size(), 3u);
    ASSERT_EQ(columns.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(headings[i], columns[i], 2) << "column " << i;
    chooser.hide();
}
