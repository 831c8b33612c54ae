#pragma once

#include <QString>

// Full path of SETUP.INI, built anew on every access. It lies beside the program file where
// the program's directory is writable (a portable copy, and where files have always been
// kept); an installed program, in a directory the user cannot write, keeps it in
// <config home>/zalvo/ instead. A file already beside such a program is copied there on
// first use (said once on stderr) and the copy is used from then on; should the copy fail,
// the file beside the program is still read.
QString settingsFilePath();

// From now on settingsFilePath() is `path`, wherever the program lies; an empty path returns to
// the choice above. Lets a test process keep a settings file of its own.
void useSettingsFilePath(const QString& path);

// The choice of settingsFilePath(), with the directory's writability passed in so that it can
// be decided for any user (permission bits do not stop root).
QString settingsFilePathFor(const QString& programDirectory, bool programDirectoryWritable,
                            const QString& configHome);

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString configHomeDirectory();

// Whether this process may create files in the directory (not on a read-only mount either).
bool isDirectoryWritable(const QString& directory);

// Creates <config home>/zalvo when the file lies there and the directory is missing: the first
// store of an installed program makes it, reading never does. Other directories are left as
// they are, so a store into a vanished directory still fails.
void createSettingsDirectoryFor(const QString& filePath);
