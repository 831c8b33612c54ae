#include "device/instrument_choice.h"

#include "device/cad_wandler.h"
#include "device/usbread.h"

QString trimmedSerial(const QString& serialNumber) {
    return serialNumber.trimmed();
}

void chooseInstrumentBySerial(const QString& serialNumber) {
    if (serialNumber.isEmpty()) {
        CAD_wandler::setDeviceChoice({});
        return;
    }
    const QString wanted = trimmedSerial(serialNumber);
    CAD_wandler::setDeviceChoice([wanted](int) {
        QString serial, version, type;
        return readIdentity(serial, version, type) > 0 && trimmedSerial(serial) == wanted;
    });
}
