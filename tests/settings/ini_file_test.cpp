#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "file_helpers.h"
#include "tests/support/full_filesystem.h"

namespace {

const QByteArray sample = "; settings\r\n[Display]\r\nLimit=80\r\n\r\n[Sampling]\r\n";

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("SETUP.INI");

    void expectWriteFails(const QString& target) {
        try {
            writeIniString(target, "Display", "Limit", "30");
            ADD_FAILURE() << "no error for " << target.toStdString();
        } catch (const SettingsWriteError& error) {
            EXPECT_TRUE(error.message().startsWith("Cannot write file " + target + ": "))
                << error.what();
        }
    }

    QStringList filesInDir() const {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    }
};

}  // namespace

TEST_F(IniFileTest, MissingFileReadsDefaultsAndIsCreatedByAWrite) {
    EXPECT_EQ(readIniInteger(path, "Display", "Limit", 50), 50);
    EXPECT_EQ(readIniString(path, "Display", "DataDirectory", "none"), "none");
    EXPECT_FALSE(QFile::exists(path));

    writeIniString(path, "Display", "Limit", "30");
    EXPECT_EQ(fileBytes(path), "[Display]\nLimit=30\n");
    EXPECT_EQ(readIniInteger(path, "display", "LIMIT", 50), 30);
    EXPECT_EQ(filesInDir(), QStringList{"SETUP.INI"});
}

TEST_F(IniFileTest, WriteReplacesOneLineAndKeepsPermissions) {
    putFile(path, sample);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    writeIniEntries(path, {{"Display", "Limit", "30"}, {"Sampling", "SamplingTimeChart", "400"}});

    EXPECT_EQ(fileBytes(path),
              "; settings\r\n[Display]\r\nLimit=30\r\n\r\n[Sampling]\r\nSamplingTimeChart=400\r\n");
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    EXPECT_EQ(QFile::permissions(path) & ~userBits,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(filesInDir(), QStringList{"SETUP.INI"});
}

TEST_F(IniFileTest, FailedWritesRaiseAndLeaveEverythingAsItWas) {
    expectWriteFails(dir.filePath("missing/SETUP.INI"));

    putFile(dir.filePath("plain"), "x");
    expectWriteFails(dir.filePath("plain/SETUP.INI"));

    ASSERT_TRUE(QDir(dir.path()).mkdir("SETUP.INI"));
    expectWriteFails(path);
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(readIniInteger(path, "Display", "Limit", 50), 50);

    // A value that would break the file apart is refused before anything is written.
    putFile(dir.filePath("other.ini"), sample);
    EXPECT_THROW(writeIniEntries(dir.filePath("other.ini"), {{"Display", "Limit", "30"},
                                                             {"Display", "DataDirectory", "a\nb"}}),
                 SettingsWriteError);
    EXPECT_EQ(fileBytes(dir.filePath("other.ini")), sample);
}

TEST_F(IniFileTest, AFullDiskRaisesAndKeepsTheFileAsItWas) {
    FullFilesystem disk;
    if (!disk.isMounted()) {
        GTEST_SKIP() << disk.reason().toStdString();
    }
    const QString full = disk.filePath("SETUP.INI");
    putFile(full, sample);
    ASSERT_TRUE(disk.fill());

    expectWriteFails(full);
    EXPECT_THROW(writeIniEntries(full, {{"Display", "Limit", "30"},
                                        {"Display", "DataDirectory", QString(5000, 'd')}}),
                 SettingsWriteError);
    EXPECT_EQ(fileBytes(full), sample);
}

TEST_F(IniFileTest, ReadOnlyDirectoryOrUnreadableFileIsNotWritten) {
    if (!permissionsApply()) {
        GTEST_SKIP() << "running as root: permissions do not stop writes";
    }
    putFile(path, sample);
    const auto dirPermissions = QFile::permissions(dir.path());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    expectWriteFails(path);
    QFile::setPermissions(dir.path(), dirPermissions);
    EXPECT_EQ(fileBytes(path), sample);

    // Rewriting a file whose contents cannot be read would lose them.
    QFile::setPermissions(path, QFile::WriteOwner);
    expectWriteFails(path);
    EXPECT_EQ(readIniInteger(path, "Display", "Limit", 50), 50);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(fileBytes(path), sample);
    EXPECT_EQ(filesInDir(), QStringList{"SETUP.INI"});
}

TEST_F(IniFileTest, HugeFileIsNeitherReadNorCutDown) {
    QByteArray huge = sample;
    huge.append(maxIniFileSize, ';');
    putFile(path, huge);

    EXPECT_EQ(readIniInteger(path, "Display", "Limit", 50), 50);
    expectWriteFails(path);
    EXPECT_EQ(fileBytes(path), huge);

    huge.resize(maxIniFileSize);
    putFile(path, huge);
    EXPECT_EQ(readIniInteger(path, "Display", "Limit", 50), 80);
}

TEST_F(IniFileTest, FifoNeitherBlocksNorIsReplaced) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(readIniInteger(path, "Display", "Limit", 50), 50);
    expectWriteFails(path);
    EXPECT_FALSE(QFileInfo(path).isFile());
}

TEST_F(IniFileTest, WriteThroughASymbolicLinkKeepsTheLink) {
    const QString target = dir.filePath("real.ini");
    putFile(target, sample);
    ASSERT_TRUE(QFile::link(target, path));

    writeIniString(path, "Display", "Limit", "30");

    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(readIniInteger(target, "Display", "Limit", 50), 30);
}
