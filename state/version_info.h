#pragma once

#include <QString>

// The program's version record: compiled into the program from the build's project data.
struct VersionInfo {
    QString productName;
    QString companyName;
    QString fileVersion;  // four decimal numbers joined by "."
};

// Fills the record from the program's own version data; fields without a source stay empty.
void readVersionInfo(VersionInfo& info);

// product name + " " + company name + " Ver. : " + file version
QString versionCaptionOf(const VersionInfo& info);

// The main window's caption: the version caption, with "   (min. Mode)" in the minimum depiction.
QString mainCaption(const QString& versionCaption, int displayDepiction);
