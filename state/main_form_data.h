#pragma once

#include <QString>

#include "measure/range_tables.h"
#include "state/device_identity.h"

// The program-wide data that the main window keeps on behalf of every window.
// The main window is one of these; without it (command-line use, tests) a plain
// instance stands in.
struct MainFormData : RangeTables {
    int deviceType = 0;
    int currentRange = 0;
    int displayDepiction = 0;
    int limit = 50;
    int samplingTimeDisplay = 200;
    int samplingTimeChart = 200;
    int storedSamplingTimeChart = 200;
    QString dataDirectory;
    QString versionCaption;
    // Set by "Device info" together with the identity panel's labels.
    DeviceIdentity deviceIdentity;

    MainFormData() { fillRangeTables(); }
    virtual ~MainFormData() = default;
};

// The data in use: the main window once it exists, a default instance before. The one way
// every layer reaches the program-wide data.
MainFormData& mainFormData();
// Installs the data (not owned); nullptr returns to the default instance.
void setMainFormData(MainFormData* data);
