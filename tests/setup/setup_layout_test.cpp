#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <vector>

#include "setup_fixture.h"

using SetupLayout = SetupDialogTest;

TEST_F(SetupLayout, ControlsSitWhereTheDialogDesignPutsThem) {
    EXPECT_EQ(setup->windowTitle(), "Setup");
    EXPECT_TRUE(setup->isHidden());
    EXPECT_FALSE(setup->okPressed);
    EXPECT_FALSE(setup->cancelPressed);

    EXPECT_EQ(setup->GroupBox_Setup->title(), "Setup");
    EXPECT_EQ(setup->GroupBox_Setup->geometry(), QRect(40, 24, 265, 361));
    EXPECT_EQ(setup->GroupBox_Setup->font().pixelSize(), 20);

    RadioGroup* group = setup->RadioGroup_Display;
    EXPECT_EQ(group->parentWidget(), setup->GroupBox_Setup);
    EXPECT_EQ(group->title(), "Display funct");
    EXPECT_EQ(group->items(), QStringList({"Nec. / Pos. Maximum", "Nec. / Pos. Minimum"}));
    EXPECT_EQ(group->geometry(), QRect(32, 48, 200, 89));
    EXPECT_EQ(group->font().pixelSize(), 16);
    EXPECT_TRUE(group->font().bold());

    EXPECT_EQ(setup->GroupBox_Limit->title(), "Set Limit");
    EXPECT_EQ(setup->GroupBox_Limit->geometry(), QRect(32, 144, 200, 73));
    EXPECT_EQ(setup->MaskEdit_Limit->parentWidget(), setup->GroupBox_Limit);
    EXPECT_EQ(setup->MaskEdit_Limit->geometry(), QRect(40, 24, 25, 27));
    EXPECT_EQ(setup->MaskEdit_Limit->inputMask(), "99;_");
    EXPECT_EQ(setup->MaskEdit_Limit->maxLength(), 2);
    EXPECT_EQ(setup->Label1->text(), "% of range");
    EXPECT_EQ(setup->Label1->pos(), QPoint(72, 32));

    EXPECT_EQ(setup->GroupBox_SampleTime->title(), "Set Sample-time");
    EXPECT_EQ(setup->GroupBox_SampleTime->geometry(), QRect(32, 224, 200, 73));
    EXPECT_EQ(setup->MaskEdit_Sample->parentWidget(), setup->GroupBox_SampleTime);
    EXPECT_EQ(setup->MaskEdit_Sample->geometry(), QRect(40, 32, 41, 27));
    EXPECT_EQ(setup->MaskEdit_Sample->inputMask(), "9999;_");
    EXPECT_EQ(setup->MaskEdit_Sample->maxLength(), 4);
    EXPECT_EQ(setup->Label2->text(), "mSek");
    EXPECT_EQ(setup->Label2->pos(), QPoint(88, 40));
    const std::vector<QWidget*> asTheirGroup = {setup->GroupBox_Limit, setup->Label1,
                                                setup->MaskEdit_Sample};
    for (QWidget* widget : asTheirGroup) {
        EXPECT_EQ(widget->font().pixelSize(), 16);
        EXPECT_TRUE(widget->font().bold());
    }

    EXPECT_EQ(setup->BitBtn_OK->text(), "OK");
    EXPECT_EQ(setup->BitBtn_OK->geometry(), QRect(32, 312, 90, 35));
    EXPECT_EQ(setup->BitBtn_OK->font().family(), "Arial Narrow");
    EXPECT_EQ(setup->BitBtn_OK->font().pixelSize(), 19);
    EXPECT_EQ(setup->BitBtnCancel->text(), "Cancel");
    EXPECT_EQ(setup->BitBtnCancel->geometry(), QRect(142, 312, 90, 35));
    EXPECT_EQ(setup->BitBtnCancel->font().pixelSize(), 19);
    EXPECT_TRUE(setup->BitBtnCancel->font().bold());
}

TEST_F(SetupLayout, DialogSitsTwentyPixelsBelowTheScreenCentre) {
    const QRect screen = setup->screen()->geometry();
    EXPECT_EQ(setup->pos(), QPoint(screen.x() + (screen.width() - 361) / 2,
                                   screen.y() + (screen.height() - 426) / 2 + 20));
    // The designed outer size with a standard frame around the client area.
    EXPECT_EQ(setup->size(), QSize(361 - 16, 426 - 39));
    // Every control fits inside the client area.
    EXPECT_TRUE(setup->rect().contains(setup->GroupBox_Setup->geometry()));
}
