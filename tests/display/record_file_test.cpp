#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include "display/record_file.h"

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Limits the size of files this process may write, so that a write stops part-way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

const QByteArray header = "Device type;Comment\r\n";
const QByteArray line = "Zalvo 235;Test\r\n";

class RecordFile : public ::testing::Test {
protected:
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString error;
};

}  // namespace

TEST_F(RecordFile, NewFileGetsTheHeaderAndEachAppendOneLine) {
    const QString path = file("new.csv");
    ASSERT_EQ(createRecordFile(path, header), RecordFileCreation::Created);
    EXPECT_EQ(bytesOf(path), header);
    ASSERT_TRUE(appendRecordLine(path, line, error)) << error.toStdString();
    EXPECT_EQ(bytesOf(path), header + line);
    ASSERT_TRUE(appendRecordLine(path, "second\r\n", error));
    EXPECT_EQ(bytesOf(path), header + line + "second\r\n");
}

TEST_F(RecordFile, ExistingFilesAreNeverTruncated) {
    const QString path = file("old.csv");
    writeBytes(path, "earlier\r\n");
    EXPECT_EQ(createRecordFile(path, header), RecordFileCreation::AlreadyExists);
    EXPECT_EQ(bytesOf(path), "earlier\r\n");

    writeBytes(file("empty.csv"), "");
    ASSERT_TRUE(appendRecordLine(file("empty.csv"), line, error));
    EXPECT_EQ(bytesOf(file("empty.csv")), line);

    writeBytes(file("open.csv"), "a;b\r\nc;d");
    ASSERT_TRUE(appendRecordLine(file("open.csv"), line, error));
    EXPECT_EQ(bytesOf(file("open.csv")), "a;b\r\nc;d" + line);
}

TEST_F(RecordFile, FileInAMissingDirectoryCannotBeCreated) {
    EXPECT_EQ(createRecordFile(file("none/new.csv"), header), RecordFileCreation::Failed);
    EXPECT_FALSE(QFileInfo::exists(file("none/new.csv")));
}

TEST_F(RecordFile, LockedFileIsReportedAndLeftAsItWas) {
    const QString path = file("busy.csv");
    writeBytes(path, header);
    const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_FALSE(appendRecordLine(path, line, error));
    EXPECT_EQ(error, "Cannot open file \"" + path + "\". It is in use by another program.");
    ::close(other);
    EXPECT_EQ(bytesOf(path), header);

    // Once the other writer is done the line goes in.
    EXPECT_TRUE(appendRecordLine(path, line, error));
    EXPECT_EQ(bytesOf(path), header + line);
}

TEST_F(RecordFile, WhatIsNoRegularFileIsRefused) {
    EXPECT_FALSE(appendRecordLine(file("missing.csv"), line, error));
    EXPECT_TRUE(error.startsWith("Cannot open file \"" + file("missing.csv") + "\"."));
    EXPECT_FALSE(QFileInfo::exists(file("missing.csv")));

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.csv"));
    EXPECT_FALSE(appendRecordLine(file("folder.csv"), line, error));

    // A named pipe without reader must neither hang the program nor take the line.
    const QByteArray pipe = QFile::encodeName(file("pipe.csv"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    EXPECT_FALSE(appendRecordLine(file("pipe.csv"), line, error));
}

TEST_F(RecordFile, WriteStoppedPartWayLeavesTheFileAsItWas) {
    const QString path = file("full.csv");
    writeBytes(path, header);
    {
        const FileSizeLimit limit(static_cast<rlim_t>(header.size() + 4));
        EXPECT_FALSE(appendRecordLine(path, line, error));
    }
    EXPECT_TRUE(error.startsWith("Cannot write file \"" + path + "\"."));
    EXPECT_EQ(bytesOf(path), header);
}

TEST_F(RecordFile, HeaderThatCannotBeWrittenLeavesNoFile) {
    const QString path = file("half.csv");
    {
        const FileSizeLimit limit(5);
        EXPECT_EQ(createRecordFile(path, header), RecordFileCreation::Failed);
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}
