#include "measure/device_modes.h"

namespace {

const QString fieldmeterItem = QStringLiteral("E-Fieldmeter");
const QString distanceItem = QStringLiteral("Voltmeter distance (5..300mm)");

// Distance voltmeter and the first adapter family share the first voltmeter table.
std::optional<int> tableOf115(char letter) {
    switch (letter) {
        case 'F':
            return 0;
        case 'V':
        case 'M':
            return 1;
        default:
            return std::nullopt;
    }
}

std::optional<int> tableOf235(char letter) {
    switch (letter) {
        case 'F':
            return 2;
        case 'V':
        case 'M':
            return 3;
        case '4':
            return 4;
        default:
            return std::nullopt;
    }
}

std::optional<int> tableOf255(char letter) {
    switch (letter) {
        case 'F':
            return 5;
        case 'V':
        case 'M':
            return 6;
        default:
            return std::nullopt;
    }
}

QString recDistanceOf(char letter, int distance) {
    switch (letter) {
        case 'V':
            return QStringLiteral("10");
        case '4':
            return QStringLiteral("200");
        case 'M':
            return QString::number(distance);
        default:
            return QString();
    }
}

}  // namespace

QStringList modeItems(int deviceType) {
    switch (deviceType) {
        case deviceType115:
            return {fieldmeterItem, QStringLiteral("Voltmeter Pelvar 11"), distanceItem};
        case deviceType235:
            return {fieldmeterItem, QStringLiteral("Voltmeter Pelvar 1"),
                    QStringLiteral("Voltmeter Dranth 40"), distanceItem};
        case deviceType255:
            return {fieldmeterItem, QStringLiteral("Voltmeter Pelvar 1"), distanceItem};
        default:
            return {};
    }
}

std::optional<char> modeLetterOfItem(int deviceType, int itemIndex) {
    if (itemIndex < 0) {
        return std::nullopt;
    }
    switch (deviceType) {
        case deviceType115: {
            constexpr char letters[] = {'F', 'V'};
            return itemIndex < 2 ? letters[itemIndex] : 'M';
        }
        case deviceType235: {
            constexpr char letters[] = {'F', 'V', '4', 'M'};
            return itemIndex < 4 ? std::optional<char>(letters[itemIndex]) : std::nullopt;
        }
        case deviceType255: {
            constexpr char letters[] = {'F', 'V', 'M'};
            return itemIndex < 3 ? std::optional<char>(letters[itemIndex]) : std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

std::optional<unsigned char> modeCodeOfLetter(char modeLetter) {
    switch (modeLetter) {
        case 'F':
            return 0;
        case 'V':
        case 'M':
            return 1;
        case '4':
            return 2;
        default:
            return std::nullopt;
    }
}

std::optional<int> rangeTableOf(int deviceType, char modeLetter) {
    switch (deviceType) {
        case deviceType115:
            return tableOf115(modeLetter);
        case deviceType235:
            return tableOf235(modeLetter);
        case deviceType255:
            return tableOf255(modeLetter);
        default:
            return std::nullopt;
    }
}

std::optional<QString> lookupModeText(int deviceType, char modeLetter) {
    if (!rangeTableOf(deviceType, modeLetter)) {
        return std::nullopt;
    }
    // The lookup's mode texts differ in spacing from the mode items on purpose.
    switch (modeLetter) {
        case 'F':
            return QStringLiteral("E-Fieldmeter");
        case 'M':
            return QStringLiteral("Voltmeter dist.");
        case '4':
            return QStringLiteral("Voltmeter Dranth 40");
        default:
            break;
    }
    switch (deviceType) {
        case deviceType115:
            return QStringLiteral("Voltmeter Pelvar11");
        case deviceType235:
            return QStringLiteral("Voltmeter Pelvar 1");
        default:
            return QStringLiteral("Voltmeter Pelvar1");
    }
}

ModeSelection selectMode(int deviceType, int itemIndex, int distance) {
    ModeSelection selection;
    const std::optional<char> letter = modeLetterOfItem(deviceType, itemIndex);
    if (!letter) {
        return selection;
    }
    selection.applies = true;
    selection.modeLetter = *letter;
    selection.showDistanceControls = *letter == 'M';
    selection.recDistance = recDistanceOf(*letter, distance);
    // Device type 115 neither takes a mode command nor changes the unit labels here.
    if (deviceType != deviceType115) {
        selection.unitText = *letter == 'F' ? QStringLiteral("kV/m") : QStringLiteral("V");
        selection.modeCode = modeCodeOfLetter(*letter);
    }
    return selection;
}
