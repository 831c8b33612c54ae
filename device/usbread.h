#pragma once

#include <QString>

#include "device/cad_wandler.h"

// The instrument's command set. Every operation that talks to the instrument
// (except readIdentity) reopens it first, so a replugged instrument is found again.

// Identity block; the caller opens the device first. Texts are set only on success.
int readIdentity(QString& serialNumber, QString& softwareVersion, QString& deviceType);

// Averages n samples and reads status and range. Outputs are untouched when opening fails.
int readMeasurement(double& value, int& rangeIndex, int& overrange, unsigned char& batteryOk,
                    int sampleCount);

// Sends range index 0..4 (twice, 250 ms apart) and records it as the current range.
int setRange(unsigned int rangeIndex);

// Sends mode code 0, 1 or 2 twice, 50 ms apart.
int setMode(unsigned char modeCode);

// Reads the mode twice, 50 ms apart, and decodes the second answer.
int readMode(int& modeIndex, char& modeLetter);

// One reading that keeps only range index and battery state.
void readRangeAndBattery(int& rangeIndex, unsigned char& batteryOk);

// The high-resolution counter: ticks per second, and the reading in seconds; -1 on failure.
double counterFrequency();
double counterSeconds();

// The unit's own link object, through which every request of the command set goes.
CAD_wandler& usbreadLink();
