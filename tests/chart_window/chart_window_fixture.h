#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <cstddef>
#include <functional>
#include <vector>

#include "device/measurement_decoding.h"
#include "plot/chart_widget.h"
#include "settings/settings_file_path.h"
#include "tests/windows/window_fixture.h"
#include "ui/radio_group.h"

// One moment of a recording: a transfer as the instrument saw it and the chart right then.
struct Moment {
    TransferRecord transfer;
    std::size_t points = 0;
    double axisMinimum = 0.0;
    double axisMaximum = 0.0;
};

// The chart window on a simulated instrument of one device type. SETUP.INI is removed before
// and after each test, so every test starts from the defaults.
template <int Type>
class ChartWindowTest : public WindowTestOf<Type> {
protected:
    using Base = WindowTestOf<Type>;

    void SetUp() override {
        removeSettingsFile();
        Base::SetUp();
    }

    void TearDown() override {
        this->sim.setTransferObserver(nullptr);
        Base::TearDown();
        removeSettingsFile();
    }

    static void removeSettingsFile() {
        const QString path = settingsFilePath();
        QFile::remove(path);
        QDir(path).removeRecursively();
    }

    // "Device info", "&Continue", then "Start measurement chart".
    void prepare() {
        this->identify();
        this->main->Button_Start_ChartClick();
        this->sim.clearTransfers();
    }

    // The operator's action, run when the window next lets events run.
    void operatorDoes(std::function<void()> action) {
        QMetaObject::invokeMethod(this->chart.get(), std::move(action), Qt::QueuedConnection);
    }

    // Presses Start and records until the loop ends. atReading(n) runs at the n-th value
    // reading (1 is Start's first reading), inside the transfer. A recording still running
    // after `limit` readings is broken off and fails the test.
    void record(const std::function<void(int)>& atReading = nullptr, int limit = 200) {
        int readings = 0;
        moments.clear();
        this->sim.setTransferObserver([&](const TransferRecord& transfer) {
            ChartWidget* chart = this->chart->Chart1;
            moments.push_back(Moment{transfer, chart->pointCount(), chart->valueAxisMinimum(),
                                     chart->valueAxisMaximum()});
            if (!transfer.in || transfer.value != reg::measuredValue) {
                return;
            }
            ++readings;
            if (readings == limit) {
                ADD_FAILURE() << "the recording did not end";
                this->chart->breakRequested = true;
            }
            if (atReading) {
                atReading(readings);
            }
        });
        struct ObserverReset {
            InstrumentSimulator& sim;
            ~ObserverReset() { sim.setTransferObserver(nullptr); }
        } observerReset{this->sim};
        this->chart->BitBtn_StartClick();
    }

    // Records until the operator presses Break after `readings` value readings.
    void recordUntilBreakAt(int readings) {
        record([this, readings](int n) {
            if (n == readings) {
                operatorDoes([this] { this->chart->BitBtn_BreakClick(); });
            }
        });
    }

    // The moments at which the instrument was read, in order.
    std::vector<Moment> readingMoments() const {
        std::vector<Moment> result;
        for (const Moment& moment : moments) {
            if (moment.transfer.in && moment.transfer.value == reg::measuredValue) {
                result.push_back(moment);
            }
        }
        return result;
    }

    // Bytes written to a register, one per write, in order.
    std::vector<int> writesTo(int reg) const {
        std::vector<int> codes;
        for (const TransferRecord& transfer : this->sim.transfers()) {
            if (!transfer.in && transfer.value == reg && !transfer.data.isEmpty()) {
                codes.push_back(static_cast<unsigned char>(transfer.data.at(0)));
            }
        }
        return codes;
    }

    int readsOf(int reg) const {
        int count = 0;
        for (const TransferRecord& transfer : this->sim.transfers()) {
            count += transfer.in && transfer.value == reg ? 1 : 0;
        }
        return count;
    }

    std::vector<double> pointXs() const {
        std::vector<double> xs;
        for (std::size_t i = 0; i < this->chart->Chart1->pointCount(); ++i) {
            xs.push_back(this->chart->Chart1->pointAt(i).x);
        }
        return xs;
    }

    std::vector<Moment> moments;
};

// Expected number texts are written with "."; this puts in the locale's separator.
inline QString localNumber(const char* text) {
    return QString::fromLatin1(text).replace(QLatin1Char('.'), QLocale().decimalPoint());
}
