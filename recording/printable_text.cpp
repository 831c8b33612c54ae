#include "recording/printable_text.h"

bool isControlCharacter(QChar c) {
    const char16_t code = c.unicode();
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

QString printableText(const QString& text) {
    QString printable = text;
    for (QChar& c : printable) {
        if (isControlCharacter(c)) {
            c = QLatin1Char('?');
        }
    }
    return printable;
}
