#include "link/UnitEil.h"

#include <cstdint>

namespace {

template <typename Str, typename Unit>
int HexDigits(const Str& S, Unit (*unitAt)(const Str&, qsizetype), const std::string& text)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < S.size(); ++i) {
        const auto c = unitAt(S, i);
        std::uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else
            throw EHexError("Ne HEX " + text);
        value = value * 16u + digit;
    }
    return static_cast<int>(value);
}

unsigned char ByteAt(const QByteArray& s, qsizetype i)
{
    return static_cast<unsigned char>(s.at(i));
}

char16_t UnitAt(const QString& s, qsizetype i)
{
    return s.at(i).unicode();
}

} // namespace

int HexToInt(const QByteArray& S)
{
    return HexDigits<QByteArray, unsigned char>(S, &ByteAt, S.toStdString());
}

int HexToInt(const QString& S)
{
    return HexDigits<QString, char16_t>(S, &UnitAt, S.toStdString());
}

int HexToInt(const char* S)
{
    return HexToInt(QByteArray(S));
}

namespace {
// Head := the text before the first Sep; S := what follows the first character of that
// occurrence. Without Sep: Head := S, S := empty.
template <class Text>
void SplitText(Text& S, const Text& Sep, Text& Head)
{
    const qsizetype p = Sep.isEmpty() ? -1 : S.indexOf(Sep);
    if (p < 0) {
        Head = S;
        S.clear();
        return;
    }
    Head = S.left(p);
    S = S.mid(p + 1);
}
} // namespace

void SplitAt(QByteArray& S, const QByteArray& Sep, QByteArray& Head)
{
    SplitText(S, Sep, Head);
}

void SplitAtW(QString& S, const QString& Sep, QString& Head)
{
    SplitText(S, Sep, Head);
}
