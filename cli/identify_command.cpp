#include "cli/identify_command.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "device/usbread.h"
#include "measure/device_modes.h"

int runIdentify(const CliOptions& options, const InstrumentConnection& connection) {
    InstrumentIdentity identity;
    if (!openAndIdentify(identity)) {
        printMessage(connection.noConnectionMessage());
        return exitCode::noInstrument;
    }
    bool hasBattery = false;
    bool batteryOk = true;
    const int result = readBatteryState(identity, hasBattery, batteryOk);
    if (result <= 0) {
        printMessage(QStringLiteral("No connection to the USB device! Error no = %1").arg(result));
        return exitCode::instrumentLost;
    }

    if (options.json) {
        QJsonObject object{{QStringLiteral("serialNumber"), identity.serialNumber},
                           {QStringLiteral("softwareVersion"), identity.softwareVersion},
                           {QStringLiteral("deviceType"), identity.deviceTypeText}};
        if (hasBattery) {
            object.insert(QStringLiteral("batteryOk"), batteryOk);
        }
        printLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    } else {
        printLine(QStringLiteral("Serial number:    ") + printableText(identity.serialNumber));
        printLine(QStringLiteral("Software version: ") + printableText(identity.softwareVersion));
        printLine(QStringLiteral("Device type:      ") + printableText(identity.deviceTypeText));
        if (hasBattery) {
            printLine(QStringLiteral("Battery:          ") +
                      (batteryOk ? QStringLiteral("OK") : QStringLiteral("Low")));
        }
    }
    return exitCode::ok;
}
