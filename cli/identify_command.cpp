#include "cli/identify_command.h"

#include <QJsonObject>

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/measuring_setup.h"
#include "device/usbread.h"
#include "measure/device_modes.h"

int runIdentify(const CliOptions& options, const InstrumentConnection& connection) {
    DeviceIdentity identity;
    // An unknown device type is no instrument of this program: its battery is not asked either.
    const int identified = identifyKnownInstrument(connection, identity);
    if (identified != exitCode::ok) {
        return identified;
    }
    bool hasBattery = false;
    bool batteryOk = true;
    const int result = readBatteryState(deviceTypeNumber(identity), hasBattery, batteryOk);
    if (result <= 0) {
        printMessage(QStringLiteral("No connection to the USB device! Error no = %1").arg(result));
        return exitCode::instrumentLost;
    }

    if (options.json) {
        QJsonObject object{{QStringLiteral("serialNumber"), identity.serialNumber},
                           {QStringLiteral("softwareVersion"), identity.softwareVersion},
                           {QStringLiteral("deviceType"), identity.deviceType}};
        if (hasBattery) {
            object.insert(QStringLiteral("batteryOk"), batteryOk);
        }
        printLine(jsonLine(object));
    } else {
        printLine(QStringLiteral("Serial number:    ") + printableText(identity.serialNumber));
        printLine(QStringLiteral("Software version: ") + printableText(identity.softwareVersion));
        printLine(QStringLiteral("Device type:      ") + printableText(identity.deviceType));
        if (hasBattery) {
            printLine(QStringLiteral("Battery:          ") +
                      (batteryOk ? QStringLiteral("OK") : QStringLiteral("Low")));
        }
    }
    return exitCode::ok;
}
