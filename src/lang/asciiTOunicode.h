#pragma once
// The seven 8-bit code pages of the language texts and the conversions between them and
// UTF-16. A code page is chosen by its index 0..6; an index outside that range converts
// nothing (every byte stays the code unit of the same value).
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

struct CodePageEntry {
    uint8_t code;   // the 8-bit code, 0x80..0xFF
    char16_t unit;  // its UTF-16 code unit
};

// Number of code-page tables: 0 Windows-1257, 1 Windows-1250, 2 Windows-1251,
// 3 Windows-1253, 4 Windows-1252, 5 Windows-1254, 6 Windows-1258.
constexpr int CodePageCount = 7;

// The entries of one table in ascending byte order (empty for an index outside 0..6).
// A byte without an entry converts to the code unit of the same value.
std::span<const CodePageEntry> CodePageTable(int codeTable);

// The code-page index of a font character set: 186 -> 0, 238 and 255 -> 1, 204 -> 2,
// 161 -> 3, 162 -> 5, 163 -> 6; anything else -> 1.
int CharsetToCodeTable(int32_t charset);

// One byte to one UTF-16 code unit through the table.
char16_t MapAnsiChar(uint8_t c, int codeTable);

// 8-bit text to UTF-16, one code unit per byte.
QString AnsiToUnicode(const QByteArray& s, int codeTable);
void AnsiToUnicode(const QByteArray& s, int codeTable, QString& out);

// The inverse: each UTF-16 code unit becomes the byte of the first table entry with that
// unit; else the byte of the same value when that byte converts back to this very unit;
// else "?". A character never turns into another one.
uint8_t UnmapUnicodeChar(char16_t unit, int codeTable);
QByteArray UnicodeToAnsi(const QString& s, int codeTable);
