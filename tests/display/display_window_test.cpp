#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "display/circle_shape.h"
#include "display_fixture.h"
#include "state/version_info.h"
#include "ui/radio_group.h"

using DisplayWindow = DisplayTestOf<235>;

TEST_F(DisplayWindow, HasNoCloseBoxAndLeavesOnlyThroughBack) {
    const Qt::WindowFlags flags = display->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));

    prepare();
    EXPECT_FALSE(display->close());
    EXPECT_TRUE(display->isVisible());
}

TEST_F(DisplayWindow, ConstructionLeavesTheIdleDesign) {
    EXPECT_FALSE(display->isVisible());
    EXPECT_EQ(display->Label_distance->text(), "5 mm");
    EXPECT_FALSE(display->ScrollBar_distance->isVisibleTo(display.get()));
    EXPECT_FALSE(display->Shape_Tick->isVisibleTo(display.get()));
    EXPECT_FALSE(display->BitBtnSavedata->isEnabled());
    EXPECT_TRUE(display->BitBtnSavedata->isDefault());
    // Every control lies inside the window.
    for (QWidget* child : display->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(display->rect().contains(child->geometry()))
            << child->metaObject()->className();
    }
}

TEST_F(DisplayWindow, ResetClearsValuesAndExtremesButNotTheRecord) {
    prepare();
    sim.setValues({0, 1500});
    runMeasuring(3);
    ASSERT_EQ(display->Label_pos_maxValue->text(), "1.50");
    display->BitBtn_resetClick();
    EXPECT_EQ(display->Label_measuredValue->text(), "0");
    EXPECT_EQ(display->Label_pos_maxValue->text(), "0");
    EXPECT_EQ(display->Label_neg_maxValue->text(), "0");
    EXPECT_EQ(display->evaluation().posMax(), 0.0);
    EXPECT_EQ(display->measurementRecord.recPosExtreme, "1.50");
}

TEST_F(DisplayWindow, SetupRunsTheDialogAndRebuildsTheMainCaption) {
    prepare();
    main->displayDepiction = 1;
    post([&] { setup->BitBtnCancelClick(); });
    display->BitBtn_setupClick();
    EXPECT_EQ(main->windowTitle(), main->versionCaption + "   (min. Mode)");
}
