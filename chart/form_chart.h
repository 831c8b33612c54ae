#pragma once

#include <QWidget>

// The chart window.
class TFormChart : public QWidget {
    Q_OBJECT

public:
    explicit TFormChart(QWidget* parent = nullptr);
};
