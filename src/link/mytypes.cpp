#include "link/mytypes.h"

#include <algorithm>

void FillBytes(tduomenys& A, std::uint8_t B)
{
    std::fill(A.begin(), A.end(), B);
}

void CopyBytesInto(tduomenys& A, const tduomenys& Src, int Start)
{
    // Work in 64 bits so that no Start near the integer limits can overflow.
    const long long n = static_cast<long long>(A.size());
    const long long m = static_cast<long long>(Src.size());
    for (long long i = 0; i < m; ++i) {
        const long long t = static_cast<long long>(Start) + i;
        if (t >= n)
            break;
        if (t < 0)
            continue;
        A[static_cast<std::size_t>(t)] = Src[static_cast<std::size_t>(i)];
    }
}

namespace {

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool SameTextAscii(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (AsciiUpper(a.at(i)) != AsciiUpper(b.at(i)))
            return false;
    return true;
}

bool SameTextAscii(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a.at(i).unicode();
        char16_t y = b.at(i).unicode();
        if (x >= 'a' && x <= 'z')
            x = static_cast<char16_t>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char16_t>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

template <typename Str, typename Range>
int FindText(const Str& S, const Range& items)
{
    int i = 0;
    for (const auto& item : items) {
        if (SameTextAscii(S, item))
            return i;
        ++i;
    }
    return -1;
}

} // namespace

int IndexOfText(const QByteArray& S, const QList<QByteArray>& Items)
{
    return FindText(S, Items);
}

int IndexOfText(const QByteArray& S, std::initializer_list<QByteArray> Items)
{
    return FindText(S, Items);
}

int IndexOfText(const QString& S, const QStringList& Items)
{
    return FindText(S, Items);
}
