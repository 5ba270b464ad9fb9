// The seven code pages against the system's own converter, byte for byte, and the inverse
// conversion used for text that goes back to 8 bits.
#include <gtest/gtest.h>

#include "lang/asciiTOunicode.h"

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <vector>

namespace {

const char* const kNames[CodePageCount] = {"CP1257", "CP1250", "CP1251", "CP1253",
                                           "CP1252", "CP1254", "CP1258"};

// One byte through iconv, with a fresh converter each time (Windows-1258 otherwise holds
// back base letters to combine them with a following accent). nullopt: undefined byte.
std::optional<char16_t> iconvByte(const char* codePage, uint8_t byte)
{
    iconv_t cd = iconv_open("UTF-16LE", codePage);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    if (r != size_t(-1)) // flush what the converter held back
        r = iconv(cd, nullptr, nullptr, &outp, &outLeft);
    iconv_close(cd);
    if (r == size_t(-1) || inLeft != 0 || sizeof out - outLeft != 2)
        return std::nullopt;
    return static_cast<char16_t>(static_cast<uint8_t>(out[0]) | static_cast<uint8_t>(out[1]) << 8);
}

TEST(CodePageTest, EveryByteOfEveryTableMatchesTheSystemConverter)
{
    for (int t = 0; t < CodePageCount; ++t) {
        const iconv_t probe = iconv_open("UTF-16LE", kNames[t]);
        ASSERT_NE(probe, reinterpret_cast<iconv_t>(-1)) << kNames[t];
        iconv_close(probe);
        for (int b = 0; b < 0x100; ++b) {
            const std::optional<char16_t> expected = iconvByte(kNames[t], uint8_t(b));
            // A byte that the code page leaves undefined converts to the same value.
            const char16_t want = expected ? *expected : char16_t(b);
            EXPECT_EQ(MapAnsiChar(uint8_t(b), t), want)
                << kNames[t] << " byte 0x" << std::hex << b;
        }
    }
}

TEST(CodePageTest, TablesHoldOnlyBytesThatChangeInAscendingOrder)
{
    const size_t sizes[CodePageCount] = {75, 78, 112, 90, 27, 31, 37};
    for (int t = 0; t < CodePageCount; ++t) {
        const auto table = CodePageTable(t);
        EXPECT_EQ(table.size(), sizes[t]) << kNames[t];
        for (size_t i = 0; i < table.size(); ++i) {
            EXPECT_GE(table[i].code, 0x80);
            if (i > 0) {
                EXPECT_LT(table[i - 1].code, table[i].code);
            }
        }
    }
}

TEST(CodePageTest, ExamplesAndWholeTexts)
{
    EXPECT_EQ(MapAnsiChar(0xC0, 2), u'\u0410');
    EXPECT_EQ(MapAnsiChar(0x41, 2), u'A');
    EXPECT_EQ(MapAnsiChar(0x98, 2), u'\u0098'); // undefined in Windows-1251
    EXPECT_EQ(MapAnsiChar(0x80, 4), u'\u20AC');
    EXPECT_EQ(AnsiToUnicode(QByteArray("\xCF\xF0\xE8\x00!", 5), 2),
              QString::fromUtf16(u"\u041F\u0440\u0438\u0000!", 5));
    EXPECT_TRUE(AnsiToUnicode(QByteArray(), 3).isEmpty());
    QString out = QStringLiteral("stale");
    AnsiToUnicode(QByteArray("\xE0", 1), 0, out);
    EXPECT_EQ(out, QString(QChar(0x0105)));
}

TEST(CodePageTest, CharsetChoosesTheCodeTable)
{
    EXPECT_EQ(CharsetToCodeTable(186), 0);
    EXPECT_EQ(CharsetToCodeTable(238), 1);
    EXPECT_EQ(CharsetToCodeTable(255), 1);
    EXPECT_EQ(CharsetToCodeTable(204), 2);
    EXPECT_EQ(CharsetToCodeTable(161), 3);
    EXPECT_EQ(CharsetToCodeTable(162), 5);
    EXPECT_EQ(CharsetToCodeTable(163), 6);
    EXPECT_EQ(CharsetToCodeTable(0), 1); // the ANSI character set
    EXPECT_EQ(CharsetToCodeTable(-1), 1);
}

TEST(CodePageTest, IndexOutsideTheTablesConvertsNothing)
{
    for (int t : {-1, 7, 100}) {
        EXPECT_TRUE(CodePageTable(t).empty());
        for (int b = 0; b < 0x100; ++b)
            EXPECT_EQ(MapAnsiChar(uint8_t(b), t), char16_t(b));
        EXPECT_EQ(UnicodeToAnsi(QString::fromUtf16(u"\u00E9\u0410x"), t), QByteArray("\xE9?x"));
    }
}

TEST(CodePageTest, InverseNeverTurnsACharacterIntoAnother)
{
    // Every code unit either comes back as a byte that converts to that very unit, or
    // becomes "?" because no byte of the code page stands for it.
    for (int t = 0; t < CodePageCount; ++t) {
        std::vector<bool> reachable(0x10000, false);
        for (int b = 0; b < 0x100; ++b)
            reachable[MapAnsiChar(uint8_t(b), t)] = true;
        for (int u = 0; u < 0x10000; ++u) {
            const uint8_t b = UnmapUnicodeChar(char16_t(u), t);
            if (reachable[size_t(u)])
                ASSERT_EQ(MapAnsiChar(b, t), char16_t(u)) << kNames[t] << " U+" << std::hex << u;
            else
                ASSERT_EQ(b, '?') << kNames[t] << " U+" << std::hex << u;
        }
    }
    struct Case {
        char16_t unit;
        int table;
        uint8_t byte;
    } cases[] = {
        {0x0410, 2, 0xC0}, // Cyrillic A
        {0x00D8, 0, 0xA8}, // an entry whose unit is below 0x100
        {0x0041, 2, 0x41},
        {0x00E9, 2, '?'},  // e acute: under Windows-1251 its byte is the short i
        {0x00C0, 2, '?'},
        {0x00F1, 1, '?'},  // n tilde: under Windows-1250 its byte is n acute
        {0x00F1, 4, 0xF1}, // Windows-1252 has it
        {0x00E4, 1, 0xE4}, // a diaeresis is where it is in Windows-1250
        {0x0098, 2, 0x98}, // the byte that Windows-1251 leaves undefined
        {0x4E2D, 2, '?'},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UnmapUnicodeChar(c.unit, c.table), c.byte) << std::hex << int(c.unit) << " " << c.table;
    EXPECT_EQ(UnicodeToAnsi(QString::fromUtf16(u"\u041F\u0440\u0438 \u20AC\u4E2D\u00E9"), 2),
              QByteArray("\xCF\xF0\xE8 \x88??"));
}

} // namespace
