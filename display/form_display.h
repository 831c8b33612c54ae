#pragma once

#include <QWidget>

// The live display window.
class TFormDisplay : public QWidget {
    Q_OBJECT

public:
    explicit TFormDisplay(QWidget* parent = nullptr);
};
