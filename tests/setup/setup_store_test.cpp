#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "setup_fixture.h"

using Kind = ScriptedOperatorDialogs::Kind;
using Answer = OperatorDialogs::Answer;
using SetupStore = SetupDialogTest;

TEST_F(SetupStore, ChangedDepictionAloneStoresAllThreeValues) {
    dialogs.queueOkCancel(Answer::Ok);
    OperatorScript script;
    script.then([&] { choose(1); }).then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    ASSERT_EQ(dialogs.count(Kind::OkCancel), 1);
    EXPECT_FALSE(dialogs.anyDefaultAnswer());
    const QString text = iniText();
    const qsizetype depiction = text.indexOf("DisplayDepiction=1");
    const qsizetype limit = text.indexOf("Limit=50");
    const qsizetype sampling = text.indexOf("[Sampling]");
    const qsizetype samplingTime = text.indexOf("SamplingTimeDisplay=200");
    EXPECT_GE(depiction, 0) << text.toStdString();
    EXPECT_GT(limit, depiction);
    EXPECT_GT(sampling, limit);
    EXPECT_GT(samplingTime, sampling);
    EXPECT_TRUE(text.startsWith("[Display]")) << text.toStdString();
    EXPECT_FALSE(text.contains("SamplingTimeChart")) << "only the three setup keys are written";

    EXPECT_EQ(main->displayDepiction, 1);
    EXPECT_TRUE(main->windowTitle().endsWith("   (min. Mode)"));
}

TEST_F(SetupStore, StoredValuesReplaceOnlyTheirKeysAndTakeEffect) {
    {
        QFile file(iniPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "[Display]\r\nDataDirectory=D:\\records\\\r\nLimit=50\r\n"
            "[Sampling]\r\nSamplingTimeChart=1200\r\n");
    }
    dialogs.queueOkCancel(Answer::Ok);
    OperatorScript script;
    script.then([&] { choose(1); })
        .then([&] {
            clearField(setup->MaskEdit_Limit);
            typeInto(setup->MaskEdit_Limit, "30");
            clearField(setup->MaskEdit_Sample);
            typeInto(setup->MaskEdit_Sample, "1000");
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    const ProgramSettings stored = readProgramSettings(iniPath);
    EXPECT_EQ(stored.displayDepiction, 1);
    EXPECT_EQ(stored.limit, 30);
    EXPECT_EQ(stored.samplingTimeDisplay, 1000);
    EXPECT_EQ(stored.dataDirectory, "D:\\records\\");
    EXPECT_EQ(stored.samplingTimeChart, 1200);
    EXPECT_EQ(main->displayDepiction, 1);
    EXPECT_EQ(main->limit, 30);
    EXPECT_EQ(main->samplingTimeDisplay, 1000);
}

TEST_F(SetupStore, FailedWriteIsReportedAndPutsNothingInForce) {
    ASSERT_TRUE(QDir().mkdir(iniPath));
    dialogs.queueOkCancel(Answer::Ok);
    OperatorScript script;
    script.then([&] { choose(1); })
        .then([&] {
            clearField(setup->MaskEdit_Limit);
            typeInto(setup->MaskEdit_Limit, "30");
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_TRUE(dialogs.shown().last().text.contains(iniPath))
        << dialogs.shown().last().text.toStdString();
    EXPECT_EQ(main->limit, 50);
    EXPECT_EQ(main->samplingTimeDisplay, 200);
    // Chosen while the dialog was open, so it stays.
    EXPECT_EQ(main->displayDepiction, 1);
    EXPECT_TRUE(setup->isHidden());
    EXPECT_TRUE(main->isEnabled());
}

TEST_F(SetupStore, FailedDirectStoreLeavesEveryValue) {
    ASSERT_TRUE(QDir().mkdir(iniPath));
    setStored(0, 50, 200);
    setup->storeSetup(1, 20, 500);

    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_EQ(main->displayDepiction, 0);
    EXPECT_EQ(main->limit, 50);
    EXPECT_EQ(main->samplingTimeDisplay, 200);
}

TEST_F(SetupStore, ValuesTheDialogCannotHoldStayUnlessTheOperatorChangesThem) {
    setStored(2, 120, 12000);
    int item = 0;
    bool limitShown = false;
    QString limitText;
    QString sampleText;
    int depictionDuringRun = 0;
    OperatorScript script;
    script
        .then([&] {
            item = setup->RadioGroup_Display->itemIndex();
            limitShown = setup->GroupBox_Limit->isVisible();
            limitText = setup->MaskEdit_Limit->text();
            sampleText = setup->MaskEdit_Sample->text();
        })
        .then([&] { depictionDuringRun = main->displayDepiction; })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_EQ(item, -1);
    EXPECT_TRUE(limitShown) << "depiction 2 works as the minimum depiction";
    EXPECT_EQ(limitText, "99");
    EXPECT_EQ(sampleText, "9999");
    EXPECT_EQ(depictionDuringRun, 2);
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_FALSE(iniExists());
    EXPECT_EQ(main->displayDepiction, 2);
    EXPECT_EQ(main->limit, 120);
    EXPECT_EQ(main->samplingTimeDisplay, 12000);
}

TEST_F(SetupStore, OperatorMayTypeTheShownValueOfAValueTheDialogCannotHold) {
    setStored(-1, -5, 12000);
    dialogs.queueOkCancel(Answer::Ok);
    QString limitText;
    OperatorScript script;
    script
        .then([&] {
            limitText = setup->MaskEdit_Limit->text();
            clearField(setup->MaskEdit_Sample);
            typeInto(setup->MaskEdit_Sample, "9999");
        })
        .then([&] { press(setup->BitBtn_OK); });
    runSetup(script);

    EXPECT_EQ(limitText, "0");
    ASSERT_EQ(dialogs.count(Kind::OkCancel), 1);
    const ProgramSettings stored = readProgramSettings(iniPath);
    EXPECT_EQ(stored.displayDepiction, -1);
    EXPECT_EQ(stored.limit, -5);
    EXPECT_EQ(stored.samplingTimeDisplay, 9999);
    EXPECT_EQ(main->samplingTimeDisplay, 9999);
}
