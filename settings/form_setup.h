#pragma once

#include <QWidget>

// The setup dialog.
class TForm_Setup : public QWidget {
    Q_OBJECT

public:
    explicit TForm_Setup(QWidget* parent = nullptr);
};
