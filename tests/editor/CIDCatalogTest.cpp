#include "editor/CIDCatalog.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "platform/AppPaths.h"

namespace {

TContactIDCode Bytes(std::initializer_list<int> v)
{
    TContactIDCode r;
    for (int b : v)
        r.push_back(static_cast<std::uint8_t>(b));
    return r;
}

TCIDDescription Entry(const QByteArray& line)
{
    bool valid = false;
    TCIDDescription e = ParseCIDLine(line, valid);
    EXPECT_TRUE(valid) << line.constData();
    return e;
}

// An entry as one line: description|code|qualifier:digits|kinds|flags|text number.
QByteArray Summary(const TCIDDescription& e)
{
    return e.Description + '|' + e.Code + '|' + QByteArray::number(e.Qualifier) + ':' +
           QByteArray::number(e.EventDigits[0]) + QByteArray::number(e.EventDigits[1]) +
           QByteArray::number(e.EventDigits[2]) + '|' + e.ParamKind1 + ',' + e.ParamKind2 + '|' +
           (e.RestoreAvailable ? 'R' : '-') + (e.Preset24H ? 'H' : '-') + '|' +
           QByteArray::number(e.TextNumber);
}

} // namespace

TEST(CIDCatalogShipped, LoadsCleanlyAndEveryEventIsNamedInEveryLanguage)
{
    platform::SetProgramDirForTests(QString());
    TCIDDescriptions cat;
    const TCIDLoadReport r = LoadCIDDescriptions(cat);
    ASSERT_TRUE(r.Loaded);
    EXPECT_FALSE(r.MustEnd()) << r.BadLines.size();
    ASSERT_GE(cat.size(), 30u);

    // The event lists find the chosen entry by its text, so texts must differ.
    QSet<QByteArray> descriptions, codes;
    for (const TCIDDescription& e : cat) {
        EXPECT_FALSE(descriptions.contains(e.Description)) << e.Description.constData();
        descriptions.insert(e.Description);
        codes.insert(e.Code);
        TCIDParamKind k;
        EXPECT_TRUE(LookupCIDParamKind(e.ParamKind1, k) && LookupCIDParamKind(e.ParamKind2, k))
            << e.Code.constData();
    }
    for (const char* c : {"1100", "1101", "1110", "1115", "1131", "1132", "1134", "1120", "1121",
                          "1145", "1401", "3401"})
        EXPECT_TRUE(codes.contains(c)) << c; // every code with an SMS hint is offered

    // Each language of the shipped language file names every event, with names that
    // differ and fit, once converted to the language's code page.
    QByteArray error;
    ClearLanguages();
    ASSERT_TRUE(LoadLanguageFile(platform::ProgramFile("comps.txt"), error)) << error.constData();
    ASSERT_GE(Languages.size(), 2);
    for (int32_t i = 0; i < Languages.size(); ++i) {
        ASSERT_TRUE(SelectLanguage(i));
        ApplyCIDTranslations(cat, GetLangText, LangFromUnicode);
        QSet<QByteArray> names;
        for (const TCIDDescription& e : cat) {
            const QString message = GetLangText(e.TextNumber);
            EXPECT_FALSE(message.isEmpty()) << Languages[i].Name.constData() << " " << e.TextNumber;
            EXPECT_EQ(LangToUnicode(e.Description), message.section(QLatin1Char('\\'), 0, 0));
            EXPECT_FALSE(names.contains(e.Description)) << e.Description.constData();
            names.insert(e.Description);
        }
    }
    ClearLanguages();
}

TEST(CIDCatalogLoad, FieldsCommentsAndLineEnds)
{
    TCIDDescriptions cat;
    const QByteArray longText(80, 'x');
    const TCIDLoadReport r = ParseCIDDescriptions(
        "\xEF\xBB\xBF/ comment\r\n\r\n"
        "Burglary\t1130\tpartition\tzone\t1\t0\t-1\n"
        "Medical\t1100\tPARTITION\tZone\t2\tTRUE\t150\textra\tfields\r"
        "Open\t3401\tpartition\tuser\tyes\tfalse\tx\n" + longText + "\t11305\nShort\t1602",
        cat);
    EXPECT_FALSE(r.MustEnd());
    ASSERT_EQ(cat.size(), 5u);
    EXPECT_EQ(Summary(cat[0]), "Burglary|1130|6:130|partition,zone|R-|-1");
    EXPECT_EQ(Summary(cat[1]), "Medical|1100|6:100|partition,zone|RH|150");
    EXPECT_EQ(Summary(cat[2]), "Open|3401|7:401|partition,user|--|-1");
    // Longer texts are cut; a five-character code is accepted by its first four.
    EXPECT_EQ(Summary(cat[3]), longText.left(50) + "|1130|6:130|,|--|-1");
    EXPECT_EQ(Summary(cat[4]), "Short|1602|6:602|,|--|-1");
    EXPECT_EQ(cat[3].FileDescription, cat[3].Description);
}

TEST(CIDCatalogLoad, EachBadCodeReportsOnceAndTheLoadRunsToTheEnd)
{
    TCIDDescriptions cat;
    const TCIDLoadReport r = ParseCIDDescriptions("\t\n"              // only a TAB: empty code
                                                  "Short\t113\n"      // three characters
                                                  "Good\t1130\n"
                                                  "Qualifier\t2130\n" // neither 1 nor 3
                                                  "Letter\t1A3x\n"    // event digits not decimal
                                                  "/ 9999\n"
                                                  "Last\t3401\n",
                                                  cat);
    EXPECT_EQ(r.Messages, QList<int>({33, 33, 33, 33}));
    EXPECT_EQ(r.BadLines, QList<int>({1, 2, 4, 5}));
    ASSERT_EQ(cat.size(), 6u); // bad entries stay, as read
    EXPECT_EQ(Summary(cat[0]), "||0:000|,|--|-1");
    EXPECT_EQ(Summary(cat[3]), "Qualifier|2130|0:130|,|--|-1");
    EXPECT_EQ(cat[5].Code, "3401");
}

TEST(CIDCatalogLoad, MissingFileReportsAndKeepsTheCatalogue)
{
    QTemporaryDir dir;
    platform::SetProgramDirForTests(dir.path());
    TCIDDescriptions cat(1);
    const TCIDLoadReport r = LoadCIDDescriptions(cat);
    platform::SetProgramDirForTests(QString());
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ(r.Messages, QList<int>({34}));
    EXPECT_EQ(cat.size(), 1u);
}

TEST(ContactIDCode, PacksAsTheModuleStoresIt)
{
    EXPECT_EQ(EncodeContactID(Entry("Burglary\t1130"), 1, 5), Bytes({6, 0x13, 0x00, 0x10, 0x05}));
    EXPECT_EQ(EncodeContactID(Entry("Armed\t3401"), 1, 7), Bytes({7, 0x40, 0x10, 0x10, 0x07}));
    EXPECT_EQ(EncodeContactID(Entry("x\t1602"), 99, 999), Bytes({6, 0x60, 0x29, 0x99, 0x99}));
    // An absent parameter leaves the nibble F.
    EXPECT_EQ(EncodeContactID(Entry("Burglary\t1130"), -1, 5), Bytes({6, 0x13, 0x00, 0xF0, 0x05}));
    EXPECT_EQ(EncodeContactID(Entry("Burglary\t1137"), 2, -1), Bytes({6, 0x13, 0x70, 0x20, 0xFF}));
}

TEST(ContactIDCode, UnpacksWhatItPacksAndOddBytes)
{
    for (const TCIDDescription& e : {Entry("a\t1130"), Entry("b\t3401"), Entry("c\t1999")}) {
        for (int group = 0; group < 100; group += 7) {
            for (int zone = 0; zone < 1000; zone += 37) {
                QByteArray key;
                int g = -5, z = -5;
                DecodeContactID(EncodeContactID(e, group, zone), key, g, z);
                ASSERT_EQ(key + ' ' + QByteArray::number(g) + ' ' + QByteArray::number(z),
                          e.Code + ' ' + QByteArray::number(group) + ' ' + QByteArray::number(zone));
            }
        }
    }

    QByteArray key = "keep";
    int g = 11, z = 22;
    DecodeContactID(Bytes({6, 0x13, 0x00, 0x10}), key, g, z); // too short: nothing changes
    EXPECT_TRUE(key == "keep" && g == 11 && z == 22);
    DecodeContactID(Bytes({0, 0x13, 0x00, 0x10, 0x05}), key, g, z);
    EXPECT_EQ(key, "1130");
    // Nibbles above 9 become two-digit numbers: a longer key that no entry has.
    DecodeContactID(Bytes({9, 0xAB, 0xC0, 0xF0, 0xFF}), key, g, z);
    EXPECT_EQ(key, "1101112");
    EXPECT_EQ(g, 15);
    EXPECT_EQ(z, 165);
}

TEST(CIDCatalogLookup, ByCodeAndByDescription)
{
    TCIDDescriptions cat;
    ParseCIDDescriptions("Fire\t1110\nBurglary\t1130\tpartition\tzone\nBurglary\t1131\tpartition\tuser\n", cat);
    int index = -7;
    EXPECT_EQ(FindCIDByCode(cat, "1130", index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(FindCIDByCode(cat, "1101112", index), 2);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(FindCIDByCode(cat, "113", index), 0);

    TCIDDescription e;
    ASSERT_EQ(FindCIDByDescription(cat, "Burglary", e), 1);
    EXPECT_EQ(e.Code, "1130"); // the first of two equal descriptions
    EXPECT_EQ(FindCIDByDescription(cat, "burglary", e), 0);
}

TEST(CIDCatalogLookup, ParameterKindsAndSmsTexts)
{
    TCIDParamKind k;
    ASSERT_TRUE(LookupCIDParamKind("Zone", k));
    EXPECT_EQ(CIDParamInitialIndex(k, 4), 4); // zones start at the input's own zone
    EXPECT_FALSE(LookupCIDParamKind("area", k));
    EXPECT_EQ(k.GridNumber, 3); // an unknown kind leaves the parameter as it was

    const auto phrase = [](int n) { return "P" + QByteArray::number(n); };
    QByteArray text = "unchanged";
    EXPECT_TRUE(BuildCIDSmsText("1100", "Area", "Kitchen", phrase, text));
    EXPECT_EQ(text, "P33 P39 Kitchen");
    EXPECT_TRUE(BuildCIDSmsText("3401", "Home", "Ann", phrase, text));
    EXPECT_EQ(text, "Ann P34 Home");
    text = "unchanged";
    EXPECT_FALSE(BuildCIDSmsText("1130", "a", "b", phrase, text));
    EXPECT_FALSE(BuildCIDSmsText("11 0", "a", "b", phrase, text));
    EXPECT_EQ(text, "unchanged");
}

TEST(CIDCatalogLanguage, TranslationsReplaceTheFileTextsEachTime)
{
    TCIDDescriptions cat;
    ParseCIDDescriptions("Fire\t1110\t\t\t\t\t5\nPanic\t1120\t\t\t\t\t6\nGas\t1151\t\t\t\t\t7\n"
                         "Test\t1602\t\t\t\t\t-1\n",
                         cat);
    const auto messages = [](std::int32_t n) -> QString {
        switch (n) {
        case 5: return QStringLiteral("Gaisras\\Explanation");
        case 6: return QStringLiteral("\\only an explanation");
        case 7: return QString(60, QLatin1Char('y'));
        default: return QStringLiteral("never");
        }
    };
    const auto toAnsi = [](const QString& s) { return s.toLatin1(); };
    ApplyCIDTranslations(cat, messages, toAnsi);
    EXPECT_EQ(cat[0].Description, "Gaisras");
    EXPECT_EQ(cat[1].Description, "Panic");
    EXPECT_EQ(cat[2].Description, QByteArray(50, 'y'));
    EXPECT_EQ(cat[3].Description, "Test");

    // A language without these messages brings the file texts back.
    ApplyCIDTranslations(cat, [](std::int32_t) { return QString(); }, toAnsi);
    EXPECT_EQ(cat[0].Description, "Fire");
    EXPECT_EQ(cat[2].Description, "Gas");
}
