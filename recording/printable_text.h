#pragma once

#include <QString>

// Instrument texts may hold any byte. Where they reach a terminal, a file name or a file, each
// control character (C0, DEL and C1: a terminal may obey any of them) becomes "?".
bool isControlCharacter(QChar c);
QString printableText(const QString& text);
