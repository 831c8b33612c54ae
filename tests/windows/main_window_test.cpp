#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "state/version_info.h"
#include "window_fixture.h"

using Kind = ScriptedOperatorDialogs::Kind;
using MainWindow235 = WindowTestOf<235>;
using MainWindow115 = WindowTestOf<115>;

TEST_F(MainWindow235, OnlyDeviceInfoAndExitWorkBeforeContinue) {
    EXPECT_TRUE(main->Button_Device_info->isEnabled());
    EXPECT_TRUE(main->Button_Exit->isEnabled());
    EXPECT_FALSE(main->Button_Start_Display->isEnabled());
    EXPECT_FALSE(main->Button_Start_Chart->isEnabled());
    EXPECT_FALSE(main->Button_Start_Zero->isEnabled());

    main->Button_Device_infoClick();
    EXPECT_FALSE(main->Button_Start_Display->isEnabled());
    EXPECT_TRUE(main->GroupBox_Device_info->isVisibleTo(main.get()));

    main->Button_Info_OKClick();
    EXPECT_TRUE(main->Button_Start_Display->isEnabled());
    EXPECT_TRUE(main->Button_Start_Chart->isEnabled());
    EXPECT_TRUE(main->Button_Start_Zero->isEnabled());
    EXPECT_FALSE(main->GroupBox_Device_info->isVisibleTo(main.get()));

    // A second identification keeps the buttons unlocked.
    main->Button_Device_infoClick();
    EXPECT_TRUE(main->Button_Start_Display->isEnabled());
}

TEST_F(MainWindow235, IdentityPanelShowsTheInstrumentAndLowBattery) {
    sim.setIdentity("55554444", "201", "235");
    sim.setStatus(0x80);
    main->Button_Device_infoClick();
    EXPECT_EQ(main->Label_Serial_number->text(), "55554444");
    EXPECT_EQ(main->Label_SW_version->text(), "201");
    EXPECT_EQ(main->Label_Device_type->text(), "Zalvo 235");
    EXPECT_EQ(main->GroupBox_Main_Menu->title(), "Main menue  Zalvo 235");
    EXPECT_EQ(main->deviceType, 235);
    EXPECT_TRUE(main->LabelAccu->isVisibleTo(main.get()));
    EXPECT_EQ(main->LabelAccu->text(), "Batterie status");
    EXPECT_EQ(main->LabelAccuStatus->text(), "= Low !");

    main->Button_Info_OKClick();
    EXPECT_TRUE(main->ImageZalvo2x->isVisibleTo(main.get()));
    EXPECT_FALSE(main->ImageZalvo1x->isVisibleTo(main.get()));
    EXPECT_FALSE(main->ImageZalvo2x->pixmap().isNull());
}

TEST_F(MainWindow235, GoodBatteryShowsOk) {
    main->Button_Device_infoClick();
    EXPECT_EQ(main->LabelAccuStatus->text(), "= OK.");
}

TEST_F(MainWindow115, ProbeHasNoBatteryLineAndIsNotAskedForIt) {
    main->Button_Device_infoClick();
    EXPECT_EQ(main->GroupBox_Main_Menu->title(), "Main menue  Zalvo 115");
    EXPECT_EQ(main->Label_Device_type->text(), "Zalvo 115");
    EXPECT_FALSE(main->LabelAccu->isVisibleTo(main.get()));
    EXPECT_FALSE(main->LabelAccuStatus->isVisibleTo(main.get()));
    ASSERT_EQ(sim.transfers().size(), 1u);  // the identity block only
    EXPECT_EQ(sim.transfers()[0].value, 10);

    main->Button_Info_OKClick();
    EXPECT_TRUE(main->ImageZalvo1x->isVisibleTo(main.get()));
    EXPECT_FALSE(main->ImageZalvo2x->isVisibleTo(main.get()));
    EXPECT_FALSE(main->ImageZalvo1x->pixmap().isNull());
}

TEST_F(MainWindow235, DeviceTypeThatIsNotANumberIsReportedAndKeepsTheOldType) {
    main->Button_Device_infoClick();
    ASSERT_EQ(main->deviceType, 235);
    sim.setIdentity("99999999", "300", "2X5");
    main->Button_Device_infoClick();
    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_EQ(dialogs.shown().last().text, "'2X5' is not a valid integer value");
    EXPECT_EQ(main->deviceType, 235);
    EXPECT_EQ(main->Label_Serial_number->text(), "99999999");
    EXPECT_EQ(main->Label_Device_type->text(), "Zalvo 235");
    EXPECT_EQ(main->GroupBox_Main_Menu->title(), "Main menue  Zalvo 235");
    EXPECT_TRUE(main->GroupBox_Device_info->isVisibleTo(main.get()));
}

TEST_F(MainWindow235, NoInstrumentEndsTheProgramWithMinusOne) {
    sim.unplug();
    EXPECT_EQ(exitCodeOf([&] { main->Button_Device_infoClick(); }), -1);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].text, "No connection to the USB device! ");
    EXPECT_EQ(dialogs.shown()[0].caption, " E R R O R");
}

TEST_F(MainWindow235, FailedIdentityEndsTheProgramToo) {
    sim.failRegister(10, 1, -9);
    EXPECT_EQ(exitCodeOf([&] { main->Button_Device_infoClick(); }), -1);
}

TEST_F(MainWindow235, ExitEndsWithZero) {
    EXPECT_EQ(exitCodeOf([&] { main->Button_ExitClick(); }), 0);
}

TEST_F(MainWindow235, CaptionNamesProductMakerVersionAndTheMinimumMarker) {
    VersionInfo info;
    readVersionInfo(info);
    EXPECT_EQ(info.productName, "Zalvoxx5_DureRuz");
    EXPECT_EQ(info.fileVersion, "2.0.3.4");
    EXPECT_FALSE(info.companyName.isEmpty());
    EXPECT_EQ(main->versionCaption, "Zalvoxx5_DureRuz " + info.companyName + " Ver. : 2.0.3.4");

    main->displayDepiction = 0;
    main->applyCaption();
    EXPECT_EQ(main->windowTitle(), main->versionCaption);
    main->displayDepiction = 1;
    main->applyCaption();
    EXPECT_EQ(main->windowTitle(), main->versionCaption + "   (min. Mode)");
    main->displayDepiction = 2;
    main->applyCaption();
    EXPECT_EQ(main->windowTitle(), main->versionCaption);
}

TEST(VersionCaption, EmptyFieldsLeaveTheFixedParts) {
    VersionInfo info;
    info.productName = "P";
    info.fileVersion = "1.2.3.4";
    EXPECT_EQ(versionCaptionOf(info), "P  Ver. : 1.2.3.4");
    EXPECT_EQ(versionCaptionOf(VersionInfo{}), "  Ver. : ");
    EXPECT_EQ(mainCaption(" Ver. : ", 1), " Ver. :    (min. Mode)");
}

TEST_F(MainWindow235, StartingTheAdjustmentCaptionsTheDialogAndReportsTheOutcome) {
    identify();
    dialogs.queueOkCancel(OperatorDialogs::Answer::Cancel);
    main->Button_Start_ZeroClick();
    EXPECT_EQ(readUsb->windowTitle(), "Display Zalvo 235 Zero adjustment.");
    ASSERT_GE(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown().last().text, "!! Zero point calibration not successfully !!");
    EXPECT_EQ(dialogs.shown().last().caption, "Error occurred !");
    EXPECT_TRUE(main->isEnabled());
    EXPECT_FALSE(readUsb->isVisible());
}
