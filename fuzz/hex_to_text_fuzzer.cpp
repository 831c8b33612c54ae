#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "device/measurement_decoding.h"
#include "fuzz/fuzz_check.h"

// Input: a text (UTF-8, or raw UTF-16 code units when the first byte is odd). Every pair gives
// one character of at most 0xFF, and bytes written as upper-case hex pairs (the way sample
// digits are sent through it) come back unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const qsizetype restSize = static_cast<qsizetype>(size - 1);
    const QString text = (data[0] & 1) ? QString(reinterpret_cast<const QChar*>(rest), restSize / 2)
                                       : QString::fromUtf8(rest, restSize);
    const QString decoded = hexToText(text);
    check(decoded.size() == text.size() / 2, "one character per pair, a trailing digit ignored");
    for (const QChar c : decoded) {
        check(c.unicode() <= 0xFF, "a pair gives a code of at most two hex digits");
    }

    const QByteArray bytes(rest, restSize);
    check(hexToText(QString::fromLatin1(bytes.toHex().toUpper())) == QString::fromLatin1(bytes),
          "upper-case hex of any bytes decodes to those bytes");
    return 0;
}
