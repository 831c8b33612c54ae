#pragma once

#include <QString>

class ChartWidget;
class QPagedPaintDevice;
class QPainter;

// Files made from the chart. Each export writes its whole file or leaves none behind;
// on failure it returns false and, when `error` is given, puts the reason there.

// The chart as it is shown (zoom included), as a PNG image of the widget's size.
bool saveChartPng(const ChartWidget& chart, const QString& path, QString* error = nullptr);
// The chart as it is shown, as an SVG drawing of the widget's size.
bool saveChartSvg(const ChartWidget& chart, const QString& path, QString* error = nullptr);
// The chart as it is shown, on one landscape A4 page of a PDF document.
bool saveChartPdf(const ChartWidget& chart, const QString& path, QString* error = nullptr);
// By the path's suffix, in any letter case: ".svg" SVG, ".pdf" PDF, anything else PNG.
bool saveChartImage(const ChartWidget& chart, const QString& path, QString* error = nullptr);

// Every point of the recording, whatever part of it the chart shows, as CSV:
//
//   elapsed ms,value,unit
//   0,12.5,"kV/m"
//   203,-0.001,"kV/m"
//
// One header line, then one line per point in recorded order; fields separated by ","
// and lines ended by CR LF, UTF-8. Numbers always use "." as the decimal point whatever
// the regional settings, with the fewest digits that read back as exactly the recorded
// value (scientific notation such as 1e-07 where that is shorter; "nan" and "inf" for
// values that are not numbers). The unit is the value axis title, always in double
// quotes, a quote inside it doubled; a unit that begins with "=", "+", "-", "@", a tab or a
// carriage return gets an apostrophe in front, so that no spreadsheet runs it as a formula.
bool exportChartCsv(const ChartWidget& chart, const QString& path, QString* error = nullptr);

// Draws the chart onto the page of a printer or document, scaled to fit the printable
// area with its proportions kept.
void paintChartOnPage(const ChartWidget& chart, QPainter& painter, const QPagedPaintDevice& page);
