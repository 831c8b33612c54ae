#include "plot/chart_export.h"

#include <QBuffer>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "plot/chart_widget.h"

namespace {

bool fail(QString* error, const QString& reason) {
    if (error) {
        *error = reason;
    }
    return false;
}

bool openForWriting(QSaveFile& file, QString* error) {
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(error, file.errorString());
    }
    return true;
}

// Leaves the old file (or none) in place, with the reason the write failed.
bool abandon(QSaveFile& file, QString* error) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return fail(error, reason);
}

// commit() flushes the buffered rest itself but may ignore that this failed (a full disk)
// and put the incomplete file in place; so the rest is flushed and checked here first.
bool commit(QSaveFile& file, QString* error) {
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        return abandon(file, error);
    }
    if (!file.commit()) {
        return fail(error, file.errorString());
    }
    return true;
}

QRect chartArea(const ChartWidget& chart) {
    return QRect(QPoint(0, 0), chart.size());
}

void appendNumber(std::string& line, double value) {
    char digits[32];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, written.ptr);
}

// A text cell that begins like a formula would be run as one by a spreadsheet (a hostile
// recording can put anything in its unit); a leading apostrophe keeps it plain text.
bool readsAsFormula(const QString& text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front());
}

std::string quoted(const QString& text) {
    std::string field = readsAsFormula(text) ? "\"'" : "\"";
    for (const char c : text.toStdString()) {
        if (c == '"') {
            field += '"';
        }
        field += c;
    }
    field += '"';
    return field;
}

}  // namespace

bool saveChartPng(const ChartWidget& chart, const QString& path, QString* error) {
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        chart.paintChart(painter, chartArea(chart));
    }
    // Encoded in memory first: the encoder loses its image when a write to the disk fails,
    // and a full disk is then our own write's error, checked like every other.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        if (error) {
            *error = QStringLiteral("the chart could not be encoded as PNG");
        }
        return false;
    }
    QSaveFile file(path);
    if (!openForWriting(file, error)) {
        return false;
    }
    if (file.write(png) != png.size()) {
        return abandon(file, error);
    }
    return commit(file, error);
}

bool saveChartSvg(const ChartWidget& chart, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!openForWriting(file, error)) {
        return false;
    }
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(chart.size());
    svg.setViewBox(chartArea(chart));
    svg.setTitle(chart.title());
    {
        QPainter painter(&svg);
        if (!painter.isActive()) {
            return abandon(file, error);
        }
        chart.paintChart(painter, chartArea(chart));
    }
    return commit(file, error);
}

bool saveChartPdf(const ChartWidget& chart, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!openForWriting(file, error)) {
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(chart.title());
        QPainter painter(&pdf);
        if (!painter.isActive()) {
            return abandon(file, error);
        }
        paintChartOnPage(chart, painter, pdf);
    }
    return commit(file, error);
}

bool saveChartImage(const ChartWidget& chart, const QString& path, QString* error) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        return saveChartSvg(chart, path, error);
    }
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        return saveChartPdf(chart, path, error);
    }
    return saveChartPng(chart, path, error);
}

bool exportChartCsv(const ChartWidget& chart, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!openForWriting(file, error)) {
        return false;
    }
    const std::string unit = quoted(chart.valueAxisTitle());
    // Written in slices so a long recording needs no second copy of itself in memory.
    constexpr std::size_t slice = 1 << 20;
    std::string text = "elapsed ms,value,unit\r\n";
    text.reserve(slice + 256);
    const PointStore& points = chart.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const StoredPoint point = points.at(i);
        if (!std::isfinite(point.y)) {
            continue;  // a break in the line or a reading beyond the range: no value
        }
        appendNumber(text, point.x);
        text += ',';
        appendNumber(text, point.y);
        text += ',';
        text += unit;
        text += "\r\n";
        if (text.size() >= slice) {
            if (file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
                return abandon(file, error);
            }
            text.clear();
        }
    }
    if (file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
        return abandon(file, error);
    }
    return commit(file, error);
}

void paintChartOnPage(const ChartWidget& chart, QPainter& painter, const QPagedPaintDevice& page) {
    const QRect printable = page.pageLayout().paintRectPixels(page.logicalDpiX());
    const QSize size = chart.size();
    if (size.isEmpty() || printable.isEmpty()) {
        return;
    }
    const double scale = std::min(static_cast<double>(printable.width()) / size.width(),
                                  static_cast<double>(printable.height()) / size.height());
    painter.save();
    painter.translate((printable.width() - scale * size.width()) / 2.0,
                      (printable.height() - scale * size.height()) / 2.0);
    painter.scale(scale, scale);
    chart.paintChart(painter, chartArea(chart));
    painter.restore();
}
