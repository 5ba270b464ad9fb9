// The module's SMS character tables, in both directions, and the table of the current
// language.
#include <gtest/gtest.h>

#include "lang/Kalbos.h"
#include "lang/SmsCharset.h"
#include "lang/asciiTOunicode.h"

#include <QChar>

namespace {

TEST(SmsCharsetTest, PairCountsOfTheTables)
{
    const size_t counts[SmsTableCount] = {0, 66, 18, 6, 18, 26, 20, 49, 48, 48, 48, 12};
    for (int t = 0; t < SmsTableCount; ++t)
        EXPECT_EQ(SmsCharTable(t).size(), counts[t]) << "table " << t;
}

TEST(SmsCharsetTest, TextCharactersAreLettersOfTheirCodePage)
{
    // Code page of the text side of each table (see CodePageTable); catches a mistyped byte.
    const int codePage[SmsTableCount] = {-1, 2, 0, 4, 1, 0, 4, 3, 1, 1, 1, 5};
    for (int t = 1; t < SmsTableCount; ++t)
        for (const SmsCharPair& p : SmsCharTable(t)) {
            const QChar c(MapAnsiChar(p.text, codePage[t]));
            EXPECT_TRUE(c.isLetter() && c.unicode() >= 0x80)
                << "table " << t << " byte 0x" << std::hex << int(p.text);
        }
}

TEST(SmsCharsetTest, EachTextCharacterOnceAndTheFirstPairDecodes)
{
    for (int t = 1; t < SmsTableCount; ++t) {
        const auto table = SmsCharTable(t);
        for (size_t i = 0; i < table.size(); ++i) {
            for (size_t j = 0; j < i; ++j)
                EXPECT_NE(table[i].text, table[j].text) << "table " << t;
            EXPECT_EQ(EncodeSmsChar(table[i].text, t), table[i].module);
            // Decoding gives the first text character that shares this module code.
            size_t first = 0;
            while (table[first].module != table[i].module)
                ++first;
            EXPECT_EQ(DecodeSmsChar(table[i].module, t), table[first].text);
        }
    }
}

TEST(SmsCharsetTest, KnownVectors)
{
    EXPECT_EQ(EncodeSmsChar(0xDE, 2), 0x1A);
    EXPECT_EQ(EncodeSmsChar(0xFE, 2), 0x1A);
    EXPECT_EQ(DecodeSmsChar(0x1A, 2), 0xDE);
    EXPECT_EQ(DecodeSmsChar(0x0A, 2), 0xC0); // a line feed from the module
    EXPECT_EQ(EncodeSmsChar(0xC0, 1), 0x41); // Cyrillic A uses the Latin code
    EXPECT_EQ(DecodeSmsChar(0x41, 1), 0xC0); // and a Latin A comes back Cyrillic
    EXPECT_EQ(EncodeSmsChar(0xA8, 1), 0xA2); // Yo between Ye and Zhe
    EXPECT_EQ(EncodeSmsChar(0xF2, 7), 0xDB); // final sigma
    EXPECT_EQ(DecodeSmsChar(0xDB, 7), 0xD3); // comes back as capital Sigma
    EXPECT_EQ(EncodeSmsChar(0xDD, 11), 0x7F);
    // "Privet" in Windows-1251 and back: the look-alike letters come back as they went.
    const QByteArray privet("\xCF\xF0\xE8\xE2\xE5\xF2", 6);
    EXPECT_EQ(EncodeSmsText(privet, 1), QByteArray("\xA8\x70\xB8\xB3\x65\xBF", 6));
    EXPECT_EQ(DecodeSmsText(EncodeSmsText(privet, 1), 1), privet);
    // Small o with diaeresis shares the capital's code and comes back as the capital.
    EXPECT_EQ(DecodeSmsText(EncodeSmsText("\xF6", 3), 3), QByteArray("\xD6"));
}

TEST(SmsCharsetTest, UnnamedBytesPassInBothDirections)
{
    for (int t = 0; t < SmsTableCount; ++t)
        for (int b : {0x30, 0x35, 0x39, 0x20, 0x00}) {
            EXPECT_EQ(EncodeSmsChar(uint8_t(b), t), b) << t;
            EXPECT_EQ(DecodeSmsChar(uint8_t(b), t), b) << t;
        }
    for (int t : {0, 12, 200, -1, -100})
        for (int b = 0; b < 0x100; ++b) {
            EXPECT_EQ(EncodeSmsChar(uint8_t(b), t), b);
            EXPECT_EQ(DecodeSmsChar(uint8_t(b), t), b);
        }
}

TEST(SmsCharsetTest, TablesEightNineAndTenAreOne)
{
    for (int b = 0; b < 0x100; ++b) {
        EXPECT_EQ(EncodeSmsChar(uint8_t(b), 8), EncodeSmsChar(uint8_t(b), 9));
        EXPECT_EQ(EncodeSmsChar(uint8_t(b), 8), EncodeSmsChar(uint8_t(b), 10));
        EXPECT_EQ(DecodeSmsChar(uint8_t(b), 8), DecodeSmsChar(uint8_t(b), 10));
    }
}

TEST(SmsCharsetTest, TextsUseTheTableOfTheCurrentLanguage)
{
    ClearLanguages();
    const QByteArray cyr("\xC0\xE0", 2);
    EXPECT_EQ(EncodeSmsText(cyr), cyr); // no language: unchanged
    QByteArray err;
    ASSERT_TRUE(LoadLanguageData("%A\t0\t0\n%R\t204\t1\n%N\t204\t-1\n%H\t204\t99\n", "c", err));
    EXPECT_EQ(EncodeSmsText(cyr), cyr);
    SelectLanguage(1);
    EXPECT_EQ(EncodeSmsText(cyr), QByteArray("Aa"));
    QByteArray out;
    DecodeSmsText(QByteArray("Aa"), out);
    EXPECT_EQ(out, cyr);
    SelectLanguage(2); // a negative table number converts nothing
    EXPECT_EQ(EncodeSmsText(cyr), cyr);
    EXPECT_EQ(DecodeSmsText(QByteArray("Aa")), QByteArray("Aa"));
    SelectLanguage(3);
    EXPECT_EQ(EncodeSmsText(cyr), cyr);
    ClearLanguages();
}

} // namespace
