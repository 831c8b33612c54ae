#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "app/main_window.h"
#include "app/process_exit.h"
#include "app/windows.h"
#include "chart/form_chart.h"
#include "device/cad_wandler.h"
#include "device/form_read_usb.h"
#include "device/instrument_simulator.h"
#include "display/form_display.h"
#include "settings/form_setup.h"
#include "tests/support/recording_alarm_sound.h"
#include "tests/support/scripted_operator_dialogs.h"
#include "tests/support/simulated_clock_scope.h"

// The program ended the process (by the test's handler instead of for real).
struct ProgramTerminated {
    int exitCode;
};

// All five windows on a simulated instrument, simulated time and scripted dialogs.
class WindowTest : public ::testing::Test {
protected:
    explicit WindowTest(int deviceType = 235) : sim(deviceType) { sim.keepTransferLog(true); }

    void SetUp() override {
        CAD_wandler::setBackend(&sim);
        setTerminateHandler([](int code) { throw ProgramTerminated{code}; });
        main = std::make_unique<TMainForm>();
        readUsb = std::make_unique<TFormReadUSB>();
        display = std::make_unique<TFormDisplay>();
        chart = std::make_unique<TFormChart>();
        setup = std::make_unique<TForm_Setup>();
        MainForm = main.get();
        FormReadUSB = readUsb.get();
        FormDisplay = display.get();
        FormChart = chart.get();
        Form_Setup = setup.get();
    }

    void TearDown() override {
        Form_Setup = nullptr;
        FormChart = nullptr;
        FormDisplay = nullptr;
        FormReadUSB = nullptr;
        MainForm = nullptr;
        setup.reset();
        chart.reset();
        display.reset();
        readUsb.reset();
        main.reset();
        setTerminateHandler(nullptr);
        CAD_wandler::setBackend(nullptr);
    }

    // "Device info" then "&Continue", as the operator starts every session.
    void identify() {
        main->Button_Device_infoClick();
        main->Button_Info_OKClick();
        sim.clearTransfers();
    }

    int exitCodeOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const ProgramTerminated& terminated) {
            return terminated.exitCode;
        }
        return 1000;  // did not end the program
    }

    SimulatedClockScope time;
    ScriptedOperatorDialogs dialogs;
    RecordingAlarmSound sound;
    InstrumentSimulator sim;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TFormReadUSB> readUsb;
    std::unique_ptr<TFormDisplay> display;
    std::unique_ptr<TFormChart> chart;
    std::unique_ptr<TForm_Setup> setup;
};

template <int Type>
class WindowTestOf : public WindowTest {
protected:
    WindowTestOf() : WindowTest(Type) {}
};
