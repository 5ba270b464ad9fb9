#include "editor/APNCatalog.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/AppPaths.h"
#include "platform/UserCountry.h"

namespace {

TAPNLocations Parse(const QString& text)
{
    TAPNLocations cat;
    ParseAPNCatalogue(text, cat);
    return cat;
}

// Everything of the catalogue as one comparable text.
QString Dump(const TAPNLocations& cat)
{
    QString out;
    for (const TAPNLocation& l : cat) {
        out += QStringLiteral("[%1|%2]").arg(l.Location).arg(l.GeoId);
        for (const TAPNOperator& o : l.Operators)
            out += QStringLiteral("{%1:%2:%3}").arg(o.Name).arg(o.APNs.size()).arg(o.APNs.join(QLatin1Char(',')));
    }
    return out;
}

QByteArray Encode(QStringConverter::Encoding e, const QString& s)
{
    QStringEncoder enc(e);
    return enc.encode(s);
}

} // namespace

TEST(APNCatalogShipped, LoadsWithOperatorsForEveryLocation)
{
    platform::SetProgramDirForTests(QString());
    QFile f(platform::ProgramFile("APN.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(3) == "\xEF\xBB\xBF");

    TAPNLocations cat;
    ASSERT_TRUE(LoadAPNCatalogue(cat));
    ASSERT_GE(cat.size(), 10u);
    int apns = 0;
    for (const TAPNLocation& l : cat) {
        // Each location is the one preselected for its country.
        EXPECT_EQ(PreselectAPNLocation(cat, l.GeoId), FindAPNLocation(cat, l.Location));
        EXPECT_FALSE(l.GeoId == 0 || l.Operators.empty()) << l.Location.toStdString();
        for (const TAPNOperator& o : l.Operators) {
            EXPECT_FALSE(o.APNs.isEmpty() || o.APNs.contains(QString())) << o.Name.toStdString();
            apns += static_cast<int>(o.APNs.size());
        }
    }
    EXPECT_GE(apns, 30);
    // The catalogue's numbers are the ones the user's country maps to.
    const int lt = PreselectAPNLocation(cat, platform::GeoIdForCountryCode("LT"));
    ASSERT_GE(lt, 0);
    EXPECT_EQ(cat[static_cast<std::size_t>(lt)].Location, "Lithuania");
}

TEST(APNCatalogFile, EveryByteOrderGivesTheSameCatalogue)
{
    const QString text = QStringLiteral("&\u00d6sterreich\t14\r\nA1\tA1.net\r\n&Lietuva\t141\nTelia\tomnitel\r\n");
    const QString expected = Dump(Parse(text));
    ASSERT_EQ(expected, QStringLiteral("[\u00d6sterreich|14]{A1:1:A1.net}[Lietuva|141]{Telia:1:omnitel}"));

    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xFF\xFE" + Encode(QStringConverter::Utf16LE, text)))), expected);
    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xFE\xFF" + Encode(QStringConverter::Utf16BE, text)))), expected);
    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xEF\xBB\xBF" + text.toUtf8()))), expected);
    // No mark: 8-bit text in the system code page.
    EXPECT_EQ(Dump(Parse(DecodeAPNText(text.toLatin1()))), expected);
}

TEST(APNCatalogFile, LineKinds)
{
    const TAPNLocations cat = Parse(QStringLiteral(
        "Orphan\tnowhere\n"             // before any location: skipped
        "&NoTab\n"                      // GeoID 0
        "&Words\tabc\n"                 // not a number: 0
        "&Big\t65677\tignored\tmore\n"  // low 16 bits: 141
        " Spaced \t a \t\tb\t\n"        // nothing trimmed, empty field kept, final TAB adds nothing
        "NameOnly\n"
        "Tabbed\t\n"
        "TwoTabs\t\t\n"
        "\n"));
    EXPECT_EQ(Dump(cat), "[NoTab|0][Words|0][Big|141]{ Spaced :3: a ,,b}{NameOnly:0:}{Tabbed:0:}{TwoTabs:1:}");
}

TEST(APNCatalogFile, MissingFileKeepsThePreviousCatalogue)
{
    QTemporaryDir dir;
    TAPNLocations cat = Parse("&Kept\t1\n");
    EXPECT_FALSE(LoadAPNCatalogue(dir.filePath("APN.txt"), cat));
    EXPECT_EQ(Dump(cat), "[Kept|1]");
}

TEST(APNCatalogSearch, PreselectionAndLookups)
{
    const TAPNLocations cat = Parse(QStringLiteral(
        "&Alpha\t10\nOne\ta\nOne\tb\n&Beta\t20\n&Gamma\t20\n&Beta\t30\n&Zero\n"));
    EXPECT_EQ(PreselectAPNLocation(cat, 10), 0);
    EXPECT_EQ(PreselectAPNLocation(cat, 20), 1); // the first of two with that GeoID
    EXPECT_EQ(PreselectAPNLocation(cat, 30), 1); // the first entry bearing its name
    EXPECT_EQ(PreselectAPNLocation(cat, 0), -1); // no country; "Zero" is never chosen
    EXPECT_EQ(PreselectAPNLocation(cat, 99), -1);

    EXPECT_EQ(FindAPNLocation(cat, "Gamma"), 2);
    EXPECT_EQ(FindAPNLocation(cat, "gamma"), -1);
    EXPECT_EQ(FindAPNOperator(cat[0], "One"), 0); // the first of two equal names
    EXPECT_EQ(FindAPNOperator(cat[0], "Two"), -1);
}
