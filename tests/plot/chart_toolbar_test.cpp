#include "plot/chart_toolbar.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "plot/chart_widget.h"
#include "tests/support/scripted_operator_dialogs.h"

namespace {

using Kind = ScriptedOperatorDialogs::Kind;

class ChartToolbarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        chart.resize(713, 633);
        for (int i = 0; i < 50; ++i) {
            chart.addPoint(i * 200.0, i * 0.5);
        }
    }

    QTemporaryDir folder;
    ScriptedOperatorDialogs dialogs;
    ChartWidget chart;
    ChartToolbar toolbar{&chart};
};

}  // namespace

TEST_F(ChartToolbarTest, ExportAsksForACsvNameAndWritesEveryPoint) {
    const QString target = folder.filePath(QStringLiteral("recording.csv"));
    dialogs.queueSaveFile(target);
    toolbar.exportCsvAction()->trigger();

    ASSERT_EQ(dialogs.count(Kind::SaveFile), 1);
    const OperatorDialogs::SaveFileRequest request = dialogs.shown().front().saveRequest;
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("csv"));
    ASSERT_FALSE(request.filters.isEmpty());
    EXPECT_TRUE(request.filters.front().contains(QStringLiteral("*.csv")));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 51);
    EXPECT_EQ(dialogs.count(Kind::Message), 0);
}

TEST_F(ChartToolbarTest, SaveImageWritesTheChosenFormatAndCancelWritesNothing) {
    const QString target = folder.filePath(QStringLiteral("chart.png"));
    dialogs.queueSaveFile(target);
    toolbar.saveImageAction()->trigger();
    EXPECT_EQ(QImage(target).size(), chart.size());
    EXPECT_EQ(dialogs.shown().front().saveRequest.filters.size(), 3);

    toolbar.saveImageAction()->trigger();  // nothing queued: the operator cancels
    toolbar.exportCsvAction()->trigger();
    EXPECT_EQ(dialogs.count(Kind::SaveFile), 3);
    EXPECT_EQ(dialogs.count(Kind::Message), 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ChartToolbarTest, TellsTheOperatorWhenAFileCannotBeWritten) {
    dialogs.queueSaveFile(folder.filePath(QStringLiteral("missing/recording.csv")));
    toolbar.exportCsvAction()->trigger();
    ASSERT_EQ(dialogs.count(Kind::Message), 1);
    EXPECT_TRUE(dialogs.shown().last().text.contains(QStringLiteral("missing/recording.csv")));
}

TEST_F(ChartToolbarTest, ResetZoomIsOfferedOnlyWhileZoomedAndModesSwitchTheDrag) {
    EXPECT_FALSE(toolbar.resetZoomAction()->isEnabled());
    ASSERT_TRUE(chart.zoomTo(ChartRange{1000.0, 2000.0, 0.0, 5.0}));
    EXPECT_TRUE(toolbar.resetZoomAction()->isEnabled());
    toolbar.resetZoomAction()->trigger();
    EXPECT_FALSE(chart.isZoomed());
    EXPECT_FALSE(toolbar.resetZoomAction()->isEnabled());

    toolbar.panModeAction()->trigger();
    EXPECT_EQ(chart.currentDragMode(), ChartWidget::DragMode::Pan);
    EXPECT_FALSE(toolbar.zoomModeAction()->isChecked());
    toolbar.zoomModeAction()->trigger();
    EXPECT_EQ(chart.currentDragMode(), ChartWidget::DragMode::Zoom);
}
