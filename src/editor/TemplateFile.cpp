#include "editor/TemplateFile.h"

#include <algorithm>
#include <limits>

namespace tpl {

namespace {

QByteArray AsciiLower(const QByteArray& s)
{
    QByteArray out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

QByteArray OneLine(const QByteArray& value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            out.append(' ');
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray TextLine(const QByteArray& key, const QByteArray& value)
{
    return key + '=' + OneLine(value);
}

QByteArray NumberLine(const QByteArray& key, std::int64_t value)
{
    return key + '=' + QByteArray::number(static_cast<qlonglong>(value));
}

QByteArray BoolLine(const QByteArray& key, bool value)
{
    return key + (value ? "=-1" : "=0");
}

QByteArray ContactIDValue(const tduomenys& cid)
{
    QByteArray out;
    for (std::size_t i = 0; i < 5; ++i) {
        out += QByteArray::number(i < cid.size() ? cid[i] : 0);
        out += '\t';
    }
    return out;
}

ETemplateValue::ETemplateValue(const QByteArray& key)
    : std::runtime_error("template value " + key.toStdString())
{
}

namespace {

// An optional sign, then digits only, inside [min, max].
bool ParseInteger(const QByteArray& s, std::int64_t min, std::int64_t max, std::int64_t& out)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size())
        return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > std::max(max, -min))
            return false;
    }
    if (negative)
        v = -v;
    if (v < min || v > max)
        return false;
    out = v;
    return true;
}

} // namespace

bool ParseDecimal(const QByteArray& s, std::int32_t& out)
{
    std::int64_t v = 0;
    if (!ParseInteger(s, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v))
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

bool ParseWord(const QByteArray& s, std::uint32_t& out)
{
    std::int64_t v = 0;
    if (!ParseInteger(s, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::uint32_t>::max(), v))
        return false;
    out = static_cast<std::uint32_t>(v);
    return true;
}

TTemplateReader::TTemplateReader(const QList<QByteArray>& lines)
{
    for (const QByteArray& line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue; // a line without "=" names no key
        const QByteArray key = AsciiLower(line.left(eq));
        if (!values_.contains(key))
            values_.insert(key, line.mid(eq + 1));
    }
}

QByteArray TTemplateReader::Text(const QByteArray& key) const
{
    return values_.value(AsciiLower(key));
}

bool TTemplateReader::Has(const QByteArray& key) const
{
    return values_.contains(AsciiLower(key));
}

std::int32_t TTemplateReader::Number(const QByteArray& key) const
{
    std::int32_t v = 0;
    if (!ParseDecimal(Text(key), v))
        throw ETemplateValue(key);
    return v;
}

std::uint32_t TTemplateReader::Word(const QByteArray& key) const
{
    std::uint32_t v = 0;
    if (!ParseWord(Text(key), v))
        throw ETemplateValue(key);
    return v;
}

bool TTemplateReader::Boolean(const QByteArray& key) const
{
    const QByteArray text = Text(key);
    std::int32_t v = 0;
    if (ParseDecimal(text, v))
        return v != 0;
    const QByteArray lower = AsciiLower(text);
    if (lower == "true")
        return true;
    if (lower == "false")
        return false;
    throw ETemplateValue(key);
}

tduomenys TTemplateReader::ContactID(const QByteArray& key) const
{
    const QByteArray text = Text(key);
    tduomenys cid(5, 0);
    qsizetype pos = 0;
    for (std::size_t i = 0; i < cid.size(); ++i) {
        // Nothing is read past the end of the value: a missing field is an error.
        if (pos > text.size())
            throw ETemplateValue(key);
        qsizetype tab = text.indexOf('\t', pos);
        if (tab < 0)
            tab = text.size();
        std::int32_t v = 0;
        if (!ParseDecimal(text.mid(pos, tab - pos), v))
            throw ETemplateValue(key);
        cid[i] = static_cast<std::uint8_t>(v & 0xFF);
        pos = tab + 1;
    }
    return cid;
}

} // namespace tpl
