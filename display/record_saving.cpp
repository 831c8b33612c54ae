#include <QDateTime>
#include <QFileInfo>
#include <QLabel>

#include "display/form_display.h"
#include "display/record_file.h"
#include "recording/printable_text.h"
#include "settings/data_directory.h"
#include "settings/ini_file.h"
#include "settings/program_settings.h"
#include "settings/settings_file_path.h"
#include "state/main_form_data.h"
#include "ui/event_pump.h"
#include "ui/operator_dialogs.h"

void TFormDisplay::fillRecordSource(const QString& comment) {
    const DeviceIdentity& identity = mainFormData().deviceIdentity;
    // The instrument's texts may hold any byte; a control character would break the line.
    measurementRecord.recSerialNumber = printableText(identity.serialNumber);
    measurementRecord.recDeviceType = printableText(deviceTypeCaption(identity.deviceType));
    measurementRecord.recSwVersion = printableText(identity.softwareVersion);
    const QDateTime now = QDateTime::currentDateTime();
    measurementRecord.recDate = recordDateText(now.date(), QLocale());
    measurementRecord.recTime = recordTimeText(now.time(), QLocale());
    measurementRecord.recComment = comment;
}

QString TFormDisplay::askRecordFileName() {
    SaveDialog_Mv.defaultSuffix = QStringLiteral("CSV");
    SaveDialog_Mv.filters =
        QStringList{QStringLiteral("Comma-Separated Values (*.CSV)"),
                    QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*.*)")};
    SaveDialog_Mv.initialDirectory = mainFormData().dataDirectory;
    return operatorDialogs().saveFileName(SaveDialog_Mv);
}

void TFormDisplay::BitBtnSavedataClick() {
    // Cancel leaves the comment empty; the record is saved all the same.
    QString comment;
    operatorDialogs().inputText(QStringLiteral("Input dialog"),
                                QStringLiteral("Input comment to the measurement"), comment);

    fillRecordSource(comment);
    const QString fileName = askRecordFileName();
    if (fileName.isEmpty()) {
        return;
    }

    try {
        storeDataDirectory(settingsFilePath(), directoryOfFile(fileName));
    } catch (const SettingsWriteError& error) {
        operatorDialogs().showError(error.message());
        return;
    }

    if (!QFileInfo::exists(fileName)) {
        const QString& header = mainFormData().displayDepiction == 0 ? headerMax : headerMin;
        if (createRecordFile(fileName, recordFileLine(header)) == RecordFileCreation::Failed) {
            operatorDialogs().showMessage(QStringLiteral("Can't create file : ") + fileName,
                                          QStringLiteral("Error"));
            return;
        }
    }
    letPendingEventsRun();

    QString error;
    if (!appendRecordLine(fileName, recordFileLine(recordLineText(measurementRecord)), error)) {
        operatorDialogs().showError(error);
    }
}
