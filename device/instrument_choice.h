#pragma once

#include <QString>

// The serial number as the identity carries it, without the blanks that pad it to 8 places.
QString trimmedSerial(const QString& serialNumber);

// Makes the device link open only the instrument whose identity carries `serialNumber`, among
// all instruments on the bus; an empty one restores the first instrument found.
void chooseInstrumentBySerial(const QString& serialNumber);
