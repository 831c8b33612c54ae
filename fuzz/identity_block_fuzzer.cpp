#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/cad_wandler.h"
#include "device/instrument_simulator.h"
#include "device/measurement_decoding.h"
#include "device/program_clock.h"
#include "device/usbread.h"
#include "fuzz/fuzz_check.h"

namespace {

void checkTexts(const unsigned char block[identityLength], const QString& serial,
                const QString& version, const QString& type) {
    check(serial.size() == 8 && version.size() == 3 && type.size() == 3,
          "the identity texts have 8, 3 and 3 characters");
    for (int i = 0; i < 8; ++i) {
        check(serial.at(i).unicode() == block[i], "serial character i is byte i");
    }
    for (int i = 0; i < 3; ++i) {
        check(version.at(i).unicode() == block[8 + i], "version character i is byte 8 + i");
        check(type.at(i).unicode() == block[12 + i], "type character i is byte 12 + i");
    }
}

}  // namespace

// Input: the 15-byte identity block (a shorter input is padded with zeros), then optionally the
// number of bytes the instrument's answer moves. The block is decoded directly and read through
// the link from the simulator.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned char block[identityLength] = {};
    std::memcpy(block, data, std::min<std::size_t>(size, identityLength));
    QString serial, version, type;
    decodeIdentity(block, serial, version, type);
    checkTexts(block, serial, version, type);

    static SimulatedClock clock;
    setProgramClock(&clock);
    InstrumentSimulator simulator;
    simulator.setIdentityBlock(QByteArray(reinterpret_cast<const char*>(block), identityLength));
    int moved = identityLength;
    if (size > identityLength) {
        moved = data[identityLength] % (identityLength + 1);
        simulator.shortRegister(reg::identity, 1, moved);
    }
    CAD_wandler::setBackend(&simulator);
    check(usbreadLink().openDevice() == 1, "the simulator opens");
    const QString untouched = QStringLiteral("untouched");
    QString readSerial = untouched, readVersion = untouched, readType = untouched;
    const int result = readIdentity(readSerial, readVersion, readType);
    CAD_wandler::setBackend(nullptr);

    check(result == moved, "readIdentity returns the bytes moved");
    if (moved == 0) {
        check(readSerial == untouched && readVersion == untouched && readType == untouched,
              "an empty answer sets no text");
        return 0;
    }
    // A short answer leaves zeros in place of the missing bytes.
    std::memset(block + moved, 0, identityLength - moved);
    checkTexts(block, readSerial, readVersion, readType);
    return 0;
}
