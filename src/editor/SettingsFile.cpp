#include "editor/SettingsFile.h"

#include "editor/MainTables.h"
#include "platform/AppPaths.h"
#include "platform/IniFile.h"
#include "platform/UiDialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace settings {

QString SettingsFilePath()
{
    return platform::ProgramFile(QLatin1String(SettingsFileName));
}

void IniReadString(const QByteArray& Section, const QByteArray& Ident, QByteArray& Value,
                   const QByteArray& Default)
{
    Value = platform::ReadProfileString(SettingsFilePath(), Section, Ident, Default);
}

bool IniWriteString(const QByteArray& Section, const QByteArray& Ident, const QByteArray& Value)
{
    return platform::WriteProfileString(SettingsFilePath(), Section, Ident, Value);
}

int IniTextToInt(const QByteArray& Text, int Default)
{
    const QByteArray t = Text.trimmed();
    if (t.isEmpty())
        return Default;
    // Digits only after an optional sign: no hexadecimal, no exponent, no inner blanks.
    const qsizetype first = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (first == t.size())
        return Default;
    for (qsizetype i = first; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9')
            return Default;
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    return ok ? v : Default;
}

void ReadServiceCode()
{
    QByteArray code;
    IniReadString(SettingsSection, "Code", code, "0");
    const int n = IniTextToInt(code, 0);
    NormalMode = n != ServiceCode;
    ShowPagesAtStart = n == ShowPagesCode;
}

bool ReadPSTNOption()
{
    QByteArray pstn;
    IniReadString(SettingsSection, "PSTN", pstn, "0");
    return IniTextToInt(pstn, 0) == 1;
}

bool IsValidTestNumber(const QByteArray& Number)
{
    return Number.size() == TestNumberLength;
}

namespace {
QByteArray TestNumberKey(int n)
{
    return QByteArrayLiteral("PhoneNumber") + QByteArray::number(n);
}
} // namespace

TTestNumberList LoadTestNumbers()
{
    TTestNumberList list;
    for (int n = 1; n <= StoredTestNumbers; ++n) {
        QByteArray number;
        IniReadString(SettingsSection, TestNumberKey(n), number, "");
        if (IsValidTestNumber(number))
            list.Items.append(number);
    }
    list.ItemIndex = list.Items.isEmpty() ? -1 : 0;
    return list;
}

void SaveTestNumbers(const QList<QByteArray>& Items)
{
    for (int i = 0; i < Items.size() && i < StoredTestNumbers; ++i)
        if (IsValidTestNumber(Items[i]))
            IniWriteString(SettingsSection, TestNumberKey(i + 1), Items[i]);
}

bool TntButton28Click(TTestNumberList& List, QWidget* Parent)
{
    QByteArray preset;
    IniReadString(SettingsSection, "PhoneNumber", preset, "");
    const std::optional<QString> answer =
        ui::InputQuery(QStringLiteral("Iveskite testavimo numeri"),
                       QStringLiteral("Numeris (pvz: 37060000000)"), QString::fromLatin1(preset),
                       Parent);
    if (!answer)
        return false;
    if (answer->size() != TestNumberLength) {
        ui::ShowPlainMessage(QStringLiteral("Numeris neteisingas"), Parent);
        return false;
    }
    List.Items.append(answer->toLatin1());
    List.ItemIndex = static_cast<int>(List.Items.size()) - 1;
    return true;
}

bool AppendDebugCode(std::uint32_t LastRequest)
{
    const QString folder = platform::ProgramFile(QStringLiteral("Debug"));
    if (!QDir().mkpath(folder))
        return false;
    const QString name = platform::ProgramFile(QLatin1String(DebugFileName));

    QByteArray line = QByteArray::number(LastRequest, 16).toUpper().rightJustified(8, '0');
    line += "\r\n";

    // Lines are only ever added: the file is not read back and rewritten, so a file that
    // cannot be read loses nothing. Only its last byte is looked at, so that a last line
    // without its line end does not run into the new one.
    QFile f(name);
    if (f.exists() && f.size() > 0 && f.open(QIODevice::ReadOnly)) {
        if (f.seek(f.size() - 1)) {
            char last = 0;
            if (f.getChar(&last) && last != '\n' && last != '\r')
                line.prepend("\r\n");
        }
        f.close();
    }
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const bool ok = f.write(line) == line.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

} // namespace settings
