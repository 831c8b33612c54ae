#include "cli/instrument_connection.h"

#include "device/cad_wandler.h"
#include "device/instrument_simulator.h"
#include "device/libusb_backend.h"
#include "device/scenario_file.h"
#include "device/usbread.h"
#include "measure/device_modes.h"

InstrumentConnection::~InstrumentConnection() {
    if (backend && CAD_wandler::backend() == backend.get()) {
        CAD_wandler::setBackend(nullptr);
    }
}

bool InstrumentConnection::start(const CliOptions& options, QString& error) {
    if (options.simulatedType == 0 && options.scenarioFile.isEmpty()) {
        auto usb = std::make_unique<LibusbBackend>();
        libusb = usb.get();
        backend = std::move(usb);
    } else {
        auto simulator = std::make_unique<InstrumentSimulator>(
            options.simulatedType != 0 ? options.simulatedType : deviceType235);
        if (!options.scenarioFile.isEmpty() &&
            !applyScenarioFile(options.scenarioFile, *simulator, error)) {
            return false;
        }
        // A simulated instrument is the one asked for, so that simulated loggers differ.
        if (!options.serialNumber.isEmpty()) {
            simulator->setSerialNumber(options.serialNumber);
        }
        backend = std::move(simulator);
    }
    CAD_wandler::setBackend(backend.get());
    return true;
}

QString InstrumentConnection::noConnectionMessage() const {
    QString message = QStringLiteral("No connection to the USB device!");
    if (!libusb) {
        return message;
    }
    const std::string problem = describeOpenProblem(libusb->lastOpenProblem());
    return problem.empty() ? message
                           : message + QStringLiteral(" (%1)").arg(QString::fromStdString(problem));
}

bool openAndIdentify(InstrumentIdentity& identity) {
    if (usbreadLink().openDevice() <= 0) {
        return false;
    }
    if (readIdentity(identity.serialNumber, identity.softwareVersion, identity.deviceTypeText) <=
        0) {
        return false;
    }
    bool ok = false;
    identity.deviceType = identity.deviceTypeText.toInt(&ok);
    if (!ok) {
        identity.deviceType = 0;
    }
    return true;
}

int readBatteryState(const InstrumentIdentity& identity, bool& hasBattery, bool& batteryOk) {
    hasBattery = identity.deviceType != deviceType115;
    batteryOk = true;
    if (!hasBattery) {
        return 1;
    }
    double value = 0.0;
    int rangeIndex = 0;
    int overrange = 0;
    unsigned char battery = 1;
    const int result = readMeasurement(value, rangeIndex, overrange, battery, 1);
    batteryOk = battery != 0;
    return result;
}

bool isKnownDeviceType(int deviceType) {
    return !modeItems(deviceType).isEmpty();
}
