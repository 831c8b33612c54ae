#include "cli/mode_choice.h"

#include "device/usbread.h"
#include "measure/device_modes.h"

namespace {

// The mode item that stands for a letter; -1 when the device type has none.
int modeItemOf(int deviceType, char modeLetter) {
    const int items = static_cast<int>(modeItems(deviceType).size());
    for (int item = 0; item < items; ++item) {
        if (modeLetterOfItem(deviceType, item) == modeLetter) {
            return item;
        }
    }
    return -1;
}

}  // namespace

bool chooseMode(int deviceType, std::optional<char> asked, char& modeLetter, QString& error) {
    if (!asked) {
        modeLetter = 'F';
        if (deviceType != deviceType115) {
            int modeIndex = 0;
            readMode(modeIndex, modeLetter);
        }
        return true;
    }
    const int item = modeItemOf(deviceType, *asked);
    if (item < 0) {
        error = QStringLiteral("device type %1 has no mode %2")
                    .arg(deviceType)
                    .arg(QLatin1Char(*asked));
        return false;
    }
    modeLetter = *asked;
    sendMode(deviceType, modeLetter);
    return true;
}

void sendMode(int deviceType, char modeLetter) {
    const int item = modeItemOf(deviceType, modeLetter);
    if (item < 0) {
        return;
    }
    if (const std::optional<unsigned char> code = selectMode(deviceType, item, 0).modeCode) {
        setMode(*code);
    }
}

QString distanceOfMode(int deviceType, char modeLetter, int distanceMm) {
    const int item = modeItemOf(deviceType, modeLetter);
    if (item < 0) {
        return QString();
    }
    return selectMode(deviceType, item, distanceMm).recDistance;
}
