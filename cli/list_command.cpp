#include "cli/list_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "device/cad_wandler.h"
#include "device/instrument_choice.h"
#include "device/program_clock.h"
#include "device/usbread.h"

namespace {

QString location(const ListedInstrument& instrument) {
    return instrument.bus == 0
               ? QStringLiteral("simulated")
               : QStringLiteral("bus %1, address %2").arg(instrument.bus).arg(instrument.address);
}

QJsonObject jsonOf(const ListedInstrument& instrument) {
    QJsonObject object{{QStringLiteral("bus"), instrument.bus},
                       {QStringLiteral("address"), instrument.address}};
    if (!instrument.problem.isEmpty()) {
        object.insert(QStringLiteral("problem"), instrument.problem);
        return object;
    }
    object.insert(QStringLiteral("serialNumber"), instrument.identity.serialNumber);
    object.insert(QStringLiteral("softwareVersion"), instrument.identity.softwareVersion);
    object.insert(QStringLiteral("deviceType"), instrument.identity.deviceType);
    if (instrument.hasBattery) {
        object.insert(QStringLiteral("batteryOk"), instrument.batteryOk);
    }
    return object;
}

QString textOf(const ListedInstrument& instrument) {
    QString line = location(instrument) + QStringLiteral(": ");
    if (!instrument.problem.isEmpty()) {
        return line + instrument.problem;
    }
    line += QStringLiteral("serial number %1, software version %2, device type %3")
                .arg(printableText(instrument.identity.serialNumber),
                     printableText(instrument.identity.softwareVersion),
                     printableText(instrument.identity.deviceType));
    if (instrument.hasBattery) {
        line +=
            instrument.batteryOk ? QStringLiteral(", battery OK") : QStringLiteral(", battery low");
    }
    return line;
}

}  // namespace

std::vector<ListedInstrument> listInstruments(const InstrumentConnection& connection) {
    std::vector<ListedInstrument> instruments;
    UsbBackend* backend = CAD_wandler::backend();
    for (int position = 0;
         backend && backend->findDevice(CAD_wandler::vendorId, CAD_wandler::productId, position);
         ++position) {
        ListedInstrument instrument;
        std::tie(instrument.bus, instrument.address) = backend->foundBusAddress();
        // The battery reading opens the link again; it is to find this instrument first.
        CAD_wandler::setDeviceChoice([position](int at) { return at == position; }, position);
        if (CAD_wandler::openAt(position) != 1) {
            instrument.problem = connection.noConnectionMessage();
        } else if (readIdentity(instrument.identity.serialNumber,
                                instrument.identity.softwareVersion,
                                instrument.identity.deviceType) <= 0) {
            instrument.problem = QStringLiteral("opened, but it sends no identity");
        } else {
            const int result = readBatteryState(deviceTypeNumber(instrument.identity),
                                                instrument.hasBattery, instrument.batteryOk);
            if (result <= 0) {
                instrument.problem =
                    QStringLiteral("opened, but the reading failed: error no = %1").arg(result);
            }
        }
        CAD_wandler::closeDevice();
        instruments.push_back(instrument);
    }
    CAD_wandler::setDeviceChoice({});
    return instruments;
}

QString instrumentsSummary(const std::vector<ListedInstrument>& instruments) {
    QStringList items;
    for (const ListedInstrument& instrument : instruments) {
        const QString what = instrument.problem.isEmpty()
                                 ? printableText(trimmedSerial(instrument.identity.serialNumber))
                                 : QStringLiteral("an instrument that cannot be opened");
        items << QStringLiteral("%1 (%2)").arg(what, location(instrument));
    }
    return items.isEmpty() ? QStringLiteral("no instrument") : items.join(QStringLiteral(", "));
}

int runList(const CliOptions& options, const InstrumentConnection& connection) {
    const std::vector<ListedInstrument> instruments = listInstruments(connection);
    for (const ListedInstrument& instrument : instruments) {
        printLine(options.json
                      ? QString::fromUtf8(
                            QJsonDocument(jsonOf(instrument)).toJson(QJsonDocument::Compact))
                      : textOf(instrument));
    }
    if (instruments.empty()) {
        printMessage(QStringLiteral("no instrument on the bus"));
        return exitCode::noInstrument;
    }
    return exitCode::ok;
}

bool chooseSerial(const QString& serialNumber, const InstrumentConnection& connection) {
    // Another logger starting at the same moment may hold an instrument for the instant of
    // reading its identity; a listing with an instrument that could not be read is tried again.
    constexpr int attempts = 5;
    constexpr int pauseMs = 300;
    std::vector<ListedInstrument> instruments;
    for (int attempt = 1;; ++attempt) {
        instruments = listInstruments(connection);
        for (const ListedInstrument& instrument : instruments) {
            if (instrument.problem.isEmpty() &&
                trimmedSerial(instrument.identity.serialNumber) == serialNumber) {
                chooseInstrumentBySerial(serialNumber);
                return true;
            }
        }
        const bool unread =
            instruments.empty() ||
            std::any_of(instruments.begin(), instruments.end(),
                        [](const ListedInstrument& i) { return !i.problem.isEmpty(); });
        if (!unread || attempt == attempts) {
            break;
        }
        programClock().sleepMs(pauseMs);
    }
    printMessage(QStringLiteral("no instrument with serial number %1; on the bus: %2")
                     .arg(printableText(serialNumber), instrumentsSummary(instruments)));
    return false;
}
