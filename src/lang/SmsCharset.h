#pragma once
// The module keeps SMS texts and element names in a character set of its own. Each language
// names one SMS character table (its SmsTable): 0 means no conversion, 1..11 select a list
// of {text byte, module byte} pairs (8, 9 and 10 the same list). Any other number, negative
// ones included, converts nothing.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>

struct SmsCharPair {
    uint8_t text;   // byte in the code page of the languages that use the list
    uint8_t module; // the module's code for it
};

constexpr int SmsTableCount = 12; // indexes 0..11; 0 is the empty table

// The pairs of one table, in the order that decides the searches (empty for 0 and for an
// index outside 1..11).
std::span<const SmsCharPair> SmsCharTable(int table);

// One byte: the first pair whose text (encode) or module (decode) byte matches; else c.
uint8_t EncodeSmsChar(uint8_t c, int table);
uint8_t DecodeSmsChar(uint8_t c, int table);

// Whether the module holds text byte c, through this table, as the character it is: a
// byte below 0x80 travels as itself (or by its pair), any other only by a pair of the
// table, since the module's own codes from 0x80 on are letters of its own.
bool SmsCharHoldable(uint8_t c, int table);

// A whole text, byte by byte, with the given table.
QByteArray EncodeSmsText(const QByteArray& s, int table);
QByteArray DecodeSmsText(const QByteArray& s, int table);

// A whole text with the SMS table of the current language (unchanged when no language is
// loaded).
QByteArray EncodeSmsText(const QByteArray& s);
QByteArray DecodeSmsText(const QByteArray& s);
void EncodeSmsText(const QByteArray& s, QByteArray& out);
void DecodeSmsText(const QByteArray& s, QByteArray& out);

// Texts that the module keeps in this character set (element names, SMS phrases, input and
// additional SMS texts) are held as the module's bytes, whatever language is current: the
// user sees them, and types them, in the current language. A typed character that the
// current language's code page or SMS table cannot carry to the module becomes "?".
QString SmsBytesToUnicode(const QByteArray& moduleBytes);
QByteArray SmsBytesFromUnicode(const QString& text);

// The module's bytes after an edit turned `shown` (how `held` was shown) into `typed`. Only
// the part that changed is encoded: the bytes before and after it stay as they were, so an
// unedited text (or the untouched part of one) goes back to the module exactly as it came,
// even where the table cannot map a byte back.
QByteArray SmsBytesAfterEdit(const QByteArray& held, const QString& shown, const QString& typed);
