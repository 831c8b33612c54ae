#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>
#include <vector>

#include "settings/program_settings.h"
#include "settings/settings_file_path.h"
#include "tests/windows/window_fixture.h"
#include "ui/radio_group.h"

// Acts as the operator while a dialog run is going on. Each step runs on its own, a little
// after the one before, so that the run has made passes in between, as it would between
// the operator's real clicks. A run still going after the time limit is cancelled.
class OperatorScript : public QObject {
public:
    static constexpr int stepSpacingMs = 20;
    static constexpr int timeLimitMs = 5000;

    OperatorScript& then(std::function<void()> step) {
        steps.push_back(std::move(step));
        return *this;
    }

    void start() {
        QTimer::singleShot(stepSpacingMs, this, [this] { runNext(); });
        QTimer::singleShot(timeLimitMs, this, [this] {
            timedOut = true;
            Form_Setup->BitBtnCancelClick();
        });
    }

    bool timedOut = false;
    size_t stepsRun = 0;

private:
    void runNext() {
        if (stepsRun == steps.size()) {
            return;
        }
        // Scheduled first: a step may block in a nested run until a later step ends it.
        QTimer::singleShot(stepSpacingMs, this, [this] { runNext(); });
        steps[stepsRun++]();
    }

    std::vector<std::function<void()>> steps;
};

// The five windows with the setup dialog as the display window's Setup button runs it, on
// a SETUP.INI of the test's own: any file found at its path is put aside for
// the test and put back afterwards.
class SetupDialogTest : public WindowTest {
protected:
    void SetUp() override {
        iniPath = settingsFilePath();
        asidePath = iniPath + QStringLiteral(".aside");
        removeIniPath(asidePath);
        if (QFileInfo::exists(iniPath)) {
            QFile::rename(iniPath, asidePath);
        }
        WindowTest::SetUp();
    }

    void TearDown() override {
        WindowTest::TearDown();
        removeIniPath(iniPath);
        if (QFileInfo::exists(asidePath)) {
            QFile::rename(asidePath, iniPath);
        }
    }

    // What the display window's Setup button does, with the script acting as the operator.
    void runSetup(OperatorScript& script) {
        main->setEnabled(false);
        setup->show();
        script.start();
        setup->runSetupDialog();
        main->applyCaption();
        EXPECT_FALSE(script.timedOut) << "the run did not end by the script";
    }

    void setStored(int depiction, int limit, int samplingTime) {
        main->displayDepiction = depiction;
        main->limit = limit;
        main->samplingTimeDisplay = samplingTime;
        main->applyCaption();
    }

    // The operator's actions.
    void choose(int item) {
        const QString text = setup->RadioGroup_Display->items().at(item);
        for (QRadioButton* button : setup->RadioGroup_Display->findChildren<QRadioButton*>()) {
            if (button->text() == text) {
                QTest::mouseClick(button, Qt::LeftButton);
            }
        }
    }
    static void clearField(QLineEdit* field) {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Delete);
    }
    static void typeInto(QLineEdit* field, const QString& text) { QTest::keyClicks(field, text); }
    static void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    QString iniText() const {
        QFile file(iniPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    bool iniExists() const { return QFileInfo::exists(iniPath); }

    QString iniPath;

private:
    static void removeIniPath(const QString& path) {
        if (QFileInfo(path).isDir()) {
            QDir(path).removeRecursively();
        } else {
            QFile::remove(path);
        }
    }

    QString asidePath;
};
