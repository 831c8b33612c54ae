#include <gtest/gtest.h>

#include <random>

#include "device/measurement_decoding.h"

namespace {
int decode(const char* bytes) {
    unsigned char sample[4];
    for (int i = 0; i < 4; ++i) {
        sample[i] = static_cast<unsigned char>(bytes[i]);
    }
    normaliseSampleDigits(sample);
    return sampleValue(sample);
}
}  // namespace

TEST(MeasurementDecoding, LastReceivedDigitIsMostSignificant) {
    EXPECT_EQ(decode("5210"), 125);
    EXPECT_EQ(decode("9999"), 9999);
    EXPECT_EQ(decode("0000"), 0);
    EXPECT_EQ(decode("1000"), 1);
}

TEST(MeasurementDecoding, NonDigitBytesCountAsZero) {
    EXPECT_EQ(decode("5A10"), 105);
    EXPECT_EQ(decode(std::string("\0"
                                 "2"
                                 "1"
                                 "0",
                                 4)
                         .c_str()),
              120);
    EXPECT_EQ(decode("\xFF\xFF\xFF\xFF"), 0);
    EXPECT_EQ(decode("9/:9"), 9009);  // the neighbours of '0' and '9' are not digits
}

TEST(MeasurementDecoding, AnyFourBytesDecodeWithinTheDigitRange) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        unsigned char sample[4];
        for (auto& b : sample) {
            b = static_cast<unsigned char>(random());
        }
        normaliseSampleDigits(sample);
        const int value = sampleValue(sample);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 9999);
    }
}

TEST(MeasurementDecoding, HexToTextReadsPairsAndIgnoresATrailingDigit) {
    EXPECT_EQ(hexToText("30313233"), "0123");
    EXPECT_EQ(hexToText("41424"), "AB");
    EXPECT_EQ(hexToText(""), "");
    EXPECT_EQ(hexToText("zz41").size(), 2);  // a broken pair still gives one character
}

TEST(MeasurementDecoding, HexToTextTakesOnlyTwoHexDigitsAsACode) {
    // A sign or a blank is not a hex digit: "-1" once gave U+FFFF and " f" gave 0x0F.
    const QString decoded = hexToText(" ff -1+f-f\t1");
    ASSERT_EQ(decoded.size(), 6);
    for (QChar c : decoded) {
        EXPECT_EQ(c.unicode(), 0);
    }
    EXPECT_EQ(hexToText("7fFfa0"), QString::fromLatin1("\x7f\xff\xa0"));
}

TEST(MeasurementDecoding, RangeCodesAndIndices) {
    for (unsigned i = 0; i <= 4; ++i) {
        EXPECT_EQ(rangeCodeFromIndex(i), 0x10 * (i + 1));
        EXPECT_EQ(rangeIndexFromCode(rangeCodeFromIndex(i)), static_cast<int>(i));
    }
    EXPECT_EQ(rangeIndexFromCode(0x60), 96);
    EXPECT_EQ(rangeIndexFromCode(0x00), 0);
}

TEST(MeasurementDecoding, IdentityIgnoresByteEleven) {
    const unsigned char block[15] = {'1', '2', '3', '4', '0', '4', '1', '7',
                                     '1', '3', '3', '#', '2', '5', '5'};
    QString serial, version, type;
    decodeIdentity(block, serial, version, type);
    EXPECT_EQ(serial, "12340417");
    EXPECT_EQ(version, "133");
    EXPECT_EQ(type, "255");
}
