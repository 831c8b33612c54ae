#include "cli_run.h"

#include <QFile>
#include <QProcess>

QString CliScratch::scenario(const QString& text, const QString& name) const {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text.toUtf8());
    }
    return file.fileName();
}

CliResult CliScratch::run(const QStringList& arguments, const QStringList& environment,
                          int timeoutMs) const {
    return runProgram(ZALVO_CLI_PATH, arguments, environment, timeoutMs);
}

QProcessEnvironment CliScratch::environment(const QStringList& extra) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir.path());
    env.insert("ZALVO_CLI", ZALVO_CLI_PATH);
    env.insert("LC_ALL", "C");
    for (const QString& entry : extra) {
        const qsizetype equals = entry.indexOf('=');
        env.insert(entry.left(equals), entry.mid(equals + 1));
    }
    return env;
}

CliResult CliScratch::runProgram(const QString& program, const QStringList& arguments,
                                 const QStringList& extra, int timeoutMs) const {
    QProcess process;
    process.setProcessEnvironment(environment(extra));
    process.start(program, arguments);
    CliResult result;
    if (!process.waitForStarted(10000)) {
        return result;
    }
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}
