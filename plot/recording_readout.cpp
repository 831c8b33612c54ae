#include "plot/recording_readout.h"

#include <QLabel>
#include <QLocale>
#include <cmath>
#include <functional>
#include <limits>

#include "plot/chart_widget.h"
#include "recording/elapsed_text.h"

namespace {

// Zooming and moving the view come in quick bursts; the figures follow once it rests.
constexpr int settleMs = 120;
// From the plot's corner and from the pointer, in pixels.
constexpr int boxInset = 6;
const QPoint cursorOffset(14, 14);
constexpr int dotSize = 7;

QString number(double value) {
    return QLocale().toString(value, 'g', 6);
}

}  // namespace

RecordingReadout::RecordingReadout(ChartWidget* chart)
    : QObject(chart),
      chart(chart),
      statisticsBox(new QLabel(chart)),
      cursor(new QLabel(chart)),
      cursorDot(new QLabel(chart)) {
    statisticsBox->setTextFormat(Qt::RichText);
    statisticsBox->setStyleSheet(
        QStringLiteral("QLabel { background: rgba(255, 255, 255, 215); border: 1px solid #a0a0a0;"
                       " padding: 3px; font-size: 9pt; }"));
    statisticsBox->setAttribute(Qt::WA_TransparentForMouseEvents);
    statisticsBox->hide();
    cursor->setStyleSheet(QStringLiteral(
        "QLabel { background: rgb(255, 255, 225); border: 1px solid black; padding: 2px; }"));
    cursor->setAttribute(Qt::WA_TransparentForMouseEvents);
    cursor->hide();
    cursorDot->setFixedSize(dotSize, dotSize);
    cursorDot->setStyleSheet(QStringLiteral(
        "QLabel { background: rgb(255, 255, 225); border: 1px solid black; border-radius: 3px; }"));
    cursorDot->setAttribute(Qt::WA_TransparentForMouseEvents);
    cursorDot->hide();
    viewSettled.setSingleShot(true);
    viewSettled.setInterval(settleMs);
    connect(&viewSettled, &QTimer::timeout, this, &RecordingReadout::updateShownStatistics);
    connect(chart, &ChartWidget::viewChanged, this, [this] {
        if (showing) {
            viewSettled.start();
        }
    });
    connect(chart, &ChartWidget::pointerMoved, this, &RecordingReadout::followPointer);
    connect(chart, &ChartWidget::pointerLeft, this, &RecordingReadout::hideCursor);
}

void RecordingReadout::show(OpenedRecording opened, double limitPercent) {
    recording = std::move(opened);
    limit = limitPercent;
    showing = true;
    whole = statisticsOf(chart->points(), recording, limit, 0, std::numeric_limits<qint64>::max());
    updateShownStatistics();
    statisticsBox->setVisible(statisticsWanted);
    statisticsBox->raise();
}

void RecordingReadout::setStatisticsWanted(bool wanted) {
    statisticsWanted = wanted;
    statisticsBox->setVisible(showing && wanted);
}

void RecordingReadout::hideCursor() {
    cursor->hide();
    cursorDot->hide();
}

void RecordingReadout::hide() {
    showing = false;
    viewSettled.stop();
    recording = OpenedRecording();
    statisticsBox->hide();
    hideCursor();
}

void RecordingReadout::followPointer(const QPointF& position) {
    const std::optional<std::size_t> index = showing ? chart->pointUnder(position) : std::nullopt;
    if (!index) {
        hideCursor();
        return;
    }
    const QPoint pixel = chart->pixelOf(chart->points().at(*index)).toPoint();
    cursorDot->move(pixel - QPoint(dotSize / 2, dotSize / 2));
    cursorDot->show();
    cursorDot->raise();
    cursor->setText(cursorText(chart->points(), recording, *index));
    cursor->adjustSize();
    // Beside the pointer, turned inwards near the chart's right and bottom edges.
    QPoint place = position.toPoint() + cursorOffset;
    if (place.x() + cursor->width() > chart->width()) {
        place.rx() = position.toPoint().x() - cursorOffset.x() - cursor->width();
    }
    if (place.y() + cursor->height() > chart->height()) {
        place.ry() = position.toPoint().y() - cursorOffset.y() - cursor->height();
    }
    cursor->move(place);
    cursor->show();
    cursor->raise();
}

void RecordingReadout::updateShownStatistics() {
    const ChartRange range = chart->visibleRange();
    shownPart = statisticsOf(chart->points(), recording, limit,
                             static_cast<qint64>(std::ceil(range.timeFrom)),
                             static_cast<qint64>(std::floor(range.timeTo)));
    showStatisticsText();
}

QString RecordingReadout::momentText(qint64 elapsedMs) const {
    const QString clock = recording.clockText(elapsedMs, whole.lastMs, false);
    return clock.isEmpty() ? elapsedText(elapsedMs) : clock;
}

void RecordingReadout::showStatisticsText() {
    const QString& unit = recording.statisticsUnit;
    QStringList rows;
    const auto addRow = [&rows](const QString& name, const QString& shown, const QString& all) {
        rows << QStringLiteral(
                    "<tr><td>%1</td><td align=right>&nbsp;%2</td>"
                    "<td align=right>&nbsp;%3</td></tr>")
                    .arg(name, shown, all);
    };
    const auto each = [&](const QString& name,
                          const std::function<QString(const RecordingStatistics&)>& text) {
        addRow(name, text(shownPart), text(whole));
    };
    addRow(QString(), QStringLiteral("<b>Shown</b>"), QStringLiteral("<b>Recording</b>"));
    each(QStringLiteral("Readings"),
         [](const RecordingStatistics& s) { return QString::number(s.readings); });
    each(QStringLiteral("Time span"), [](const RecordingStatistics& s) {
        return s.readings > 0 ? elapsedText(s.lastMs - s.firstMs) : QString();
    });
    const auto extreme = [&](double value, qint64 atMs, const RecordingStatistics& s) {
        return s.values > 0
                   ? QStringLiteral("%1 %2 at %3").arg(number(value), unit, momentText(atMs))
                   : QString();
    };
    each(QStringLiteral("Minimum"),
         [&](const RecordingStatistics& s) { return extreme(s.minimum, s.minimumAtMs, s); });
    each(QStringLiteral("Maximum"),
         [&](const RecordingStatistics& s) { return extreme(s.maximum, s.maximumAtMs, s); });
    each(QStringLiteral("Mean"), [&](const RecordingStatistics& s) {
        return s.values > 0 ? number(s.mean) + QLatin1Char(' ') + unit : QString();
    });
    each(QStringLiteral("Std. deviation"), [&](const RecordingStatistics& s) {
        return s.values > 0 ? number(s.standardDeviation) + QLatin1Char(' ') + unit : QString();
    });
    each(QStringLiteral("Above %1 %").arg(number(limit)), [](const RecordingStatistics& s) {
        return QStringLiteral("%1 &times;, %2").arg(s.excursions).arg(elapsedText(s.excursionMs));
    });
    statisticsBox->setText(
        QStringLiteral("<table cellspacing=0>%1</table>").arg(rows.join(QString())));
    statisticsBox->adjustSize();
    const QRectF plot = chart->plotArea();
    statisticsBox->move(static_cast<int>(plot.right()) - statisticsBox->width() - boxInset,
                        static_cast<int>(plot.top()) + boxInset);
}
