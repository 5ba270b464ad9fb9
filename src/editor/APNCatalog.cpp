#include "editor/APNCatalog.h"

#include <QFile>
#include <QStringDecoder>

#include "editor/CatalogText.h"
#include "link/UnitEil.h"
#include "platform/AppPaths.h"

TAPNLocations APNLocations;

namespace {

const QString kTab = QStringLiteral("\t");

QString Decode(QStringConverter::Encoding encoding, const QByteArray& bytes)
{
    // The mark is already cut off; a second one is text and stays.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// A location line without its "&": name, then the GeoID field.
TAPNLocation ParseLocation(QString rest)
{
    TAPNLocation loc;
    SplitAtW(rest, kTab, loc.Location);
    QString geo;
    SplitAtW(rest, kTab, geo);
    std::int32_t n = 0;
    if (catalogtext::ParseInt32(geo, n))
        loc.GeoId = static_cast<std::uint16_t>(static_cast<std::uint32_t>(n) & 0xFFFFu);
    return loc;
}

TAPNOperator ParseOperator(QString rest)
{
    TAPNOperator op;
    SplitAtW(rest, kTab, op.Name);
    if (rest.isEmpty())
        return op;
    // Every TAB separates two names; a TAB at the very end closes the last name and
    // opens none.
    op.APNs = rest.split(QLatin1Char('\t'));
    if (rest.endsWith(QLatin1Char('\t')))
        op.APNs.removeLast();
    return op;
}

} // namespace

QString DecodeAPNText(const QByteArray& Bytes, const TAnsiDecoder& Ansi)
{
    if (Bytes.startsWith("\xFF\xFE"))
        return Decode(QStringConverter::Utf16LE, Bytes.mid(2));
    if (Bytes.startsWith("\xFE\xFF"))
        return Decode(QStringConverter::Utf16BE, Bytes.mid(2));
    if (Bytes.startsWith("\xEF\xBB\xBF"))
        return Decode(QStringConverter::Utf8, Bytes.mid(3));
    if (Ansi)
        return Ansi(Bytes);
    return QString::fromLatin1(Bytes);
}

void ParseAPNCatalogue(const QString& Text, TAPNLocations& Catalogue)
{
    Catalogue.clear();
    const QList<QString> lines = catalogtext::SplitLines(Text);
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        if (line.at(0) == QLatin1Char('&')) {
            Catalogue.push_back(ParseLocation(line.mid(1)));
            continue;
        }
        // An operator needs a location to belong to; one before the first location
        // line is skipped.
        if (Catalogue.empty())
            continue;
        Catalogue.back().Operators.push_back(ParseOperator(line));
    }
}

bool LoadAPNCatalogue(const QString& Path, TAPNLocations& Catalogue, const TAnsiDecoder& Ansi)
{
    QFile file(Path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    ParseAPNCatalogue(DecodeAPNText(bytes, Ansi), Catalogue);
    return true;
}

bool LoadAPNCatalogue(TAPNLocations& Catalogue, const TAnsiDecoder& Ansi)
{
    return LoadAPNCatalogue(platform::ProgramFile(QStringLiteral("APN.txt")), Catalogue, Ansi);
}

int FindAPNLocation(const TAPNLocations& Catalogue, const QString& Name)
{
    for (std::size_t i = 0; i < Catalogue.size(); ++i)
        if (Catalogue[i].Location == Name)
            return static_cast<int>(i);
    return -1;
}

int FindAPNOperator(const TAPNLocation& Location, const QString& Name)
{
    for (std::size_t i = 0; i < Location.Operators.size(); ++i)
        if (Location.Operators[i].Name == Name)
            return static_cast<int>(i);
    return -1;
}

int PreselectAPNLocation(const TAPNLocations& Catalogue, std::uint32_t GeoId)
{
    if (GeoId == 0)
        return -1;
    for (const TAPNLocation& loc : Catalogue)
        if (loc.GeoId == GeoId)
            return FindAPNLocation(Catalogue, loc.Location);
    return -1;
}
