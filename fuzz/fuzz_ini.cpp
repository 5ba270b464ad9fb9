// Arbitrary Settings.ini contents through the INI reader and writer. The input is
// "section NUL key NUL value NUL content"; a write followed by a read must give the value
// back whenever the names and the value are plain, and writing it again changes nothing.
#include "platform/IniFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray NextPart(QByteArray& rest)
{
    const qsizetype p = rest.indexOf('\0');
    if (p < 0) {
        QByteArray all = rest;
        rest.clear();
        return all;
    }
    QByteArray head = rest.left(p);
    rest = rest.mid(p + 1);
    return head;
}

bool PlainName(const QByteArray& s)
{
    if (s.isEmpty() || s.size() > 32)
        return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

bool PlainValue(const QByteArray& s)
{
    for (char c : s)
        if (c == '\r' || c == '\n' || c == '"' || c == '\'' || c == ' ' || c == '\t')
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray rest(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray section = NextPart(rest);
    const QByteArray key = NextPart(rest);
    const QByteArray value = NextPart(rest);
    const QByteArray content = rest;

    bool found = false;
    (void)platform::IniFindValue(content, section, key, &found);
    const QByteArray written = platform::IniSetValue(content, section, key, value);
    if (PlainName(section) && PlainName(key) && PlainValue(value)) {
        const QByteArray back = platform::IniFindValue(written, section, key, &found);
        if (!found || back != value)
            std::abort();
        if (platform::IniSetValue(written, section, key, value) != written)
            std::abort();
    }
    return 0;
}
