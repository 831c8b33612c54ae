#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "setup_fixture.h"

using Kind = ScriptedOperatorDialogs::Kind;
using Answer = OperatorDialogs::Answer;
using SetupRun = SetupDialogTest;

namespace {

const QString minModeSuffix = QStringLiteral("   (min. Mode)");

}  // namespace

TEST_F(SetupRun, RunFillsTheControlsFromTheValuesInForce) {
    setStored(1, 35, 750);
    int item = -2;
    QString limitText;
    QString sampleText;
    bool focusInGroup = false;
    OperatorScript script;
    script
        .then([&] {
            item = setup->RadioGroup_Display->itemIndex();
            limitText = setup->MaskEdit_Limit->text();
            sampleText = setup->MaskEdit_Sample->text();
            QWidget* focus = setup->focusWidget();
            focusInGroup = setup->RadioGroup_Display->isAncestorOf(focus) ||
                           focus == setup->RadioGroup_Display;
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_EQ(item, 1);
    EXPECT_EQ(limitText, "35");
    EXPECT_EQ(sampleText, "750");
    EXPECT_TRUE(focusInGroup);
    EXPECT_TRUE(dialogs.shown().isEmpty()) << "nothing changed, nothing to ask";
    EXPECT_FALSE(iniExists());
    EXPECT_TRUE(setup->isHidden());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_TRUE(setup->okPressed);
}

TEST_F(SetupRun, ChoosingTheDepictionTakesEffectAtOnceAndShowsTheLimitOnlyForMinimum) {
    int depictionAfterMinimum = -1;
    bool limitShownForMinimum = false;
    int depictionAfterMaximum = -1;
    bool limitShownForMaximum = true;
    OperatorScript script;
    script.then([&] { choose(1); })
        .then([&] {
            depictionAfterMinimum = main->displayDepiction;
            limitShownForMinimum = setup->GroupBox_Limit->isVisible();
            choose(0);
        })
        .then([&] {
            depictionAfterMaximum = main->displayDepiction;
            limitShownForMaximum = setup->GroupBox_Limit->isVisible();
        })
        .then([&] { press(setup->BitBtnCancel); });
    runSetup(script);

    EXPECT_EQ(depictionAfterMinimum, 1);
    EXPECT_TRUE(limitShownForMinimum);
    EXPECT_EQ(depictionAfterMaximum, 0);
    EXPECT_FALSE(limitShownForMaximum);
}

TEST_F(SetupRun, OkWithoutAnyChangeAsksNothing) {
    setStored(1, 50, 200);
    OperatorScript script;
    script.then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(main->displayDepiction, 1);
}

TEST_F(SetupRun, AnsweringCancelStoresNothingYetKeepsTheChosenDepiction) {
    dialogs.queueOkCancel(Answer::Cancel);
    OperatorScript script;
    script.then([&] { choose(1); }).then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, Kind::OkCancel);
    EXPECT_EQ(dialogs.shown()[0].text, "Should the Setup.ini be updated ?");
    EXPECT_EQ(dialogs.shown()[0].caption, "Query");
    EXPECT_FALSE(dialogs.anyDefaultAnswer());
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(main->displayDepiction, 1);
    EXPECT_TRUE(main->windowTitle().endsWith(minModeSuffix));

    // And back to the maximum depiction: the caption drops the suffix again.
    dialogs.queueOkCancel(Answer::Cancel);
    OperatorScript back;
    back.then([&] { choose(0); }).then([&] { press(setup->BitBtn_OK); });
    runSetup(back);

    EXPECT_EQ(dialogs.count(Kind::OkCancel), 2);
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(main->displayDepiction, 0);
    EXPECT_EQ(main->windowTitle(), main->versionCaption);
}

TEST_F(SetupRun, CancelEndsTheRunWithoutAskingOrWriting) {
    OperatorScript script;
    script.then([&] { choose(1); })
        .then([&] {
            clearField(setup->MaskEdit_Limit);
            typeInto(setup->MaskEdit_Limit, "7");
            clearField(setup->MaskEdit_Sample);
            typeInto(setup->MaskEdit_Sample, "999");
        })
        .then([&] { press(setup->BitBtnCancel); });
    runSetup(script);

    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(iniExists());
    EXPECT_TRUE(setup->cancelPressed);
    EXPECT_TRUE(setup->isHidden());
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(main->displayDepiction, 1);
    EXPECT_EQ(main->limit, 50);
    EXPECT_EQ(main->samplingTimeDisplay, 200);
    EXPECT_TRUE(main->windowTitle().endsWith(minModeSuffix));
}

TEST_F(SetupRun, CloseBoxAndEscapeCountAsCancel) {
    const std::vector<std::function<void()>> ways = {
        [&] { setup->close(); }, [&] { QTest::keyClick(setup.get(), Qt::Key_Escape); }};
    for (const auto& leave : ways) {
        OperatorScript script;
        script.then([&] { choose(1); }).then([&] {
            clearField(setup->MaskEdit_Limit);
            typeInto(setup->MaskEdit_Limit, "9");
        });
        script.then(leave);
        runSetup(script);

        EXPECT_TRUE(setup->cancelPressed);
        EXPECT_TRUE(setup->isHidden());
        EXPECT_TRUE(main->isEnabled());
        EXPECT_EQ(main->displayDepiction, 1);
        EXPECT_EQ(main->limit, 50);
        setStored(0, 50, 200);
    }
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(iniExists());
}

TEST_F(SetupRun, ClearedSamplingTimeAloneChangesNothing) {
    OperatorScript script;
    script.then([&] { clearField(setup->MaskEdit_Sample); }).then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_EQ(setup->MaskEdit_Sample->text().trimmed(), "");
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(main->samplingTimeDisplay, 200);
}

TEST_F(SetupRun, ClearedFieldKeepsTheLastValueItHeld) {
    dialogs.queueOkCancel(Answer::Ok);
    OperatorScript script;
    script
        .then([&] {
            clearField(setup->MaskEdit_Sample);
            typeInto(setup->MaskEdit_Sample, "300");
        })
        .then([&] { clearField(setup->MaskEdit_Sample); })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    ASSERT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_EQ(main->samplingTimeDisplay, 300);
    EXPECT_EQ(readProgramSettings(iniPath).samplingTimeDisplay, 300);
}

TEST_F(SetupRun, SingleDigitIsReadWithoutTheEmptyPosition) {
    setStored(1, 50, 200);
    dialogs.queueOkCancel(Answer::Ok);
    QString shown;
    OperatorScript script;
    script
        .then([&] {
            clearField(setup->MaskEdit_Limit);
            typeInto(setup->MaskEdit_Limit, "5");
            shown = setup->MaskEdit_Limit->displayText();
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_EQ(shown, "5_");
    ASSERT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_EQ(main->limit, 5);
    EXPECT_EQ(readProgramSettings(iniPath).limit, 5);

    // The empty position in front of the digit is removed as well.
    dialogs.queueOkCancel(Answer::Ok);
    OperatorScript front;
    front
        .then([&] {
            clearField(setup->MaskEdit_Limit);
            QTest::keyClick(setup->MaskEdit_Limit, Qt::Key_Right);
            typeInto(setup->MaskEdit_Limit, "8");
            shown = setup->MaskEdit_Limit->displayText();
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(front);

    EXPECT_EQ(shown, "_8");
    EXPECT_EQ(main->limit, 8);
}

TEST_F(SetupRun, SetupPressedAgainWhileOpenDoesNotStartASecondRun) {
    dialogs.queueOkCancel(Answer::Ok);
    bool secondCallReturned = false;
    bool returnedBeforeNextStep = false;
    OperatorScript script;
    script
        .then([&] {
            setup->runSetupDialog();
            secondCallReturned = true;
        })
        .then([&] {
            returnedBeforeNextStep = secondCallReturned;
            choose(1);
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_TRUE(returnedBeforeNextStep);
    EXPECT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_EQ(main->displayDepiction, 1);
    EXPECT_EQ(readProgramSettings(iniPath).displayDepiction, 1);
}
