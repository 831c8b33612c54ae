#include "measure/device_modes.h"

#include <gtest/gtest.h>

#include "locale_scope.h"

namespace {

TEST(ModeItems, ListTheModesOfEachDeviceType) {
    EXPECT_EQ(modeItems(115), QStringList({"E-Fieldmeter", "Voltmeter Pelvar 11",
                                           "Voltmeter distance (5..300mm)"}));
    EXPECT_EQ(modeItems(235),
              QStringList({"E-Fieldmeter", "Voltmeter Pelvar 1", "Voltmeter Dranth 40",
                           "Voltmeter distance (5..300mm)"}));
    EXPECT_EQ(modeItems(255),
              QStringList({"E-Fieldmeter", "Voltmeter Pelvar 1", "Voltmeter distance (5..300mm)"}));
    EXPECT_TRUE(modeItems(0).isEmpty());
    EXPECT_TRUE(modeItems(116).isEmpty());
}

TEST(ModeItems, EveryItemHasTheLetterOfItsColumn) {
    const struct {
        int deviceType;
        const char* letters;
    } cases[] = {{115, "FVM"}, {235, "FV4M"}, {255, "FVM"}};
    for (const auto& c : cases) {
        const int count = static_cast<int>(modeItems(c.deviceType).size());
        for (int item = 0; item < count; ++item) {
            EXPECT_EQ(modeLetterOfItem(c.deviceType, item), c.letters[item]) << c.deviceType;
        }
        EXPECT_EQ(modeLetterOfItem(c.deviceType, -1), std::nullopt);
    }
}

TEST(ModeItems, OnlyType115TakesHigherItemsAsDistanceVoltmeter) {
    EXPECT_EQ(modeLetterOfItem(115, 3), 'M');
    EXPECT_EQ(modeLetterOfItem(115, 17), 'M');
    EXPECT_EQ(modeLetterOfItem(235, 4), std::nullopt);
    EXPECT_EQ(modeLetterOfItem(255, 3), std::nullopt);
    EXPECT_EQ(modeLetterOfItem(999, 0), std::nullopt);
}

TEST(ModeCodes, DistanceVoltmeterSendsThePlainVoltmeterMode) {
    EXPECT_EQ(modeCodeOfLetter('F'), 0);
    EXPECT_EQ(modeCodeOfLetter('V'), 1);
    EXPECT_EQ(modeCodeOfLetter('4'), 2);
    EXPECT_EQ(modeCodeOfLetter('M'), 1);
    EXPECT_EQ(modeCodeOfLetter('C'), std::nullopt);
    EXPECT_EQ(modeCodeOfLetter('E'), std::nullopt);
}

TEST(SelectMode, Type115ChangesNeitherUnitsNorInstrumentMode) {
    const ModeSelection field = selectMode(115, 0, 40);
    EXPECT_TRUE(field.applies);
    EXPECT_EQ(field.modeLetter, 'F');
    EXPECT_FALSE(field.showDistanceControls);
    EXPECT_EQ(field.unitText, std::nullopt);
    EXPECT_EQ(field.modeCode, std::nullopt);
    EXPECT_EQ(field.recDistance, "");

    EXPECT_EQ(selectMode(115, 1, 40).recDistance, "10");
    const ModeSelection distance = selectMode(115, 2, 40);
    EXPECT_EQ(distance.modeLetter, 'M');
    EXPECT_TRUE(distance.showDistanceControls);
    EXPECT_EQ(distance.recDistance, "40");
    EXPECT_EQ(distance.modeCode, std::nullopt);
}

TEST(SelectMode, HandHeldTypesSetUnitsAndSendTheMode) {
    const struct {
        int deviceType;
        int item;
        char letter;
        const char* unit;
        unsigned char code;
        const char* recDistance;
        bool distanceControls;
    } cases[] = {
        {235, 0, 'F', "kV/m", 0, "", false}, {235, 1, 'V', "V", 1, "10", false},
        {235, 2, '4', "V", 2, "200", false}, {235, 3, 'M', "V", 1, "125", true},
        {255, 0, 'F', "kV/m", 0, "", false}, {255, 1, 'V', "V", 1, "10", false},
        {255, 2, 'M', "V", 1, "125", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.deviceType << " item " << c.item);
        const ModeSelection selection = selectMode(c.deviceType, c.item, 125);
        EXPECT_TRUE(selection.applies);
        EXPECT_EQ(selection.modeLetter, c.letter);
        EXPECT_EQ(selection.unitText, QString(c.unit));
        EXPECT_EQ(selection.modeCode, c.code);
        EXPECT_EQ(selection.recDistance, QString(c.recDistance));
        EXPECT_EQ(selection.showDistanceControls, c.distanceControls);
    }
}

TEST(SelectMode, UnknownItemsAndTypesDoNothing) {
    EXPECT_FALSE(selectMode(235, 4, 5).applies);
    EXPECT_FALSE(selectMode(255, 3, 5).applies);
    EXPECT_FALSE(selectMode(255, -1, 5).applies);
    EXPECT_FALSE(selectMode(100, 0, 5).applies);
}

}  // namespace
