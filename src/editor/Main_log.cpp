// The traffic log line: what the module's serial traffic looks like in the log.
#include "editor/Main.h"

namespace {
QByteArray hex(unsigned v, int digits)
{
    return QByteArray::number(v, 16).toUpper().rightJustified(digits, '0');
}
} // namespace

QByteArray MakeUsartLogLine(const QByteArray& text, bool outGoing, bool withRegisters,
                            quint16 tcpsr, quint8 modemCR, quint8 modemSR, quint8 modemFlags)
{
    QByteArray t;
    t.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n')
            t.append(' ');
        else if (c == '\0')
            t.append('.');
        else
            t.append(c);
    }
    if (!outGoing)
        return "<<" + t;
    if (withRegisters)
        return "ModemCR:" + hex(modemCR, 2) + " ModemSR" + hex(modemSR, 2) + " ModemFlags" +
               hex(modemFlags, 2) + " TCPSR" + hex(tcpsr, 4) + "\r\n>>" + t;
    return ">>" + t;
}
