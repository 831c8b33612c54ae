#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <functional>

#include "device/measurement_decoding.h"
#include "display/form_display.h"
#include "settings/settings_file_path.h"
#include "tests/measure/locale_scope.h"
#include "tests/windows/window_fixture.h"

// The test process's SETUP.INI, as a file or a directory standing in its way.
inline void removeSettingsFile() {
    const QString path = settingsFilePath();
    if (QFileInfo(path).isDir()) {
        QDir(path).removeRecursively();
    } else {
        QFile::remove(path);
    }
}

// The display window on the simulated instrument, under a decimal point, with no SETUP.INI
// (the windows read it at construction and Save Data writes it).
template <int Type>
class DisplayTestOf : public WindowTestOf<Type> {
protected:
    void SetUp() override {
        removeSettingsFile();
        WindowTestOf<Type>::SetUp();
    }

    void TearDown() override {
        this->sim.setTransferObserver(nullptr);
        WindowTestOf<Type>::TearDown();
        removeSettingsFile();
    }

    // Device info, Continue, Start measurement display; the transfer log starts afterwards.
    void prepare() {
        this->identify();
        this->main->Button_Start_DisplayClick();
        this->sim.clearTransfers();
    }

    // Presses Start and returns when the loop has ended. atRead runs after every reading of
    // the value register with its number: 1 is the reading before the first cycle, so without
    // forced ranges reading n belongs to cycle n - 1. Break is pressed after reading
    // breakAtRead; should the loop run on regardless, Break is pressed after 300 readings and
    // the test fails.
    void runMeasuring(int breakAtRead, std::function<void(int)> atRead = {}) {
        valueReads = 0;
        bool runaway = false;
        this->sim.setTransferObserver([&, breakAtRead](const TransferRecord& transfer) {
            if (!transfer.in || transfer.value != reg::measuredValue) {
                return;
            }
            ++valueReads;
            if (atRead) {
                atRead(valueReads);
            }
            if (valueReads == breakAtRead) {
                this->display->BitBtn_breakClick();
            }
            if (valueReads > 300) {
                runaway = true;
                this->display->BitBtn_breakClick();
            }
        });
        this->display->BitBtn_startClick();
        this->sim.setTransferObserver(nullptr);
        EXPECT_FALSE(runaway) << "the loop did not end at Break";
    }

    // Runs a call as a posted event, as an operator's click reaches the running loop.
    void post(std::function<void()> action) {
        QMetaObject::invokeMethod(this->display.get(), std::move(action), Qt::QueuedConnection);
    }

    // Range codes written to the instrument, from the given position of the transfer log on.
    std::vector<int> rangeWrites(std::size_t from = 0) const {
        std::vector<int> codes;
        const auto& log = this->sim.transfers();
        for (std::size_t i = from; i < log.size(); ++i) {
            if (!log[i].in && log[i].value == reg::range && !log[i].data.isEmpty()) {
                codes.push_back(static_cast<unsigned char>(log[i].data[0]));
            }
        }
        return codes;
    }

    std::vector<int> modeWrites() const {
        std::vector<int> codes;
        for (const TransferRecord& transfer : this->sim.transfers()) {
            if (!transfer.in && transfer.value == reg::mode && !transfer.data.isEmpty()) {
                codes.push_back(static_cast<unsigned char>(transfer.data[0]));
            }
        }
        return codes;
    }

    LocaleScope decimalPoint{pointLocale};
    int valueReads = 0;
};
