#include "link/UnitEil.h"
#include "link/mytypes.h"

#include <gtest/gtest.h>

TEST(Helpers, NewArrayIsZeroAndFillBytes)
{
    tduomenys a(63);
    for (auto b : a)
        EXPECT_EQ(b, 0);
    FillBytes(a, 0xAB);
    for (auto b : a)
        EXPECT_EQ(b, 0xAB);
    tduomenys empty;
    FillBytes(empty, 1);
    EXPECT_TRUE(empty.empty());
}

TEST(Helpers, CopyBytesIntoStaysInsideTheTarget)
{
    const tduomenys src{1, 2, 3, 4, 5};
    struct Case {
        int start;
        tduomenys expectTail; // A[58..62]
    };
    const Case cases[] = {
        {60, {0, 0, 1, 2, 3}},
        {63, {0, 0, 0, 0, 0}},
        {1000, {0, 0, 0, 0, 0}},
        {58, {1, 2, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        tduomenys a(63);
        CopyBytesInto(a, src, c.start);
        ASSERT_EQ(a.size(), 63u);
        EXPECT_EQ(tduomenys(a.begin() + 58, a.end()), c.expectTail) << c.start;
    }
    // A negative start writes nothing before A[0]; the bytes that land inside are copied.
    tduomenys a(4);
    CopyBytesInto(a, src, -2);
    EXPECT_EQ(a, (tduomenys{3, 4, 5, 0}));
    tduomenys b(4);
    CopyBytesInto(b, src, -2147483647 - 1);
    EXPECT_EQ(b, tduomenys(4));
    tduomenys c(3);
    CopyBytesInto(c, src, 2147483647);
    EXPECT_EQ(c, tduomenys(3));
}

TEST(Helpers, IndexOfText)
{
    EXPECT_EQ(IndexOfText(QByteArray("ZONE"), {QByteArray("user"), QByteArray("zone")}), 1);
    EXPECT_EQ(IndexOfText(QByteArray("ZONE"), QList<QByteArray>{}), -1);
    EXPECT_EQ(IndexOfText(QByteArray("a"), {QByteArray("A"), QByteArray("a")}), 0);
    EXPECT_EQ(IndexOfText(QByteArray("zon"), {QByteArray("zone")}), -1);
    // Only ASCII letters fold: 0xE0 and 0xC0 stay different.
    EXPECT_EQ(IndexOfText(QByteArray("\xE0"), {QByteArray("\xC0")}), -1);
    EXPECT_EQ(IndexOfText(QString("English"), QStringList{"LIETUVIU", "english"}), 1);
}

TEST(Helpers, HexToInt)
{
    EXPECT_EQ(HexToInt("1f"), 31);
    EXPECT_EQ(HexToInt(QByteArray("1F")), 31);
    EXPECT_EQ(HexToInt(QString("1F")), 31);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(HexToInt("123456789"), 0x23456789); // leading digits beyond 32 bits are lost
    for (const char* bad : {"12G", " 1", "1 ", "0x1", "-1"}) {
        try {
            HexToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EHexError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Ne HEX ") + bad);
        }
    }
    try {
        HexToInt(QString("12G"));
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Ne HEX 12G");
    }
}

TEST(Helpers, SplitAt)
{
    struct Case {
        const char* s;
        const char* head;
        const char* rest;
    };
    const Case cases[] = {
        {"host:80", "host", "80"},
        {"host", "host", ""},
        {":80", "", "80"},
        {"a:b:c", "a", "b:c"},
        {"", "", ""},
        {"a:", "a", ""},
    };
    for (const auto& c : cases) {
        QByteArray s(c.s), head;
        SplitAt(s, ":", head);
        EXPECT_EQ(head, QByteArray(c.head)) << c.s;
        EXPECT_EQ(s, QByteArray(c.rest)) << c.s;
        QString w = QString::fromLatin1(c.s), wh;
        SplitAtW(w, ":", wh);
        EXPECT_EQ(wh, QString::fromLatin1(c.head)) << c.s;
        EXPECT_EQ(w, QString::fromLatin1(c.rest)) << c.s;
    }
    // A longer separator leaves its remaining characters at the start of the rest.
    QByteArray s("a::b"), head;
    SplitAt(s, "::", head);
    EXPECT_EQ(head, "a");
    EXPECT_EQ(s, ":b");
    // Field by field, NUL bytes kept.
    QByteArray line("x\tq\0r\tz", 7), f;
    QList<QByteArray> fields;
    while (!line.isEmpty()) {
        SplitAt(line, "\t", f);
        fields << f;
    }
    EXPECT_EQ(fields, (QList<QByteArray>{"x", QByteArray("q\0r", 3), "z"}));
}
