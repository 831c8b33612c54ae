#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>

// The bytes of an INI file, read and edited in memory.
//
// Lines end with LF or CR LF. A line whose first non-blank character is "[" starts a
// section named by the text up to the first "]" (or the line's end); a line whose first
// non-blank character is ";" is a comment; any other line holding "=" is a key line, with
// the key before the first "=" and the value after it. Blanks (spaces, tabs, stray CRs) around
// names and values are not part of them, so "Limit = 12 " holds 12, as on Windows.
// Section and key names are compared without regard to case; sections of the same name
// count as one. The first line of a key counts, both for reading and for replacing.
// Lines without "=" and keys outside any section are ignored but kept. Text is UTF-8;
// a leading byte order mark is skipped.
class IniText {
public:
    IniText() = default;
    explicit IniText(QByteArray bytes) : text(std::move(bytes)) {}

    const QByteArray& bytes() const { return text; }

    // The value of the key, or nullopt when the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    QString string(const QString& section, const QString& key, const QString& defaultValue) const;

    // The default unless the value is an integer as iniInteger() takes it.
    int integer(const QString& section, const QString& key, int defaultValue) const;

    // Replaces the value of the key, leaving every other byte as it was. A missing key is
    // added after the last key line of its section, a missing section at the end of the
    // text. New lines take the line end of the text's first line (LF when it has none).
    // A last line without a line end gets one before a line is added after it.
    // Returns false, changing nothing, when a name is unfit for an INI file (empty, with
    // blanks around it, a line break, "]" in a section, "=" in a key or a key starting
    // with "[" or ";") or the value holds a line break.
    bool setValue(const QString& section, const QString& key, const QString& value);

private:
    QByteArray text;
};
