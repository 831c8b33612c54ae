#include "display/circle_shape.h"

#include <QPainter>

#include <algorithm>

CircleShape::CircleShape(QWidget* parent) : QWidget(parent) {}

void CircleShape::setFillColour(const QColor& colour) {
    if (colour != fill) {
        fill = colour;
        update();
    }
}

void CircleShape::setPenWidth(int width) {
    penWidth = std::max(1, width);
    update();
}

void CircleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, penWidth));
    painter.setBrush(fill);
    // The outline stays inside the widget.
    const int diameter = std::min(width(), height()) - penWidth;
    const QRectF circle((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter,
                        diameter);
    painter.drawEllipse(circle);
}
