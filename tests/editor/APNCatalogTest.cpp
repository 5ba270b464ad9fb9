#include "editor/APNCatalog.h"

#include <QFile>
#include <QSet>
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
            out += QStringLiteral("{%1:%2}").arg(o.Name, o.APNs.join(QLatin1Char(',')));
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
    QSet<int> geoIds;
    int apns = 0;
    for (const TAPNLocation& l : cat) {
        EXPECT_NE(l.GeoId, 0) << l.Location.toStdString();
        EXPECT_FALSE(geoIds.contains(l.GeoId)) << l.Location.toStdString();
        geoIds.insert(l.GeoId);
        EXPECT_FALSE(l.Operators.empty()) << l.Location.toStdString();
        for (const TAPNOperator& o : l.Operators) {
            EXPECT_FALSE(o.APNs.isEmpty()) << o.Name.toStdString();
            for (const QString& a : o.APNs)
                EXPECT_FALSE(a.isEmpty() || a.trimmed() != a) << o.Name.toStdString();
            apns += static_cast<int>(o.APNs.size());
        }
    }
    EXPECT_GE(apns, 30);
    // The catalogue's numbers are the ones the user's country maps to.
    const int lt = PreselectAPNLocation(cat, platform::GeoIdForCountryCode("LT"));
    ASSERT_GE(lt, 0);
    EXPECT_EQ(cat[static_cast<std::size_t>(lt)].Location, "Lithuania");
    EXPECT_GE(PreselectAPNLocation(cat, platform::GeoIdForCountryCode("GB")), 0);
    EXPECT_GE(PreselectAPNLocation(cat, platform::GeoIdForCountryCode("US")), 0);
}

TEST(APNCatalogFile, EveryByteOrderGivesTheSameCatalogue)
{
    const QString text = QStringLiteral("&\u00d6sterreich\t14\r\nA1\tA1.net\r\n&Lietuva\t141\nTelia\tomnitel\r\n");
    const QString expected = Dump(Parse(text));
    ASSERT_EQ(expected, QStringLiteral("[\u00d6sterreich|14]{A1:A1.net}[Lietuva|141]{Telia:omnitel}"));

    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xFF\xFE" + Encode(QStringConverter::Utf16LE, text)))), expected);
    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xFE\xFF" + Encode(QStringConverter::Utf16BE, text)))), expected);
    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xEF\xBB\xBF" + text.toUtf8()))), expected);
    // No mark: 8-bit text in the system code page.
    EXPECT_EQ(Dump(Parse(DecodeAPNText(text.toLatin1()))), expected);

    // With another code page the 8-bit file is read through it.
    const QString cyr = QStringLiteral("&\u0420\u0424\t203\nMTS\tinternet.mts.ru\n");
    const auto cp1251 = [](const QByteArray& b) {
        QString s;
        for (char c : b) {
            const auto u = static_cast<unsigned char>(c);
            s += u >= 0xC0 ? QChar(static_cast<char16_t>(0x0410 + (u - 0xC0))) : QChar(u);
        }
        return s;
    };
    const QByteArray ansi = "&\xD0\xD4\t203\nMTS\tinternet.mts.ru\n";
    EXPECT_EQ(Dump(Parse(DecodeAPNText(ansi, cp1251))), Dump(Parse(cyr)));
    EXPECT_EQ(Dump(Parse(DecodeAPNText("\xEF\xBB\xBF" + cyr.toUtf8(), cp1251))), Dump(Parse(cyr)));
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
    ASSERT_EQ(cat.size(), 3u);
    EXPECT_EQ(cat[0].Location, "NoTab");
    EXPECT_EQ(cat[0].GeoId, 0);
    EXPECT_TRUE(cat[0].Operators.empty());
    EXPECT_EQ(cat[1].GeoId, 0);
    EXPECT_EQ(cat[2].GeoId, 141);
    ASSERT_EQ(cat[2].Operators.size(), 4u);
    EXPECT_EQ(cat[2].Operators[0].Name, " Spaced ");
    EXPECT_EQ(cat[2].Operators[0].APNs, QStringList({" a ", "", "b"}));
    EXPECT_TRUE(cat[2].Operators[1].APNs.isEmpty());
    EXPECT_TRUE(cat[2].Operators[2].APNs.isEmpty());
    EXPECT_EQ(cat[2].Operators[3].APNs, QStringList({""}));
}

TEST(APNCatalogFile, MissingFileKeepsThePreviousCatalogue)
{
    QTemporaryDir dir;
    TAPNLocations cat = Parse("&Kept\t1\n");
    platform::SetProgramDirForTests(dir.path());
    EXPECT_FALSE(LoadAPNCatalogue(cat));
    ASSERT_EQ(cat.size(), 1u);

    QFile f(dir.filePath("APN.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("&New\t2\nOp\tapn\n");
    f.close();
    EXPECT_TRUE(LoadAPNCatalogue(cat));
    platform::SetProgramDirForTests(QString());
    EXPECT_EQ(Dump(cat), "[New|2]{Op:apn}");
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
    EXPECT_EQ(FindAPNOperator(cat[0], "One"), 0);
    EXPECT_EQ(cat[0].Operators[1].APNs, QStringList({"b"}));
    EXPECT_EQ(FindAPNOperator(cat[0], "Two"), -1);
}
