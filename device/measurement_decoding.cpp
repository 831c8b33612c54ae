#include "device/measurement_decoding.h"

#include "measure/hex_digit.h"

void normaliseSampleDigits(unsigned char sample[sampleLength]) {
    for (int i = 0; i < sampleLength; ++i) {
        if (sample[i] < '0' || sample[i] > '9') {
            sample[i] = '0';
        }
    }
}

int sampleValue(const unsigned char sample[sampleLength]) {
    // The instrument sends the least significant digit first.
    QString hexText;
    for (int i = sampleLength - 1; i >= 0; --i) {
        hexText += QString::asprintf("%02X", sample[i]);
    }
    const QString digits = hexToText(hexText);
    bool ok = false;
    const int value = digits.toInt(&ok);
    return ok ? value : 0;
}

QString hexToText(const QString& hexText) {
    QString text;
    const qsizetype pairs = hexText.size() / 2;
    for (qsizetype i = 0; i < pairs; ++i) {
        // Only two hex digits make a code: a number parser would also take a sign or blanks,
        // and "-1" would become U+FFFF.
        const int high = hexDigitValue(hexText.at(2 * i));
        const int low = hexDigitValue(hexText.at(2 * i + 1));
        text += QChar(high >= 0 && low >= 0 ? 16 * high + low : 0);
    }
    return text;
}

int rangeIndexFromCode(unsigned char code) {
    switch (code) {
        case 0x10:
            return 0;
        case 0x20:
            return 1;
        case 0x30:
            return 2;
        case 0x40:
            return 3;
        case 0x50:
            return 4;
        default:
            return code;
    }
}

unsigned char rangeCodeFromIndex(unsigned int index) {
    return static_cast<unsigned char>(0x10 * ((index % 16) + 1));
}

void decodeModeCode(unsigned char code, int& modeIndex, char& modeLetter) {
    switch (code) {
        case 0:
            modeIndex = 0;
            modeLetter = 'F';
            break;
        case 1:
            modeIndex = 1;
            modeLetter = 'V';
            break;
        case 2:
            modeIndex = 2;
            modeLetter = '4';
            break;
        case 0x10:
            modeIndex = 3;
            modeLetter = 'C';
            break;
        default:
            modeIndex = 99;
            modeLetter = 'E';
            break;
    }
}

void decodeIdentity(const unsigned char block[identityLength], QString& serialNumber,
                    QString& softwareVersion, QString& deviceType) {
    serialNumber.clear();
    softwareVersion.clear();
    deviceType.clear();
    for (int i = 0; i < identityLength; ++i) {
        const QChar c(static_cast<char16_t>(block[i]));
        if (i < 8) {
            serialNumber += c;
        } else if (i < 11) {
            softwareVersion += c;
        } else if (i > 11) {
            deviceType += c;
        }
    }
}
