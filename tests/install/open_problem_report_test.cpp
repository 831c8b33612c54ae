#include "app/open_problem_report.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString packagedRule() {
    QFile file(ZALVO_UDEV_RULE_FILE);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#')) {
            return line;
        }
    }
    return {};
}

const OpenProblem refusedOpening{true, "libusb_open", LIBUSB_ERROR_ACCESS};

}  // namespace

TEST(OpenProblemReport, SaysWhatWasFoundAndWhichCallFailed) {
    EXPECT_EQ(openProblemReport(OpenProblem{true, "", 0}, false), "");
    EXPECT_EQ(openProblemReport(OpenProblem{false, "", 0}, false),
              "zalvo: no instrument on the bus\n");
    // Other failures than a refused permission get no advice about the udev rule.
    EXPECT_EQ(
        openProblemReport(OpenProblem{true, "libusb_claim_interface", LIBUSB_ERROR_BUSY}, false),
        "zalvo: instrument found; libusb_claim_interface failed: LIBUSB_ERROR_BUSY\n");
    EXPECT_EQ(openProblemReport(OpenProblem{false, "libusb_init", LIBUSB_ERROR_OTHER}, false),
              "zalvo: libusb_init failed: LIBUSB_ERROR_OTHER\n");
}

TEST(OpenProblemReport, RefusedOpeningWithoutTheRuleTellsHowToInstallIt) {
    const QString report = QString::fromStdString(openProblemReport(refusedOpening, false));
    const QStringList lines = report.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << report.toStdString();
    EXPECT_EQ(lines[0], "zalvo: instrument found; libusb_open failed: LIBUSB_ERROR_ACCESS");
    EXPECT_TRUE(lines[1].contains("the udev rule 60-zalvo.rules")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("is missing")) << lines[1].toStdString();
    // Other products share the vendor ID: the trigger replays only the instrument's own events.
    EXPECT_TRUE(lines[3].startsWith("zalvo:   udevadm control --reload-rules && udevadm trigger "))
        << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains("--attr-match=idVendor=16c0 --attr-match=idProduct=2b5e"))
        << lines[3].toStdString();

    // The command writes exactly the rule the package installs.
    const QString command = lines[2].mid(QStringLiteral("zalvo:   ").size());
    ASSERT_TRUE(command.endsWith(" > /etc/udev/rules.d/60-zalvo.rules")) << command.toStdString();
    QTemporaryDir dir;
    const QString target = dir.filePath("60-zalvo.rules");
    QString redirected = command;
    redirected.replace("/etc/udev/rules.d/60-zalvo.rules", target);
    EXPECT_EQ(QProcess::execute("/bin/sh", {"-c", redirected}), 0);
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString rule = packagedRule();
    ASSERT_FALSE(rule.isEmpty());
    EXPECT_EQ(QString::fromUtf8(written.readAll()), rule + '\n');
    EXPECT_EQ(QString::fromUtf8(zalvoUdevRule), rule);
}

TEST(OpenProblemReport, RefusedOpeningWithTheRuleInstalledAsksForAReplug) {
    const QString report = QString::fromStdString(openProblemReport(refusedOpening, true));
    const QStringList lines = report.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << report.toStdString();
    EXPECT_EQ(lines[0], "zalvo: instrument found; libusb_open failed: LIBUSB_ERROR_ACCESS");
    EXPECT_TRUE(lines[1].contains("60-zalvo.rules is installed")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("plug the instrument in again")) << lines[1].toStdString();
    EXPECT_FALSE(report.contains("missing"));
}
