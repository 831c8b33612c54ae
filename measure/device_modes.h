#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The device types the program knows.
constexpr int deviceType115 = 115;
constexpr int deviceType235 = 235;
constexpr int deviceType255 = 255;

// Texts of the mode radio group for a device type; empty for an unknown type.
QStringList modeItems(int deviceType);

// Mode letter of a mode item ('F', 'V', '4', 'M'); nullopt when the item stands for no mode.
// With 115 every item index above 1 is the distance voltmeter 'M'.
std::optional<char> modeLetterOfItem(int deviceType, int itemIndex);

// Mode code written to the instrument for a letter: 'F' 0, 'V' 1, '4' 2, 'M' 1 (the distance
// conversion happens in the window only); nullopt for any other letter.
std::optional<unsigned char> modeCodeOfLetter(char modeLetter);

// Range table (0..6) serving a device type and mode letter; 'M' uses the first voltmeter
// table. nullopt when the device type has no such mode.
std::optional<int> rangeTableOf(int deviceType, char modeLetter);

// Mode text that lookupRange reports; nullopt when no row applies.
std::optional<QString> lookupModeText(int deviceType, char modeLetter);

// What a click on a mode item does, shared by both windows' RadioGroup_ModeClick.
// The window then rebuilds the range items for the letter (distance 1 outside 'M') and
// resets its values, in every case, even when applies is false.
struct ModeSelection {
    bool applies = false;                   // false: leave letter, labels and items alone
    char modeLetter = 'F';                  // the window's new modeLetter
    bool showDistanceControls = false;      // the four distance controls, 'M' only
    std::optional<QString> unitText;        // for the three unit labels; nullopt: unchanged
    std::optional<unsigned char> modeCode;  // setMode argument; nullopt: nothing sent (115)
    QString recDistance;                    // the record's "Distance" field
};

// distance is the position of the window's distance bar.
ModeSelection selectMode(int deviceType, int itemIndex, int distance);
