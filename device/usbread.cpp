#include "device/usbread.h"

#include <cstring>

#include "device/measurement_decoding.h"
#include "device/program_clock.h"
#include "state/main_form_data.h"

CAD_wandler& usbreadLink() {
    static CAD_wandler link;
    return link;
}

int readIdentity(QString& serialNumber, QString& softwareVersion, QString& deviceType) {
    unsigned char block[identityLength] = {};
    const int result = usbreadLink().controlIn(reg::readRequest, reg::identity,
                                               CAD_wandler::requestIndex, block, identityLength);
    if (result <= 0) {
        return result;
    }
    // A short answer leaves the zeros of the buffer in place of the missing bytes.
    decodeIdentity(block, serialNumber, softwareVersion, deviceType);
    return result;
}

int readMeasurement(double& value, int& rangeIndex, int& overrange, unsigned char& batteryOk,
                    int sampleCount) {
    CAD_wandler& link = usbreadLink();
    unsigned char buffer[sampleLength] = {};
    const int opened = link.openDevice();
    if (opened != 1) {
        return opened;
    }
    const int samples = sampleCount < 1 ? 1 : sampleCount;
    ProgramClock& clock = programClock();
    int result = 0;
    double sum = 0.0;
    for (int i = 0; i < samples; ++i) {
        // A failed sample keeps the previous sample's digits in the buffer and counts as that.
        result = link.controlIn(reg::readRequest, reg::measuredValue, CAD_wandler::requestIndex,
                                buffer, sampleLength);
        clock.sleepMs(50);
        normaliseSampleDigits(buffer);
        sum += sampleValue(buffer);
    }
    // The average passes through a 15-digit text, as the instrument's own read-out shows it.
    const double average = QString::number(sum / samples, 'g', 15).toDouble();

    buffer[0] = 0;
    if (result > 0) {
        result =
            link.controlIn(reg::readRequest, reg::status, CAD_wandler::requestIndex, buffer, 1);
    }
    const unsigned char status = buffer[0];
    value = (status & statusNegative) ? -average : average;
    overrange = (status & statusOverrange) ? 1 : 0;
    batteryOk = (status & statusBatteryLow) ? 0 : 1;

    buffer[0] = 0;
    if (result > 0) {
        result = link.controlIn(reg::readRequest, reg::range, CAD_wandler::requestIndex, buffer, 1);
    }
    rangeIndex = rangeIndexFromCode(buffer[0]);
    return result;
}

int setRange(unsigned int rangeIndex) {
    CAD_wandler& link = usbreadLink();
    int result = link.openDevice();
    if (result != 0) {
        unsigned char code = rangeCodeFromIndex(rangeIndex);
        result =
            link.controlOut(reg::writeRequest, reg::range, CAD_wandler::requestIndex, &code, 1);
        if (result > 0) {
            programClock().sleepMs(250);
            link.controlOut(reg::writeRequest, reg::range, CAD_wandler::requestIndex, &code, 1);
        }
    }
    // Recorded even when the instrument could not be reached.
    mainFormData().currentRange = static_cast<int>(rangeIndex);
    return result;
}

int setMode(unsigned char modeCode) {
    CAD_wandler& link = usbreadLink();
    if (link.openDevice() == 0) {
        return 0;
    }
    unsigned char code = modeCode;
    const int result =
        link.controlOut(reg::writeRequest, reg::mode, CAD_wandler::requestIndex, &code, 1);
    if (result > 0) {
        programClock().sleepMs(50);
    }
    link.controlOut(reg::writeRequest, reg::mode, CAD_wandler::requestIndex, &code, 1);
    return result;
}

int readMode(int& modeIndex, char& modeLetter) {
    CAD_wandler& link = usbreadLink();
    const int opened = link.openDevice();
    modeIndex = 99;
    if (opened == 0) {
        return 0;
    }
    unsigned char code = 99;
    const int result =
        link.controlIn(reg::readRequest, reg::mode, CAD_wandler::requestIndex, &code, 1);
    if (result > 0) {
        programClock().sleepMs(50);
    }
    link.controlIn(reg::readRequest, reg::mode, CAD_wandler::requestIndex, &code, 1);
    decodeModeCode(code, modeIndex, modeLetter);
    return result;
}

void readRangeAndBattery(int& rangeIndex, unsigned char& batteryOk) {
    double value = 0.0;
    int overrange = 0;
    readMeasurement(value, rangeIndex, overrange, batteryOk, 1);
}

double counterFrequency() {
    const double frequency = programClock().counterFrequency();
    return frequency > 0 ? frequency : -1.0;
}

double counterSeconds() {
    ProgramClock& clock = programClock();
    const double frequency = clock.counterFrequency();
    const double ticks = clock.counterTicks();
    if (frequency <= 0 || ticks < 0) {
        return -1.0;
    }
    return ticks / frequency;
}
