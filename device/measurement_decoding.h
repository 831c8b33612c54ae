#pragma once

#include <QString>

// Pure decoding of what the instrument sends; no I/O, so any byte value is safe here.

// Request and register numbers of the instrument's command set.
namespace reg {
constexpr int readRequest = 5;
constexpr int writeRequest = 2;
constexpr int measuredValue = 0;
constexpr int status = 1;
constexpr int range = 2;
constexpr int identity = 10;
constexpr int adjustCommand = 0x30;
constexpr int adjustStatus = 0x31;
constexpr int mode = 0x35;
}  // namespace reg

constexpr int identityLength = 15;
constexpr int sampleLength = 4;

// Turns every byte that is not an ASCII digit into '0', in place, as the value decoding does.
void normaliseSampleDigits(unsigned char sample[sampleLength]);
// The four digits with the byte received last as the most significant: 0 to 9999.
int sampleValue(const unsigned char sample[sampleLength]);

// Reads a text of hexadecimal digit pairs as character codes; a trailing single digit is ignored
// and a pair that is not two hexadecimal digits gives the character 0.
QString hexToText(const QString& hexText);

// Range code 0x10..0x50 to range index 0..4; any other byte stays its own value.
int rangeIndexFromCode(unsigned char code);
// Range index 0..4 to the code sent to the instrument.
unsigned char rangeCodeFromIndex(unsigned int index);

// Mode code of register 0x35 to mode index and letter ('F', 'V', '4', 'C'; 99 and 'E' otherwise).
void decodeModeCode(unsigned char code, int& modeIndex, char& modeLetter);

// Status bits.
constexpr unsigned char statusOverrange = 0x01;
constexpr unsigned char statusNegative = 0x10;
constexpr unsigned char statusBatteryLow = 0x80;

// The identity block cut into its three texts: bytes 0-7, 8-10 and 12-14, each byte one character.
void decodeIdentity(const unsigned char block[identityLength], QString& serialNumber,
                    QString& softwareVersion, QString& deviceType);
