#pragma once

#include <QString>

// The instrument's identity: three texts cut from the identity block, kept as read. The
// windows keep the one "Device info" last read; the command line, the one of the instrument
// it talks to.
struct DeviceIdentity {
    QString serialNumber;     // 8 characters
    QString softwareVersion;  // 3 characters
    QString deviceType;       // 3 decimal digits
};

// The device-type text as a number; 0, which is no device type, when it is none.
inline int deviceTypeNumber(const DeviceIdentity& identity) {
    return identity.deviceType.toInt();
}

// The device type as the main window shows it: "Zalvo " followed by the device-type text.
inline QString deviceTypeCaption(const QString& deviceTypeText) {
    return QStringLiteral("Zalvo ") + deviceTypeText;
}
