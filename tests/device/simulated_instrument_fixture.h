#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/main_form_data.h"
#include "device/cad_wandler.h"
#include "device/instrument_simulator.h"
#include "device/program_clock.h"

// A simulated instrument on simulated time, installed as the device link's backend.
class SimulatedInstrument : public ::testing::Test {
protected:
    SimulatedInstrument() { sim.keepTransferLog(true); }

    void SetUp() override {
        setProgramClock(&clock);
        CAD_wandler::setBackend(&sim);
        setMainFormData(&data);
    }
    void TearDown() override {
        CAD_wandler::setBackend(nullptr);
        setProgramClock(nullptr);
        setMainFormData(nullptr);
    }

    // The transfers of the log without the bus handling around them.
    std::vector<TransferRecord> transfers() const { return sim.transfers(); }

    SimulatedClock clock;
    InstrumentSimulator sim{235};
    MainFormData data;
};
