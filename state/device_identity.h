#pragma once

#include <QString>

// The instrument's identity as "Device info" last read it: three texts cut from the identity
// block, kept as read. Record saving and chart recording take the instrument's identity from
// here.
struct DeviceIdentity {
    QString serialNumber;     // 8 characters
    QString softwareVersion;  // 3 characters
    QString deviceType;       // 3 decimal digits
};

// The device type as the main window shows it: "Zalvo " followed by the device-type text.
inline QString deviceTypeCaption(const QString& deviceTypeText) {
    return QStringLiteral("Zalvo ") + deviceTypeText;
}
