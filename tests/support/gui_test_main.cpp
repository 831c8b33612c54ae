// main() for widget tests: a QApplication that needs no display, then GoogleTest.
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include "settings/settings_file_path.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        // Test discovery at build time runs without the tests' environment.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Recordings and settings the windows write stay in the build tree, never in the real home.
    qputenv("XDG_DATA_HOME", ZALVO_TEST_HOME "/data");
    qputenv("XDG_CONFIG_HOME", ZALVO_TEST_HOME "/config");
    QApplication application(argc, argv);
    // Each test process has a SETUP.INI of its own, so that tests run side by side.
    const QTemporaryDir settingsDirectory;
    if (!settingsDirectory.isValid()) {
        return 1;
    }
    useSettingsFilePath(settingsDirectory.filePath(QStringLiteral("SETUP.INI")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
