#include "settings/data_directory.h"

#include <gtest/gtest.h>

#include <QDir>

TEST(DataDirectory, DirectoryOfFileKeepsTheLastSeparator) {
    EXPECT_EQ(directoryOfFile("/home/op/records/run1.csv"), "/home/op/records/");
    EXPECT_EQ(directoryOfFile("/run1.csv"), "/");
    EXPECT_EQ(directoryOfFile("run1.csv"), "");
    EXPECT_EQ(directoryOfFile(""), "");
    EXPECT_EQ(directoryOfFile("/"), "");
    // The last character is not searched: it ends no directory of a file name.
    EXPECT_EQ(directoryOfFile("/home/op/"), "/home/");
}

TEST(DataDirectory, DefaultIsTheHomeDirectoryWithSeparator) {
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", "/srv/operator");
    const QString withName = defaultDataDirectory();
    qputenv("HOME", "/");
    const QString root = defaultDataDirectory();
    qputenv("HOME", savedHome);

    EXPECT_EQ(withName, "/srv/operator/");
    EXPECT_EQ(root, "/");
}
