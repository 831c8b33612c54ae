#include "ui/radio_group.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QList<QRadioButton*> visibleButtons(const RadioGroup& group) {
    QList<QRadioButton*> shown;
    for (QRadioButton* button : group.findChildren<QRadioButton*>()) {
        if (button->isVisible()) {
            shown.append(button);
        }
    }
    return shown;
}

int checkedButtons(const RadioGroup& group) {
    int checked = 0;
    for (QRadioButton* button : group.findChildren<QRadioButton*>()) {
        checked += button->isChecked() ? 1 : 0;
    }
    return checked;
}

void operatorClick(QRadioButton* button) {
    // On the indicator: the button may be wider than its text.
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

// How an item gets checked: the mouse, the keyboard, or assistive technology through the
// accessibility interface (a screen reader's Toggle action, the one a radio button offers).
struct ChoosingWay {
    const char* name;
    void (*choose)(QRadioButton* button);
};

void PrintTo(const ChoosingWay& way, std::ostream* out) {
    *out << way.name;
}

void accessibleAction(QRadioButton* button, const QString& action) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->actionInterface(), nullptr);
    ASSERT_TRUE(accessible->actionInterface()->actionNames().contains(action));
    accessible->actionInterface()->doAction(action);
}

const ChoosingWay choosingWays[] = {
    {"Mouse", operatorClick},
    {"SpaceKey", [](QRadioButton* button) { QTest::keyClick(button, Qt::Key_Space); }},
    {"AccessibleToggle",
     [](QRadioButton* button) {
         accessibleAction(button, QAccessibleActionInterface::toggleAction());
     }},
};

class RadioGroupTest : public ::testing::Test {
protected:
    RadioGroupTest() : group("Range"), spy(&group, &RadioGroup::clicked) {
        group.addItems({"5kV/m", "50kV/m", "500kV/m", "Autorange"});
        group.resize(200, 180);
        group.show();
    }

    RadioGroup group;
    QSignalSpy spy;
};

TEST_F(RadioGroupTest, IndexFromCodeRunsTheHandlerOncePerChange) {
    QList<int> seenByHandler;
    QObject::connect(&group, &RadioGroup::clicked,
                     [&] { seenByHandler.append(group.itemIndex()); });

    group.setItemIndex(1);
    group.setItemIndex(1);
    group.setItemIndex(3);

    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(seenByHandler, (QList<int>{1, 3}));
    EXPECT_EQ(group.itemIndex(), 3);
    EXPECT_TRUE(visibleButtons(group)[3]->isChecked());
    EXPECT_EQ(checkedButtons(group), 1);
}

TEST_F(RadioGroupTest, IndexBelowMinusOneClearsWithoutHandler) {
    group.setItemIndex(2);
    spy.clear();

    group.setItemIndex(-5);

    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(checkedButtons(group), 0);
}

TEST_F(RadioGroupTest, IndexBeyondTheLastSelectsTheLast) {
    group.setItemIndex(99);
    EXPECT_EQ(group.itemIndex(), 3);
    EXPECT_EQ(spy.count(), 1);

    group.setItemIndex(99);
    EXPECT_EQ(spy.count(), 1) << "already on the last item";
}

TEST_F(RadioGroupTest, ClearingLeavesNoSelectionAndRunsNoHandler) {
    group.setItemIndex(0);
    spy.clear();

    group.clearItems();
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_EQ(group.count(), 0);
    EXPECT_TRUE(group.items().isEmpty());
    EXPECT_EQ(spy.count(), 0);

    group.setItemIndex(2);
    EXPECT_EQ(group.itemIndex(), -1) << "no item to select";
    EXPECT_EQ(spy.count(), 0);

    // Item 0 again after a rebuild is a change, since the clearing left no selection.
    group.addItems({"25V", "125V"});
    EXPECT_EQ(checkedButtons(group), 0);
    EXPECT_EQ(group.items(), (QStringList{"25V", "125V"}));
    group.setItemIndex(0);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(visibleButtons(group).size(), 2);
}

class RadioGroupChoosing : public RadioGroupTest,
                           public ::testing::WithParamInterface<ChoosingWay> {};

TEST_P(RadioGroupChoosing, SelectionFollowsTheCheckedItemAndIgnoresTheSelectedOne) {
    group.setItemIndex(0);
    spy.clear();

    GetParam().choose(visibleButtons(group)[2]);
    EXPECT_EQ(group.itemIndex(), 2);
    EXPECT_EQ(spy.count(), 1);

    GetParam().choose(visibleButtons(group)[2]);
    EXPECT_EQ(spy.count(), 1) << "choosing the selected item again does nothing";
    EXPECT_EQ(group.itemIndex(), 2);
    EXPECT_TRUE(visibleButtons(group)[2]->isChecked());
    EXPECT_EQ(checkedButtons(group), 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, RadioGroupChoosing, ::testing::ValuesIn(choosingWays),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RadioGroupTest, HandlerMayRebuildTheItemsOfItsOwnGroup) {
    QObject::connect(&group, &RadioGroup::clicked, [&] {
        if (group.count() == 4) {
            group.clearItems();
            group.addItems({"a", "b", "c"});
            group.setItemIndex(1);
        }
    });

    operatorClick(visibleButtons(group)[3]);

    EXPECT_EQ(group.items(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(group.itemIndex(), 1);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(checkedButtons(group), 1);
    EXPECT_EQ(visibleButtons(group).size(), 3);
}

TEST(RadioGroupLayout, ItemsFillTheColumnsTopToBottom) {
    RadioGroup group("Measure mode");
    group.setColumns(2);
    group.addItems({"a", "b", "c", "d", "e"});
    group.resize(300, 200);
    group.show();

    const QList<QRadioButton*> buttons = visibleButtons(group);
    ASSERT_EQ(buttons.size(), 5);
    EXPECT_EQ(buttons[1]->x(), buttons[0]->x());
    EXPECT_EQ(buttons[2]->x(), buttons[0]->x());
    EXPECT_GT(buttons[1]->y(), buttons[0]->y());
    EXPECT_GT(buttons[3]->x(), buttons[0]->x());
    EXPECT_EQ(buttons[3]->y(), buttons[0]->y());
    EXPECT_EQ(buttons[4]->y(), buttons[1]->y());
}

}  // namespace
