#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// What one run of zalvo-cli left behind.
struct CliResult {
    bool finished = false;  // false: killed after the time limit
    int exitCode = -1;
    QString out;
    QString err;
};

// A scratch directory per test; it is also the run's XDG_DATA_HOME, so recordings made without
// --output land in it.
class CliScratch {
public:
    // A scenario file with `text`; returns its path.
    QString scenario(const QString& text, const QString& name = "s.scn") const;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString recordings() const { return dir.filePath("zalvo/recordings"); }

    // Runs zalvo-cli with `arguments`, the environment plus `environment` ("NAME=value").
    CliResult run(const QStringList& arguments, const QStringList& environment = {},
                  int timeoutMs = 30000) const;
    // Runs `program` (a shell, for limits) the same way; ZALVO_CLI holds the binary's path.
    CliResult runProgram(const QString& program, const QStringList& arguments,
                         const QStringList& environment = {}, int timeoutMs = 30000) const;
    // The environment of a run: LC_ALL=C, XDG_DATA_HOME and ZALVO_CLI, then `extra`.
    QProcessEnvironment environment(const QStringList& extra = {}) const;

private:
    QTemporaryDir dir;
};
