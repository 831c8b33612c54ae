#include <QScreen>
#include <QTextStream>
#include <QTimer>
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
#include "display/form_display.h"
#include "settings/dialog/form_setup.h"
#include "ui/operator_dialogs.h"
#include "ui/process_exit.h"
#include "ui/zalvo_application.h"

namespace {

std::unique_ptr<UsbBackend> makeBackend(const ProgramOptions& options) {
    if (!options.simulator.wanted()) {
        return std::make_unique<LibusbBackend>();
    }
    QString error;
    std::unique_ptr<InstrumentSimulator> simulator = makeSimulator(options.simulator, error);
    if (!simulator) {
        QTextStream(stderr) << error << Qt::endl;
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

// --help and --version: printed, and true, when the options ask for either.
bool answeredOnTheTerminal(const ProgramOptions& options) {
    if (options.showHelp) {
        QTextStream(stdout) << programUsage(QStringLiteral("zalvo"));
        return true;
    }
    if (options.showVersion) {
        QTextStream(stdout) << programVersionLine(QStringLiteral("zalvo"));
        return true;
    }
    return false;
}

void centre(QWidget* window) {
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - window->rect().center());
}

}  // namespace

int main(int argc, char** argv) {
    // A file size limit then fails the recording file's write instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    {
        // --help and --version answer without a display, e.g. over a remote login. Arguments
        // meant for Qt itself are no options of ours: those are read once the application is
        // made.
        QStringList arguments;
        for (int i = 1; i < argc; ++i) {
            arguments << QString::fromLocal8Bit(argv[i]);
        }
        ProgramOptions options;
        QString error;
        if (parseProgramOptions(arguments, options, error) && answeredOnTheTerminal(options)) {
            return 0;
        }
    }
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
    if (answeredOnTheTerminal(options)) {
        return 0;
    }
    const std::unique_ptr<UsbBackend> backend = makeBackend(options);
    if (!backend) {
        return 2;
    }
    CAD_wandler::setBackend(backend.get());
    chooseInstrumentBySerial(options.simulator.serialNumber);
    if (const auto* usb = dynamic_cast<const LibusbBackend*>(backend.get())) {
        reportOpenProblemsAtExit(usb);
    }

    try {
        MainForm = new TMainForm;
        QApplication::setQuitOnLastWindowClosed(false);
        MainForm->show();
        centre(MainForm);
        // The other windows are built in the first turn of the event loop, before any input
        // is handled: the main window does not wait for them to appear.
        QTimer::singleShot(0, [] {
            try {
                FormReadUSB = new TFormReadUSB;
                FormDisplay = new TFormDisplay;
                FormChart = new TFormChart;
                Form_Setup = new TForm_Setup;
                connectWindows();
            } catch (const std::exception& exception) {
                operatorDialogs().showError(QString::fromLocal8Bit(exception.what()));
                QCoreApplication::exit(0);
            }
        });
        QApplication::exec();
    } catch (const std::exception& exception) {
        operatorDialogs().showError(QString::fromLocal8Bit(exception.what()));
    }
    return 0;
}
