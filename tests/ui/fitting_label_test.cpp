#include "ui/fitting_label.h"

#include <gtest/gtest.h>

#include "ui/window_fonts.h"

namespace {

// Whatever font stands in for Arial, a text wider than the label's room is narrowed into it
// at its full height, and the next text that fits gets the design font back.
TEST(FittingLabelTest, NarrowsAWideTextOnlyAndKeepsItsHeight) {
    const QFont design = windowFont(19, true);
    QLabel designed(QStringLiteral("12340417"));
    designed.setFont(design);
    const int room = designed.sizeHint().width() * 9 / 10;

    QWidget window;
    FittingLabel label(QStringLiteral("12340417"), design, QRect(0, 0, room, 22), &window);
    EXPECT_LE(label.sizeHint().width(), room);
    EXPECT_EQ(label.font().pixelSize(), 19);
    EXPECT_TRUE(label.font().bold());

    label.setText(QStringLiteral("133"));
    EXPECT_EQ(label.font(), design);
}

}  // namespace
