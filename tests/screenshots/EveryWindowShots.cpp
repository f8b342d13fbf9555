#include <gtest/gtest.h>

#include <QImage>

#include "EveryWindow.h"

// A picture of every window of both programs at its default size, as it first opens.
TEST(Screenshots, EveryWindow) {
    EveryWindow all;
    for (const EveryWindow::Window& w : all.windows) {
        QString file = QStringLiteral("every-") + w.name + QStringLiteral(".png");
        file.replace(QLatin1Char(' '), QLatin1Char('-'));
        EXPECT_FALSE(saveScreenshot(*w.widget, file).isNull()) << file.toStdString();
    }
}
