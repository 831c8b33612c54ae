#include <QScreen>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/main_window.h"
#include "app/open_problem_report.h"
#include "app/program_options.h"
#include "app/windows.h"
#include "chart/form_chart.h"
#include "device/cad_wandler.h"
#include "device/dialog/form_read_usb.h"
#include "device/instrument_choice.h"
#include "device/instrument_simulator.h"
#include "device/libusb_backend.h"
#include "device/scenario_file.h"
#include "display/form_display.h"
#include "settings/dialog/form_setup.h"
#include "ui/operator_dialogs.h"
#include "ui/process_exit.h"
#include "ui/zalvo_application.h"

namespace {

std::unique_ptr<UsbBackend> makeBackend(const ProgramOptions& options) {
    if (options.simulatedType == 0 && options.scenarioFile.isEmpty()) {
        return std::make_unique<LibusbBackend>();
    }
    auto simulator = std::make_unique<InstrumentSimulator>(
        options.simulatedType != 0 ? options.simulatedType : 235);
    if (!options.serialNumber.isEmpty()) {
        simulator->setSerialNumber(options.serialNumber);
    }
    if (!options.scenarioFile.isEmpty()) {
        QString error;
        if (!applyScenarioFile(options.scenarioFile, *simulator, error)) {
            QTextStream(stderr) << error << Qt::endl;
            return nullptr;
        }
    }
    return simulator;
}

// A lost connection ends the process with -1 after the operator's box; on a real bus the
// terminal also learns what the scan found and why the opening failed.
void reportOpenProblemsAtExit(const LibusbBackend* usb) {
    setTerminateHandler([usb](int exitCode) {
        if (exitCode == -1) {
            std::fputs(openProblemReport(usb->lastOpenProblem(), zalvoUdevRuleInstalled()).c_str(),
                       stderr);
        }
    });
}

void centre(QWidget* window) {
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - window->rect().center());
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit then fails the recording file's write instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    ZalvoApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZalvoXX5_DureRuz"));

    ProgramOptions options;
    QString error;
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    if (!parseProgramOptions(arguments, options, error)) {
        QTextStream(stderr) << "zalvo: " << error << "\n" << programUsage(QStringLiteral("zalvo"));
        return 2;
    }
    if (options.showHelp) {
        QTextStream(stdout) << programUsage(QStringLiteral("zalvo"));
        return 0;
    }
    const std::unique_ptr<UsbBackend> backend = makeBackend(options);
    if (!backend) {
        return 2;
    }
    CAD_wandler::setBackend(backend.get());
    chooseInstrumentBySerial(options.serialNumber);
    if (const auto* usb = dynamic_cast<const LibusbBackend*>(backend.get())) {
        reportOpenProblemsAtExit(usb);
    }

    try {
        MainForm = new TMainForm;
        FormReadUSB = new TFormReadUSB;
        FormDisplay = new TFormDisplay;
        FormChart = new TFormChart;
        Form_Setup = new TForm_Setup;
        connectWindows();
        QApplication::setQuitOnLastWindowClosed(false);
        MainForm->show();
        centre(MainForm);
        QApplication::exec();
    } catch (const std::exception& exception) {
        operatorDialogs().showError(QString::fromLocal8Bit(exception.what()));
    }
    return 0;
}
