#include "settings/settings_file_path.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include "settings/ini_file.h"
#include "settings/program_settings.h"

namespace {

constexpr uid_t nobody = 65534;

// Sets an environment variable for one scope; nullptr unsets it.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const char* value)
        : name(name), wasSet(qEnvironmentVariableIsSet(name)), saved(qgetenv(name)) {
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~EnvironmentScope() { wasSet ? qputenv(name, saved) : qunsetenv(name); }

private:
    const char* name;
    bool wasSet;
    QByteArray saved;
};

// isDirectoryWritable as an ordinary user sees it: root passes every permission check, so as
// root the answer is taken in a child process that has become nobody.
bool writableForAnOrdinaryUser(const QString& directory) {
    if (geteuid() != 0) {
        return isDirectoryWritable(directory);
    }
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(nobody) != 0 || setuid(nobody) != 0) {
            _exit(2);
        }
        _exit(isDirectoryWritable(directory) ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "could not become nobody";
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

void putFile(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Display]\nLimit=80\n");
}

}  // namespace

TEST(SettingsLocation, PortableProgramKeepsTheFileBesideItself) {
    EXPECT_EQ(settingsFilePathFor("/opt/zalvo", true, "/home/op/.config"), "/opt/zalvo/SETUP.INI");
}

TEST(SettingsLocation, InstalledProgramUsesTheConfigHome) {
    QTemporaryDir programDir;
    EXPECT_EQ(settingsFilePathFor(programDir.path(), false, "/home/op/.config"),
              "/home/op/.config/zalvo/SETUP.INI");
}

TEST(SettingsLocation, FileInAReadOnlyProgramDirectoryIsCopiedForTheUserOnce) {
    QTemporaryDir programDir;
    QTemporaryDir configHome;
    const QString beside = programDir.filePath("SETUP.INI");
    const QString copy = configHome.filePath("zalvo/SETUP.INI");
    putFile(beside);
    ASSERT_TRUE(QFile::setPermissions(beside, QFile::ReadOwner | QFile::ReadOther));

    testing::internal::CaptureStderr();
    EXPECT_EQ(settingsFilePathFor(programDir.path(), false, configHome.path()), copy);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(beside.toStdString()), std::string::npos) << said;
    EXPECT_NE(said.find(copy.toStdString()), std::string::npos) << said;
    EXPECT_EQ(readProgramSettings(copy).limit, 80);

    // From then on the copy is used as the user changed it, and nothing more is said.
    storeSetupValues(copy, 1, 30, 500);
    testing::internal::CaptureStderr();
    EXPECT_EQ(settingsFilePathFor(programDir.path(), false, configHome.path()), copy);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(readProgramSettings(copy).limit, 30);
    EXPECT_EQ(readProgramSettings(beside).limit, 80);
}

TEST(SettingsLocation, FileThatCannotBeCopiedIsStillRead) {
    QTemporaryDir programDir;
    QTemporaryDir base;
    putFile(programDir.filePath("SETUP.INI"));
    putFile(base.filePath("not-a-directory"));

    testing::internal::CaptureStderr();
    EXPECT_EQ(settingsFilePathFor(programDir.path(), false, base.filePath("not-a-directory")),
              programDir.filePath("SETUP.INI"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(SettingsLocation, ConfigHomeFollowsXdgConfigHome) {
    const EnvironmentScope home("HOME", "/home/op");
    {
        const EnvironmentScope config("XDG_CONFIG_HOME", "/srv/cfg/");
        EXPECT_EQ(configHomeDirectory(), "/srv/cfg");
    }
    // Unset, empty or relative: the default the XDG rules give.
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
        const EnvironmentScope config("XDG_CONFIG_HOME", value);
        EXPECT_EQ(configHomeDirectory(), "/home/op/.config") << (value ? value : "unset");
    }
}

TEST(SettingsLocation, WritabilityFollowsThePermissionsOfTheUser) {
    QTemporaryDir base;
    const QString installed = base.filePath("installed");
    const QString shared = base.filePath("shared");
    ASSERT_TRUE(QDir().mkdir(installed) && QDir().mkdir(shared));
    const auto readAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(base.path(), readAndEnter | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(installed, readAndEnter | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(
        shared, readAndEnter | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    putFile(base.filePath("plain"));

    EXPECT_TRUE(isDirectoryWritable(base.path()));
    EXPECT_FALSE(writableForAnOrdinaryUser(installed));
    EXPECT_TRUE(writableForAnOrdinaryUser(shared));
    EXPECT_FALSE(isDirectoryWritable(base.filePath("missing")));
    EXPECT_FALSE(isDirectoryWritable(base.filePath("plain")));
}

TEST(SettingsLocation, FirstStoreMakesTheConfigDirectoryReadingDoesNot) {
    QTemporaryDir base;
    const QByteArray configHome = base.filePath("cfg").toUtf8();
    const EnvironmentScope config("XDG_CONFIG_HOME", configHome.constData());
    const QString path =
        settingsFilePathFor(base.filePath("program"), false, configHomeDirectory());
    ASSERT_EQ(path, base.filePath("cfg/zalvo/SETUP.INI"));

    EXPECT_EQ(readProgramSettings(path).limit, 50);
    EXPECT_FALSE(QFileInfo::exists(base.filePath("cfg")));

    storeSetupValues(path, 1, 30, 500);
    storeDataDirectory(path, "/srv/records/");
    const ProgramSettings settings = readProgramSettings(path);
    EXPECT_EQ(settings.limit, 30);
    EXPECT_EQ(settings.dataDirectory, "/srv/records/");

    // Only the program's own directory is made: a store elsewhere still needs its directory.
    EXPECT_THROW(storeSamplingTimeChart(base.filePath("gone/SETUP.INI"), 400), SettingsWriteError);
    EXPECT_FALSE(QFileInfo::exists(base.filePath("gone")));
}

TEST(SettingsLocation, ThisProgramKeepsItsFileBesideItself) {
    // The test program lies in the build tree, which its user may write.
    const QString directory = QFileInfo(QFileInfo("/proc/self/exe").canonicalFilePath()).path();
    ASSERT_TRUE(isDirectoryWritable(directory));
    EXPECT_EQ(settingsFilePath(), directory + "/SETUP.INI");
}
