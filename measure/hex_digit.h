#pragma once

#include <QChar>

// The value of one hexadecimal digit (either case), or -1 for any other character. Number
// parsers would also take signs and blanks, which neither the instrument's texts nor
// SETUP.INI's integers allow.
inline int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}
