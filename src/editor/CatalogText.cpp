#include "editor/CatalogText.h"

namespace catalogtext {

namespace {

int UnitAt(const QByteArray& s, qsizetype i)
{
    return static_cast<unsigned char>(s.at(i));
}

int UnitAt(const QString& s, qsizetype i)
{
    return s.at(i).unicode();
}

template <typename Str>
QList<Str> SplitLinesOf(const Str& text)
{
    QList<Str> lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const int c = UnitAt(text, i);
        if (c == '\r' || c == '\n') {
            lines.append(text.mid(start, i - start));
            if (c == '\r' && i + 1 < n && UnitAt(text, i + 1) == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

template <typename Str>
bool ParseInt32Of(const Str& text, std::int32_t& value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (UnitAt(text, i) == '-' || UnitAt(text, i) == '+')) {
        negative = UnitAt(text, i) == '-';
        ++i;
    }
    if (i >= text.size())
        return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const int c = UnitAt(text, i);
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL || v < -2147483648LL)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

} // namespace

QList<QByteArray> SplitLines(const QByteArray& text)
{
    return SplitLinesOf(text);
}

QList<QString> SplitLines(const QString& text)
{
    return SplitLinesOf(text);
}

bool ParseInt32(const QByteArray& text, std::int32_t& value)
{
    return ParseInt32Of(text, value);
}

bool ParseInt32(const QString& text, std::int32_t& value)
{
    return ParseInt32Of(text, value);
}

} // namespace catalogtext
