#include "chart/form_chart.h"

TFormChart::TFormChart(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Chart Zalvo"));
    resize(1036, 722);
}
