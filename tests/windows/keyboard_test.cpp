// Keyboard use of the windows: every accelerator reaches its button, and Tab visits the
// controls in the designed order.

#include <QApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <vector>

#include "tests/windows/window_fixture.h"

namespace {

class KeyboardTest : public WindowTest {
public:
    using WindowTest::chart;
    using WindowTest::display;
    using WindowTest::main;

    // The window as the operator meets it: identified instrument, window shown and active.
    QWidget* activeWindow(QWidget* window) {
        window->show();
        window->setEnabled(true);
        QApplication::setActiveWindow(window);
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }

    QWidget* mainWithPanel() {
        main->Button_Device_infoClick();
        return activeWindow(main.get());
    }
    QWidget* preparedDisplay() {
        identify();
        main->Button_Start_DisplayClick();
        return activeWindow(display.get());
    }
    QWidget* preparedChart() {
        identify();
        main->Button_Start_ChartClick();
        return activeWindow(chart.get());
    }
};

struct Accelerator {
    const char* name;
    QWidget* (*window)(KeyboardTest& test);
    Qt::Key key;
    QPushButton* (*button)(KeyboardTest& test);
};

// The keys pressed, as "Alt+C".
void PrintTo(const Accelerator& accelerator, std::ostream* out) {
    *out << QKeySequence(Qt::AltModifier | accelerator.key).toString().toStdString();
}

const Accelerator accelerators[] = {
    {"MainContinue", [](KeyboardTest& t) { return t.mainWithPanel(); }, Qt::Key_C,
     [](KeyboardTest& t) { return t.main->Button_Info_OK; }},
    {"DisplayStart", [](KeyboardTest& t) { return t.preparedDisplay(); }, Qt::Key_S,
     [](KeyboardTest& t) { return t.display->BitBtn_start; }},
    {"DisplayBreak", [](KeyboardTest& t) { return t.preparedDisplay(); }, Qt::Key_B,
     [](KeyboardTest& t) { return t.display->BitBtn_break; }},
    {"DisplayReset", [](KeyboardTest& t) { return t.preparedDisplay(); }, Qt::Key_R,
     [](KeyboardTest& t) { return t.display->BitBtn_reset; }},
    {"DisplayBack", [](KeyboardTest& t) { return t.preparedDisplay(); }, Qt::Key_A,
     [](KeyboardTest& t) { return t.display->BitBtn_back; }},
    {"ChartStart", [](KeyboardTest& t) { return t.preparedChart(); }, Qt::Key_S,
     [](KeyboardTest& t) { return t.chart->BitBtn_Start; }},
    // Without a recording running, R is Reset's.
    {"ChartReset", [](KeyboardTest& t) { return t.preparedChart(); }, Qt::Key_R,
     [](KeyboardTest& t) { return t.chart->BitBtn_Reset; }},
    {"ChartBack", [](KeyboardTest& t) { return t.preparedChart(); }, Qt::Key_B,
     [](KeyboardTest& t) { return t.chart->BitBtn_Back; }},
};

class AcceleratorTest : public KeyboardTest, public ::testing::WithParamInterface<Accelerator> {};

TEST_P(AcceleratorTest, AltLetterClicksItsButton) {
    QWidget* window = GetParam().window(*this);
    QPushButton* button = GetParam().button(*this);
    // Only that the click arrives matters here; what the button does, and in which state it
    // is enabled, is tested elsewhere.
    QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);
    button->setEnabled(true);
    QSignalSpy clicked(button, &QPushButton::clicked);

    QTest::keyClick(window, GetParam().key, Qt::AltModifier);

    EXPECT_TRUE(clicked.count() == 1 || clicked.wait(2000));
    EXPECT_EQ(clicked.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, AcceleratorTest, ::testing::ValuesIn(accelerators),
                         [](const auto& info) { return std::string(info.param.name); });

// The focus stops Tab reaches from `first`, until it comes back to `first`.
std::vector<QWidget*> tabStops(QWidget* first) {
    std::vector<QWidget*> stops;
    first->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 30 && QApplication::focusWidget(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (!stops.empty() && focused == first) {
            break;
        }
        stops.push_back(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    return stops;
}

TEST_F(KeyboardTest, MainWindowTabOrderIsTheMenuOrderWithTheIdentityPanel) {
    mainWithPanel();
    // Before "&Continue", only Exit, "Device info" and the panel's button are enabled.
    EXPECT_EQ(
        tabStops(main->Button_Exit),
        (std::vector<QWidget*>{main->Button_Exit, main->Button_Device_info, main->Button_Info_OK}));

    main->Button_Info_OKClick();
    EXPECT_EQ(
        tabStops(main->Button_Exit),
        (std::vector<QWidget*>{main->Button_Exit, main->Button_Start_Chart, main->Button_Start_Zero,
                               main->Button_Device_info, main->Button_Start_Display}));
}

}  // namespace
