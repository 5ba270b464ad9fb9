#include "editor/CIDCatalog.h"

#include <QFile>

#include <algorithm>

#include "editor/CatalogText.h"
#include "link/UnitEil.h"
#include "platform/AppPaths.h"

TCIDDescriptions CIDDescriptions;

namespace {

const QByteArray kTab("\t");

// A flag field: a number is true when it is not zero, the words "true" and "false" are
// read in any case, anything else is false.
bool ReadFlag(const QByteArray& field)
{
    std::int32_t n = 0;
    if (catalogtext::ParseInt32(field, n))
        return n != 0;
    return field.toLower() == "true";
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Fills Qualifier and EventDigits from Code; false when the code is not a qualifier
// digit 1 or 3 followed by three decimal digits.
bool ValidateCode(TCIDDescription& e)
{
    if (e.Code.size() != CIDCodeWidth)
        return false;
    bool valid = true;
    switch (e.Code.at(0)) {
    case '1': e.Qualifier = 6; break;
    case '3': e.Qualifier = 7; break;
    default: valid = false; break; // the qualifier keeps its value
    }
    for (int i = 0; i < 3; ++i) {
        const char c = e.Code.at(i + 1);
        if (IsDigit(c))
            e.EventDigits[i] = static_cast<std::uint8_t>(c - '0');
        else
            valid = false;
    }
    return valid;
}

// The CID_Descriptions.txt content may carry a UTF-8 byte-order mark when it was saved
// by an editor that adds one; it is never part of the first description.
QByteArray WithoutUtf8Mark(const QByteArray& content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        return content.mid(3);
    return content;
}

} // namespace

TCIDDescription ParseCIDLine(const QByteArray& Line, bool& CodeValid)
{
    TCIDDescription e;
    QByteArray rest = Line;
    QByteArray field;

    SplitAt(rest, kTab, field);
    e.FileDescription = field.left(CIDDescriptionWidth);
    e.Description = e.FileDescription;

    SplitAt(rest, kTab, field);
    e.Code = field.left(CIDCodeWidth);

    SplitAt(rest, kTab, field);
    e.ParamKind1 = field.toLower();
    SplitAt(rest, kTab, field);
    e.ParamKind2 = field.toLower();

    SplitAt(rest, kTab, field);
    e.RestoreAvailable = ReadFlag(field);
    SplitAt(rest, kTab, field);
    e.Preset24H = ReadFlag(field);

    SplitAt(rest, kTab, field);
    std::int32_t n = -1;
    e.TextNumber = catalogtext::ParseInt32(field, n) ? n : -1;
    // Anything after the seventh field is ignored.

    CodeValid = ValidateCode(e);
    return e;
}

TCIDLoadReport ParseCIDDescriptions(const QByteArray& Content, TCIDDescriptions& Catalogue)
{
    TCIDLoadReport report;
    const QList<QByteArray> lines = catalogtext::SplitLines(WithoutUtf8Mark(Content));
    Catalogue.clear();
    Catalogue.reserve(static_cast<std::size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        if (line.isEmpty() || line.at(0) == '/')
            continue;
        bool valid = false;
        Catalogue.push_back(ParseCIDLine(line, valid));
        if (!valid) {
            report.Messages.append(CIDMsgBadCode);
            report.BadLines.append(static_cast<int>(i + 1));
        }
    }
    report.Loaded = true;
    return report;
}

TCIDLoadReport LoadCIDDescriptions(const QString& Path, TCIDDescriptions& Catalogue)
{
    TCIDLoadReport failed;
    failed.Messages.append(CIDMsgFileFault);

    QFile file(Path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return failed;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed;
    return ParseCIDDescriptions(content, Catalogue);
}

TCIDLoadReport LoadCIDDescriptions(TCIDDescriptions& Catalogue)
{
    return LoadCIDDescriptions(platform::ProgramFile(QStringLiteral("CID_Descriptions.txt")), Catalogue);
}

void DecodeContactID(const TContactIDCode& CID, QByteArray& Key, int& Group, int& Zone)
{
    if (CID.size() < static_cast<std::size_t>(ContactIDCodeSize))
        return;
    const auto hi = [&](int i) { return static_cast<int>(CID[static_cast<std::size_t>(i)] >> 4); };
    const auto lo = [&](int i) { return static_cast<int>(CID[static_cast<std::size_t>(i)] & 0x0F); };

    Key = CID[0] == 7 ? QByteArray("3") : QByteArray("1");
    Key += QByteArray::number(hi(1));
    Key += QByteArray::number(lo(1));
    Key += QByteArray::number(hi(2));
    Group = lo(2) * 10 + hi(3);
    Zone = lo(3) * 100 + hi(4) * 10 + lo(4);
}

bool IsEmptyContactID(const TContactIDCode& CID)
{
    return CID.size() == static_cast<std::size_t>(ContactIDCodeSize) &&
           std::all_of(CID.begin(), CID.end(), [](std::uint8_t b) { return b == 0; });
}

TContactIDCode EncodeContactID(const TCIDDescription& Entry, int P1, int P2)
{
    // Truncating division: an absent parameter (-1) leaves -1 as its last digit, which
    // becomes an F nibble (and the byte 0xFF for the zone).
    const int groupTens = P1 / 10;
    const int groupUnits = P1 % 10;
    const int zoneHundreds = P2 / 100;
    const int zoneTens = (P2 % 100) / 10;
    const int zoneUnits = P2 % 10;
    const int d1 = Entry.EventDigits[0];
    const int d2 = Entry.EventDigits[1];
    const int d3 = Entry.EventDigits[2];

    const auto low8 = [](int v) { return static_cast<std::uint8_t>(static_cast<unsigned>(v) & 0xFFu); };
    TContactIDCode cid(ContactIDCodeSize);
    cid[0] = Entry.Qualifier;
    cid[1] = low8(d1 * 16 + d2);
    cid[2] = low8(d3 * 16 + groupTens);
    cid[3] = low8(groupUnits * 16 + zoneHundreds);
    cid[4] = low8(zoneTens * 16 + zoneUnits);
    return cid;
}

std::uint8_t FindCIDByCode(const TCIDDescriptions& Catalogue, const QByteArray& Key, int& Index)
{
    for (std::size_t i = 0; i < Catalogue.size(); ++i) {
        if (Catalogue[i].Code == Key) {
            Index = static_cast<int>(i);
            return 1;
        }
    }
    Index = static_cast<int>(Catalogue.size()) - 1;
    return Key.size() >= CIDCodeWidth ? 2 : 0;
}

int IndexOfCIDDescription(const TCIDDescriptions& Catalogue, const QByteArray& Text)
{
    for (std::size_t i = 0; i < Catalogue.size(); ++i)
        if (Catalogue[i].Description == Text)
            return static_cast<int>(i);
    return -1;
}

std::uint8_t FindCIDByDescription(const TCIDDescriptions& Catalogue, const QByteArray& Text,
                                  TCIDDescription& Entry)
{
    const int i = IndexOfCIDDescription(Catalogue, Text);
    if (i < 0)
        return 0;
    Entry = Catalogue[static_cast<std::size_t>(i)];
    return 1;
}

bool LookupCIDParamKind(const QByteArray& Kind, TCIDParamKind& Info)
{
    const QByteArray k = Kind.toLower();
    TCIDParamKind r;
    if (k == "null") {
        // absent: all zero
    } else if (k == "partition") {
        r = {true, 4, 1, 8, false};
    } else if (k == "user") {
        r = {true, 5, 0, 32, false};
    } else if (k == "zone") {
        r = {true, 3, 1, 32, true};
    } else if (k == "module") {
        r = {true, 6, 0, 16, false};
    } else {
        return false;
    }
    Info = r;
    return true;
}

int CIDParamInitialIndex(const TCIDParamKind& Info, int InputIndex)
{
    if (!Info.Active)
        return -1;
    return Info.InitialIsOwnInput ? InputIndex : 0;
}

bool BuildCIDSmsText(const QByteArray& Code, const QByteArray& N1, const QByteArray& N2,
                     const std::function<QByteArray(int)>& Phrase, QByteArray& Text)
{
    int value = 0;
    try {
        value = HexToInt(Code);
    } catch (const EHexError&) {
        return false;
    }
    const auto p = [&](int n) { return Phrase ? Phrase(n) : QByteArray(); };

    QList<QByteArray> parts;
    switch (value) {
    case 0x1100:
    case 0x1101: parts = {p(33), p(39), N2}; break;
    case 0x1110:
    case 0x1115:
    case 0x1131:
    case 0x1132:
    case 0x1134: parts = {p(33), N2}; break;
    case 0x1120: parts = {p(33), p(41), N2}; break;
    case 0x1121: parts = {p(33), p(42), N2}; break;
    case 0x1145: parts = {p(33), p(43), N2}; break;
    case 0x1401: parts = {N2, p(35), N1}; break;
    case 0x3401: parts = {N2, p(34), N1}; break;
    default: return false;
    }
    Text = parts.join(' ');
    return true;
}

void ApplyCIDTranslations(TCIDDescriptions& Catalogue,
                          const std::function<QString(std::int32_t)>& Message,
                          const std::function<QByteArray(const QString&)>& ToAnsi)
{
    for (TCIDDescription& e : Catalogue) {
        e.Description = e.FileDescription;
        if (e.TextNumber < 0 || !Message)
            continue;
        const QString text = Message(e.TextNumber);
        const qsizetype cut = text.indexOf(QLatin1Char('\\'));
        const QString name = cut < 0 ? text : text.left(cut);
        if (name.isEmpty())
            continue;
        const QByteArray ansi = ToAnsi ? ToAnsi(name) : name.toLatin1();
        e.Description = ansi.left(CIDDescriptionWidth);
    }
}
