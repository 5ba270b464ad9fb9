#pragma once
// Reading and writing single values of an INI file ("[Section]" lines and "Key=Value"
// lines), with the rules the program's settings file has always had:
// - section and key names are compared without regard to ASCII letter case;
// - a missing file, section or key reads as the caller's default; "Key=" reads as empty;
// - a value is the text after the first "=", without surrounding blanks, and without one
//   pair of matching quotes (' or ") around it;
// - values are 8-bit bytes, passed through unchanged;
// - a write changes only the one line of the key (or adds it), keeps every other line
//   byte for byte and uses the line end the file already uses (CR LF for a new file);
// - every call opens the file, acts and closes it again: nothing is cached.
#include <QByteArray>
#include <QString>

namespace platform {

// ---- text layer (no file access; used by the file layer and by the fuzz target) ------

// The value of Key in Section of the INI text Content. Found (when given) tells whether
// the key exists; when it does not, the result is empty.
QByteArray IniFindValue(const QByteArray& Content, const QByteArray& Section,
                        const QByteArray& Key, bool* Found = nullptr);

// Content with Key in Section set to Value: the key's line is rewritten after its "=",
// or a new "Key=Value" line is added at the end of the section, or the section is
// added at the end of the text. A line break in Value ends the value there (a value is
// one line; anything after a break is dropped rather than written as further keys).
QByteArray IniSetValue(const QByteArray& Content, const QByteArray& Section,
                       const QByteArray& Key, const QByteArray& Value);

// ---- file layer -------------------------------------------------------------------

// The value of Key in Section of FileName, or Default when the file cannot be read or
// holds no such key.
QByteArray ReadProfileString(const QString& FileName, const QByteArray& Section,
                             const QByteArray& Key, const QByteArray& Default);

// Writes Value under Key in Section of FileName, creating file and section as needed.
// False when the file could not be read (when it exists) or written; the file is then
// left as it was.
bool WriteProfileString(const QString& FileName, const QByteArray& Section,
                        const QByteArray& Key, const QByteArray& Value);

} // namespace platform
