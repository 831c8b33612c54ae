#include "settings/data_directory.h"

#include <QDir>

QChar directorySeparator() {
#ifdef Q_OS_WIN
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QString defaultDataDirectory() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    QString home = QDir::homePath();
    if (!home.endsWith(directorySeparator())) {
        home += directorySeparator();
    }
    return home;
#endif
}

QString directoryOfFile(const QString& filePath) {
    if (filePath.size() < 2) {
        return {};
    }
    const qsizetype last = filePath.lastIndexOf(directorySeparator(), filePath.size() - 2);
    return last < 0 ? QString() : filePath.left(last + 1);
}
