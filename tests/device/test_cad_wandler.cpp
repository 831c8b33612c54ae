#include <libusb.h>

#include "device/usbread.h"
#include "simulated_instrument_fixture.h"

using DeviceLink = SimulatedInstrument;

TEST_F(DeviceLink, OpensConfiguresAndClaimsTheInstrument) {
    CAD_wandler link;
    EXPECT_EQ(link.openDevice(), 1);
    EXPECT_NE(CAD_wandler::deviceHandle, 0u);
    EXPECT_EQ(sim.openHandles(), 1);
}

TEST_F(DeviceLink, EveryOpenReplacesTheOneSharedConnection) {
    CAD_wandler first;
    CAD_wandler second;
    ASSERT_EQ(first.openDevice(), 1);
    const auto before = CAD_wandler::deviceHandle;
    ASSERT_EQ(second.openDevice(), 1);
    EXPECT_NE(CAD_wandler::deviceHandle, before);
    EXPECT_EQ(sim.openHandles(), 1);
    EXPECT_EQ(sim.openCount(), 2);
}

TEST_F(DeviceLink, NoInstrumentLeavesTheLinkClosedAndTransfersFail) {
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    sim.unplug();
    EXPECT_EQ(link.openDevice(), 0);
    EXPECT_EQ(CAD_wandler::deviceHandle, 0u);
    unsigned char byte = 0x5A;
    EXPECT_LT(link.controlIn(5, 1, 0x81, &byte, 1), 0);
    EXPECT_EQ(byte, 0x5A);
    EXPECT_TRUE(sim.transfers().empty());
}

TEST_F(DeviceLink, ConfigurationFailureKeepsTheHandleUntilTheNextOpen) {
    CAD_wandler link;
    sim.failConfiguration(true);
    EXPECT_EQ(link.openDevice(), 0);
    EXPECT_NE(CAD_wandler::deviceHandle, 0u);
    EXPECT_EQ(sim.openCount(), 1);  // the first match is the only one tried
    sim.failConfiguration(false);
    EXPECT_EQ(link.openDevice(), 1);
    EXPECT_EQ(sim.openHandles(), 1);
}

TEST_F(DeviceLink, ClaimFailureOrOpenFailureReportsZero) {
    CAD_wandler link;
    sim.failClaim(true);
    EXPECT_EQ(link.openDevice(), 0);
    sim.failClaim(false);
    sim.failOpen(true);
    EXPECT_EQ(link.openDevice(), 0);
    EXPECT_EQ(CAD_wandler::deviceHandle, 0u);
}

TEST_F(DeviceLink, TransfersUseVendorRequestTypesIndexAndTimeout) {
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    unsigned char byte = 0x20;
    EXPECT_EQ(link.controlOut(2, 2, 0x81, &byte, 1), 1);
    EXPECT_EQ(link.controlIn(5, 2, 0x81, &byte, 1), 1);
    ASSERT_EQ(sim.transfers().size(), 2u);
    const auto& out = sim.transfers()[0];
    const auto& in = sim.transfers()[1];
    EXPECT_EQ(out.requestType, 0x40);
    EXPECT_EQ(in.requestType, 0xC0);
    EXPECT_EQ(out.index, 0x81);
    EXPECT_EQ(in.timeoutMs, 1000u);
    EXPECT_EQ(byte, 0x20);
}

TEST_F(DeviceLink, FailedTransferResultIsPassedThrough) {
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    sim.failRegister(1, 1, LIBUSB_ERROR_PIPE);
    unsigned char byte = 0x77;
    EXPECT_EQ(link.controlIn(5, 1, 0x81, &byte, 1), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(byte, 0x77);
}

TEST_F(DeviceLink, IdentityBlockIsCutIntoItsThreeTexts) {
    sim.setIdentityBlock(QByteArray("ABCDEFGH123X235", 15));
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    EXPECT_EQ(readIdentity(serial, version, type), 15);
    EXPECT_EQ(serial, "ABCDEFGH");
    EXPECT_EQ(version, "123");
    EXPECT_EQ(type, "235");
}

TEST_F(DeviceLink, ShortIdentityAnswerEndsInZeroCharacters) {
    sim.shortRegister(10, 1, 10);
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    EXPECT_EQ(readIdentity(serial, version, type), 10);
    EXPECT_EQ(serial, "12340417");
    EXPECT_EQ(version, QString("13") + QChar(0));
    EXPECT_EQ(type, QString(3, QChar(0)));
}

TEST_F(DeviceLink, FailedIdentityLeavesPreviousTextsUnchanged) {
    sim.failRegister(10, 1, LIBUSB_ERROR_TIMEOUT);
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    QString serial = "old", version = "1", type = "115";
    EXPECT_EQ(readIdentity(serial, version, type), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(serial, "old");
    EXPECT_EQ(version, "1");
    EXPECT_EQ(type, "115");
}

TEST_F(DeviceLink, OddIdentityBytesBecomeCharactersUnchanged) {
    QByteArray block(15, '\0');
    block[0] = char(0xFF);
    block[11] = 'Z';
    block[12] = char(0x80);
    sim.setIdentityBlock(block);
    CAD_wandler link;
    ASSERT_EQ(link.openDevice(), 1);
    QString serial, version, type;
    EXPECT_EQ(readIdentity(serial, version, type), 15);
    EXPECT_EQ(serial.size(), 8);
    EXPECT_EQ(serial[0].unicode(), 0xFF);
    EXPECT_EQ(type[0].unicode(), 0x80);
    EXPECT_FALSE(serial.contains('Z') || version.contains('Z') || type.contains('Z'));
}
