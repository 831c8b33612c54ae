#include "cli/instrument_connection.h"

#include "device/cad_wandler.h"
#include "device/instrument_simulator.h"
#include "device/libusb_backend.h"
#include "device/usbread.h"
#include "measure/device_modes.h"

InstrumentConnection::~InstrumentConnection() {
    if (backend && CAD_wandler::backend() == backend.get()) {
        CAD_wandler::setBackend(nullptr);
    }
}

bool InstrumentConnection::start(const CliOptions& options, QString& error) {
    if (!options.simulator.wanted()) {
        auto usb = std::make_unique<LibusbBackend>();
        libusb = usb.get();
        backend = std::move(usb);
    } else {
        backend = makeSimulator(options.simulator, error);
        if (!backend) {
            return false;
        }
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

bool openAndIdentify(DeviceIdentity& identity) {
    return usbreadLink().openDevice() > 0 &&
           readIdentity(identity.serialNumber, identity.softwareVersion, identity.deviceType) > 0;
}

int readBatteryState(int deviceType, bool& hasBattery, bool& batteryOk) {
    hasBattery = deviceType != deviceType115;
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
