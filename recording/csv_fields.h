#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Fields of comma-separated lines as RFC 4180 writes them: a field holding a comma, a quote,
// a line break or blanks at either end is enclosed in quotes, with each quote doubled.

// The field as it goes into a line, quoted only when needed.
QString csvField(const QString& text);

// Splits one line (without its line end) into fields. Returns false when a quoted field is
// not closed or a quote stands inside an unquoted field; `fields` is then unspecified.
bool splitCsvLine(const QString& line, QStringList& fields);
