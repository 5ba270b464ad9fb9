#pragma once
// The lines of a template file and the reader of its values. A template is a list of
// "key=value" lines; the main window writes them in a fixed order and reads them back
// by key, so that files from other versions (keys in another order or letter case) load
// the same.
#include "link/mytypes.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <cstdint>
#include <stdexcept>

namespace tpl {

// The value with every line break (CR LF, CR or LF) as one blank: a value never splits
// its line, so the lines after it survive a reload.
QByteArray OneLine(const QByteArray& value);

// "key=value" (the value on one line); numbers in decimal, Booleans as -1 and 0.
QByteArray TextLine(const QByteArray& key, const QByteArray& value);
QByteArray NumberLine(const QByteArray& key, std::int64_t value);
QByteArray BoolLine(const QByteArray& key, bool value);
// A Contact ID value: its five bytes as decimal numbers, each followed by a TAB (a
// shorter code is filled with 0, a longer one cut).
QByteArray ContactIDValue(const tduomenys& cid);

// A value the reader cannot use: the load ends there.
class ETemplateValue : public std::runtime_error {
public:
    explicit ETemplateValue(const QByteArray& key);
};

// A decimal integer of 32 bits: optional sign, then digits only. False for anything
// else (empty, blanks, other characters, out of range).
bool ParseDecimal(const QByteArray& s, std::int32_t& out);
// A 32-bit word in decimal: written unsigned (up to 4294967295); the signed form of
// files from older versions (down to -2147483648) reads as the same 32 bits.
bool ParseWord(const QByteArray& s, std::uint32_t& out);

class TTemplateReader {
public:
    explicit TTemplateReader(const QList<QByteArray>& lines);

    // The value of the first line whose text before its first "=" is the key, compared
    // without regard to ASCII case; empty when there is none.
    QByteArray Text(const QByteArray& key) const;
    bool Has(const QByteArray& key) const;
    // A decimal integer; throws ETemplateValue when missing or not a number.
    std::int32_t Number(const QByteArray& key) const;
    // A 32-bit word (ParseWord); throws ETemplateValue when missing or not such a number.
    std::uint32_t Word(const QByteArray& key) const;
    // A number (non-zero is true) or "True"/"False" in any case; throws otherwise.
    bool Boolean(const QByteArray& key) const;
    // Five numbers separated by TABs (a TAB after the last is allowed); each becomes one
    // byte (its low 8 bits). Fewer than five fields or a field that is not a number throws.
    tduomenys ContactID(const QByteArray& key) const;

private:
    QHash<QByteArray, QByteArray> values_; // key in lower case -> value of its first line
};

} // namespace tpl
