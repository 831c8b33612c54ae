#include "settings/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

struct FileContents {
    QByteArray bytes;
    QString failure;  // empty when the bytes are the file's contents (or it is missing)
};

FileContents loadFile(const QString& filePath) {
    const QFileInfo info(filePath);
    if (!info.exists()) {
        return {};
    }
    // Checked before opening: opening a FIFO for reading would block.
    if (!info.isFile()) {
        return {{}, QStringLiteral("it is not a regular file")};
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, QStringLiteral("its contents cannot be read (%1)").arg(file.errorString())};
    }
    FileContents contents{file.read(maxIniFileSize + 1), {}};
    if (file.error() != QFileDevice::NoError) {
        return {{}, QStringLiteral("its contents cannot be read (%1)").arg(file.errorString())};
    }
    if (contents.bytes.size() > maxIniFileSize) {
        return {{}, QStringLiteral("it is larger than 1 MiB and not taken for a settings file")};
    }
    return contents;
}

}  // namespace

SettingsWriteError::SettingsWriteError(const QString& filePath, const QString& reason)
    : std::runtime_error(
          QStringLiteral("Cannot write file %1: %2").arg(filePath, reason).toStdString()) {}

IniText readIniFile(const QString& filePath) {
    FileContents contents = loadFile(filePath);
    return contents.failure.isEmpty() ? IniText(std::move(contents.bytes)) : IniText();
}

QString readIniString(const QString& filePath, const QString& section, const QString& key,
                      const QString& defaultValue) {
    return readIniFile(filePath).string(section, key, defaultValue);
}

int readIniInteger(const QString& filePath, const QString& section, const QString& key,
                   int defaultValue) {
    return readIniFile(filePath).integer(section, key, defaultValue);
}

void writeIniEntries(const QString& filePath, const std::vector<IniEntry>& entries) {
    // The file is rewritten as a whole, so contents that cannot be read must stop the write.
    FileContents contents = loadFile(filePath);
    if (!contents.failure.isEmpty()) {
        throw SettingsWriteError(filePath, contents.failure);
    }
    IniText text(std::move(contents.bytes));
    for (const IniEntry& entry : entries) {
        if (!text.setValue(entry.section, entry.key, entry.value)) {
            throw SettingsWriteError(
                filePath, QStringLiteral("the value of %1 cannot be kept in it").arg(entry.key));
        }
    }

    QSaveFile file(filePath);
    // Unbuffered, so that a full disk fails the write itself: a buffered text is only flushed
    // by commit(), which would then put the incomplete temporary file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw SettingsWriteError(filePath, file.errorString());
    }
    if (file.write(text.bytes()) != text.bytes().size() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        throw SettingsWriteError(filePath, file.errorString());
    }
    if (!file.commit()) {
        throw SettingsWriteError(filePath, file.errorString());
    }
}

void writeIniString(const QString& filePath, const QString& section, const QString& key,
                    const QString& value) {
    writeIniEntries(filePath, {{section, key, value}});
}
