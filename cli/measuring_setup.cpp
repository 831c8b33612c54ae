#include "cli/measuring_setup.h"

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/mode_choice.h"
#include "measure/range_items.h"
#include "state/main_form_data.h"

int identifyKnownInstrument(const InstrumentConnection& connection, DeviceIdentity& identity) {
    if (!openAndIdentify(identity)) {
        printMessage(connection.noConnectionMessage());
        return exitCode::noInstrument;
    }
    if (!isKnownDeviceType(deviceTypeNumber(identity))) {
        printMessage(QStringLiteral("the instrument reports device type '%1', which this program "
                                    "does not know")
                         .arg(printableText(identity.deviceType)));
        return exitCode::noInstrument;
    }
    return exitCode::ok;
}

int prepareMeasuring(const CliOptions& options, const InstrumentConnection& connection,
                     WindowKind kind, MeasuringSetup& setup) {
    const int identified = identifyKnownInstrument(connection, setup.identity);
    if (identified != exitCode::ok) {
        return identified;
    }
    const int deviceType = deviceTypeNumber(setup.identity);
    setup.deviceType = deviceType;
    MainFormData& data = mainFormData();
    data.deviceType = deviceType;
    data.currentRange = options.rangeIndex;

    QString error;
    if (!chooseMode(deviceType, options.modeLetter, setup.modeLetter, error)) {
        printMessage(error);
        return exitCode::usage;
    }
    setup.rangeItems = rangeItemTexts(data, kind, deviceType, setup.modeLetter, options.distanceMm);
    return exitCode::ok;
}

int reportLostInstrument(int result) {
    printMessage(QStringLiteral("No connection to the USB device! Error no = %1").arg(result));
    return exitCode::instrumentLost;
}
