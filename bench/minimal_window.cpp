// The yardstick for the program's start-up: the smallest Qt Widgets window.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("Qt Widgets"));
    window.show();
    return QApplication::exec();
}
