#include <QDateTime>
#include <QFileInfo>
#include <QLabel>

#include "app/event_pump.h"
#include "app/main_window.h"
#include "app/operator_dialogs.h"
#include "app/windows.h"
#include "display/form_display.h"
#include "display/record_file.h"
#include "recording/printable_text.h"
#include "settings/data_directory.h"
#include "settings/ini_file.h"
#include "settings/program_settings.h"
#include "settings/settings_file_path.h"

void TFormDisplay::BitBtnSavedataClick() {
    // Cancel leaves the comment empty; the record is saved all the same.
    QString comment;
    operatorDialogs().inputText(QStringLiteral("Input dialog"),
                                QStringLiteral("Input comment to the measurement"), comment);

    // The instrument's texts may hold any byte; a control character would break the line.
    measurementRecord.recSerialNumber = printableText(MainForm->Label_Serial_number->text());
    measurementRecord.recDeviceType = printableText(MainForm->Label_Device_type->text());
    measurementRecord.recSwVersion = printableText(MainForm->Label_SW_version->text());
    const QDateTime now = QDateTime::currentDateTime();
    measurementRecord.recDate = recordDateText(now.date(), QLocale());
    measurementRecord.recTime = recordTimeText(now.time(), QLocale());
    measurementRecord.recComment = comment;

    SaveDialog_Mv.defaultSuffix = QStringLiteral("CSV");
    SaveDialog_Mv.filters =
        QStringList{QStringLiteral("Comma-Separated Values (*.CSV)"),
                    QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*.*)")};
    SaveDialog_Mv.initialDirectory = MainForm->dataDirectory;
    const QString fileName = operatorDialogs().saveFileName(SaveDialog_Mv);
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
        const QString& header = MainForm->displayDepiction == 0 ? headerMax : headerMin;
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
