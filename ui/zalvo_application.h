#pragma once

#include <QApplication>

// The application object: an error raised inside an event handler is shown in the standard
// error box and ends only that handler; the message loop goes on.
class ZalvoApplication : public QApplication {
public:
    ZalvoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
