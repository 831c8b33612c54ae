#pragma once

#include <QString>

// Full path of SETUP.INI: the directory of the program file followed by the file name.
QString settingsFilePath();
