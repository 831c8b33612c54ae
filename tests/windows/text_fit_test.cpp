// Every text the operator sees fits its control, in whatever font stands in for Arial. CTest
// runs these once with the fonts installed and once with Liberation hidden from fontconfig,
// so that DejaVu Sans stands in.

#include <QFontInfo>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <QStyle>
#include <algorithm>

#include "device/measurement_decoding.h"
#include "tests/windows/window_fixture.h"
#include "ui/no_range_warning.h"
#include "ui/radio_group.h"
#include "ui/window_fonts.h"

namespace {

// The visible texts of a window that need more room than their control has, one a line.
std::string clippedTexts(const QWidget* window) {
    QStringList clipped;
    const auto report = [&](const QWidget* control, const QString& text) {
        clipped.append(QStringLiteral("\"%1\": needs %2x%3, has %4x%5")
                           .arg(text)
                           .arg(control->sizeHint().width())
                           .arg(control->sizeHint().height())
                           .arg(control->width())
                           .arg(control->height()));
    };
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisibleTo(window) && !label->text().trimmed().isEmpty() &&
            !label->wordWrap() && label->sizeHint().width() > label->width()) {
            report(label, label->text());
        }
    }
    // A radio button also needs the height of its round indicator and of its text line.
    for (const QRadioButton* button : window->findChildren<QRadioButton*>()) {
        const int height = std::max(
            button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, button),
            button->fontMetrics().height());
        if (button->isVisibleTo(window) &&
            (button->sizeHint().width() > button->width() || height > button->height())) {
            report(button, button->text());
        }
    }
    return clipped.join(QLatin1Char('\n')).toStdString();
}

// A measuring window and the controls the check works.
struct MeasuringWindow {
    QWidget* window;
    RadioGroup* modes;
    RadioGroup* ranges;
    QScrollBar* distance;
    std::function<void()> start;
    std::function<void()> stop;
};

class TextFit235 : public WindowTestOf<235> {
protected:
    MeasuringWindow measuringDisplay() {
        return {display.get(),
                display->RadioGroup_Mode,
                display->RadioGroup_Range,
                display->ScrollBar_distance,
                [this] { display->BitBtn_startClick(); },
                [this] { display->BitBtn_breakClick(); }};
    }
    MeasuringWindow measuringChart() {
        return {chart.get(),
                chart->RadioGroup_Mode,
                chart->RadioGroup_Range,
                chart->ScrollBar_distance_Ch,
                [this] { chart->BitBtn_StartClick(); },
                [this] { chart->BitBtn_BreakClick(); }};
    }
};

TEST(TextFitFont, ArialStandInIsTheFontUnderTest) {
    const bool liberationHidden = qEnvironmentVariableIsSet("ZALVO_LIBERATION_HIDDEN");
    EXPECT_EQ(QFontInfo(windowFont(16)).family(),
              liberationHidden ? "DejaVu Sans" : "Liberation Sans");
}

// The simulator sends an identity as long as a real instrument's (an 8-digit serial number);
// the battery state shows in its longer wording.
TEST_F(TextFit235, IdentityPanelTextsFit) {
    sim.setStatus(0x80);
    main->Button_Device_infoClick();
    ASSERT_EQ(main->LabelAccuStatus->text(), "= Low !");
    EXPECT_EQ(clippedTexts(main.get()), "");
}

// A measuring window's texts fit in every mode, before and while its loop runs (checked at
// the third value reading, after which the loop is broken). The widest numbers come from the
// largest count with the negative sign, in each mode's largest range, at the longest distance.
void checkMeasuringWindow(InstrumentSimulator& sim, const MeasuringWindow& measuring) {
    sim.setValues({9999});
    sim.setStatus(0x10);
    measuring.distance->setValue(measuring.distance->maximum());
    for (int mode = 0; mode < measuring.modes->count(); ++mode) {
        measuring.modes->setItemIndex(mode);
        EXPECT_EQ(clippedTexts(measuring.window), "") << "mode item " << mode;
        // The fourth item is the largest fixed range.
        measuring.ranges->setItemIndex(3);
        sim.setTransferObserver([&, readings = 0](const TransferRecord& transfer) mutable {
            if (transfer.in && transfer.value == reg::measuredValue && ++readings == 3) {
                EXPECT_EQ(clippedTexts(measuring.window), "")
                    << "while running in mode item " << mode;
                measuring.stop();
            }
        });
        measuring.start();
        sim.setTransferObserver(nullptr);
    }
}

TEST_F(TextFit235, DisplayWindowTextsFitWhileMeasuring) {
    identify();
    main->Button_Start_DisplayClick();
    checkMeasuringWindow(sim, measuringDisplay());
}

TEST_F(TextFit235, ChartWindowTextsFitWhileRecording) {
    identify();
    main->Button_Start_ChartClick();
    checkMeasuringWindow(sim, measuringChart());
}

// A warning shown after a run fits its text in either font and lies clear of every other
// control of its container, hidden ones included: they may show beside it.
void checkWarning(const QWidget* window, const QLabel* warning) {
    ASSERT_TRUE(warning->isVisibleTo(window));
    EXPECT_LE(warning->sizeHint().width(), warning->width()) << warning->text().toStdString();
    for (const QWidget* other :
         warning->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(other == warning || !other->geometry().intersects(warning->geometry()))
            << other->metaObject()->className();
    }
}

TEST_F(TextFit235, NoRangeWarningsFitBesideTheOtherControls) {
    sim.setReportedRange(0x50);
    identify();
    main->Button_Start_DisplayClick();
    checkMeasuringWindow(sim, measuringDisplay());
    checkWarning(display.get(), display->Label_No_Range_D);
    main->Button_Start_ChartClick();
    checkMeasuringWindow(sim, measuringChart());
    checkWarning(chart.get(), chart->Label_No_Range_C);
}

}  // namespace
