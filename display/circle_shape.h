#pragma once

#include <QColor>
#include <QWidget>

// A filled circle with a black outline, centred in its rectangle; the display window blinks
// one to show that the measuring loop is alive.
class CircleShape : public QWidget {
    Q_OBJECT

public:
    explicit CircleShape(QWidget* parent = nullptr);

    QColor fillColour() const { return fill; }
    void setFillColour(const QColor& colour);
    void setPenWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill = Qt::white;
    int penWidth = 1;
};
