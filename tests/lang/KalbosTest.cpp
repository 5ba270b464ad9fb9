// Reading comps.txt: records, cuts, line numbers of bad lines, the table after failures,
// message lookup and the consistency check of the languages.
#include <gtest/gtest.h>

#include "lang/Kalbos.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class KalbosTest : public ::testing::Test {
protected:
    void SetUp() override { ClearLanguages(); }
    void TearDown() override { ClearLanguages(); }

    bool load(const QByteArray& data)
    {
        error.clear();
        return LoadLanguageData(data, "comps.txt", error);
    }
    QByteArray error;
};

TEST_F(KalbosTest, CommentsAndEmptyLinesOnlyLoadNothing)
{
    EXPECT_TRUE(load("// comment\r\n\r\n#another\n \n\tx\r"));
    EXPECT_TRUE(Languages.isEmpty());
    EXPECT_TRUE(load(QByteArray()));
}

TEST_F(KalbosTest, LanguageAndMessagesInFileOrder)
{
    ASSERT_TRUE(load("%English\t0\t0\r\n$Hello\r\n$World\tnote after a tab\r\n"
                     "%Russian\t204\t1\textra\r\n$Privet\r\n"));
    ASSERT_EQ(Languages.size(), 2);
    EXPECT_EQ(Languages[0].Name, "English");
    EXPECT_EQ(Languages[0].Charset, 0);
    EXPECT_EQ(Languages[0].SmsTable, 0);
    EXPECT_EQ(Languages[0].Messages, (QList<QByteArray>{"Hello", "World"}));
    EXPECT_EQ(Languages[1].Charset, 204);
    EXPECT_EQ(Languages[1].SmsTable, 1);
    EXPECT_EQ(Languages[1].Messages, QList<QByteArray>{"Privet"});
}

TEST_F(KalbosTest, LineEndsCrLfCrAndLfAndNoEndAtAll)
{
    ASSERT_TRUE(load("%A\t0\t0\r$1\r$2\n$3\r\n\r\n$4"));
    EXPECT_EQ(Languages[0].Messages, (QList<QByteArray>{"1", "2", "3", "4"}));
}

TEST_F(KalbosTest, BadLineNumberCountsEmptyAndCommentLines)
{
    // Line 1 language, 2 empty, 3 comment, 4 message, 5 empty (CR LF CR LF), 6 bad.
    EXPECT_FALSE(load("%English\t0\t0\r\n\r\n;note\r\n$Hi\r\n\r\n$\r\n$after\r\n"));
    EXPECT_EQ(error, "6 bloga eilute PUXcomps.txt");
    // What was read before the bad line stays; nothing after it is read.
    ASSERT_EQ(Languages.size(), 1);
    EXPECT_EQ(Languages[0].Messages, QList<QByteArray>{"Hi"});

    ClearLanguages();
    // A lone CR and a lone LF count one line each, as CR LF does.
    EXPECT_FALSE(load("%E\t0\t0\r\r\n\n=\tcaption\n"));
    EXPECT_EQ(error, "4 bloga eilute PUXcomps.txt");
}

TEST_F(KalbosTest, ErrorTextNamesTheFileOnlyWhenItIsMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray err;
    EXPECT_FALSE(LoadLanguageFile(dir.filePath("comps.txt"), err));
    EXPECT_EQ(err, "Not found comps.txt");
    EXPECT_FALSE(LoadLanguageFile(dir.path(), err)); // a folder is no file

    QFile f(dir.filePath("other.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%E\t0\t0\r\n$\r\n");
    f.close();
    EXPECT_FALSE(LoadLanguageFile(dir.filePath("other.txt"), err));
    EXPECT_EQ(err, "2 bloga eilute PUXcomps.txt"); // the same text whatever the name
}

TEST_F(KalbosTest, BadLanguageLineEmptiesTheWholeTable)
{
    const QByteArray good = "%English\t0\t0\r\n$Hello\r\n%Lietuviu\t186\t2\r\n$Labas\r\n";
    for (const QByteArray& bad : {QByteArray("%Russian\t204"), QByteArray("%Russian\t204\tx"),
                                  QByteArray("%Russian\tabc\t1"), QByteArray("%Russian\t\t1"),
                                  QByteArray("%Russian"), QByteArray("%Russian\t99999999999\t1"),
                                  QByteArray("%Russian\t204\t1.5")}) {
        ClearLanguages();
        EXPECT_FALSE(load(good + bad + "\r\n$Privet\r\n")) << bad.constData();
        EXPECT_EQ(error, "5 bloga eilute PUXcomps.txt") << bad.constData();
        EXPECT_TRUE(Languages.isEmpty()) << bad.constData();
    }
    ClearLanguages();
    ASSERT_TRUE(load("%Neg\t-5\t-1\r\n%Sign\t+7\t 3\r\n"));
    EXPECT_EQ(Languages[0].Charset, -5);
    EXPECT_EQ(Languages[0].SmsTable, -1);
    EXPECT_EQ(Languages[1].Charset, 7);
    EXPECT_EQ(Languages[1].SmsTable, 3);
}

TEST_F(KalbosTest, NamesAndCaptionsAreCut)
{
    const QByteArray name40 = QByteArray(40, 'n');
    const QByteArray caption120 = QByteArray(120, 'c');
    ASSERT_TRUE(load("%" + name40 + "\t0\t0\r\n=" + name40 + "\t" + caption120 + "\tignored\r\n&" +
                     name40 + "\t" + name40 + "\tText\r\n"));
    EXPECT_EQ(Languages[0].Name, QByteArray(30, 'n'));
    const TLangForm& form = Languages[0].Forms[0];
    EXPECT_EQ(form.Name, QByteArray(30, 'n'));
    EXPECT_EQ(form.Caption, QByteArray(100, 'c'));
    EXPECT_EQ(form.Components[0].Name, QByteArray(30, 'n'));
    EXPECT_EQ(form.Components[0].ClassName, QByteArray(30, 'n'));
}

TEST_F(KalbosTest, ComponentTextsDependOnTheClassName)
{
    ASSERT_TRUE(load("%E\t0\t0\r\n=Form1\tMain\r\n"
                     "&ComboBox1\tTComboBox\tA\tB\tC\r\n"
                     "&ComboBox2\tTTNTCOMBOBOX\tA\tB\tC\r\n"
                     "&RadioGroup1\tTRadioGroup\tMode\tOne\tTwo\r\n"
                     "&RadioGroup2\tTtntRadioGroup\tMode\tOne\r\n"
                     "&Label1\tTLabel\tText\tTip\textra\r\n"
                     "&Label2\tTTntLabel\tOnly\r\n"));
    const QList<TLangComponent>& c = Languages[0].Forms[0].Components;
    ASSERT_EQ(c.size(), 6);
    EXPECT_EQ(c[0].Caption, "A\tB\tC");
    EXPECT_EQ(c[0].Hint, "");
    EXPECT_EQ(c[1].Caption, "A\tB\tC");
    EXPECT_EQ(c[1].ClassName, "TTNTCOMBOBOX"); // stored as written
    EXPECT_EQ(c[2].Caption, "Mode");
    EXPECT_EQ(c[2].Hint, "One\tTwo");
    EXPECT_EQ(c[3].Hint, "One");
    EXPECT_EQ(c[4].Caption, "Text");
    EXPECT_EQ(c[4].Hint, "Tip");
    EXPECT_EQ(c[5].Caption, "Only");
    EXPECT_EQ(c[5].Hint, "");
}

TEST_F(KalbosTest, BadFormAndComponentLines)
{
    EXPECT_FALSE(load("%E\t0\t0\r\n=\tNo name\r\n"));
    EXPECT_EQ(error, "2 bloga eilute PUXcomps.txt");
    EXPECT_TRUE(Languages[0].Forms.isEmpty());

    ClearLanguages();
    EXPECT_FALSE(load("%E\t0\t0\r\n=Form1\tMain\r\n&Label1\r\n&Label2\tTLabel\tx\r\n"));
    EXPECT_EQ(error, "3 bloga eilute PUXcomps.txt");
    // The bad component stays behind at the end of its form.
    ASSERT_EQ(Languages[0].Forms[0].Components.size(), 1);
    EXPECT_EQ(Languages[0].Forms[0].Components[0].Name, "Label1");
    EXPECT_TRUE(Languages[0].Forms[0].Components[0].ClassName.isEmpty());

    ClearLanguages();
    EXPECT_FALSE(load("%E\t0\t0\r\n=Form1\tMain\r\n&\tTLabel\tx\r\n"));
    EXPECT_EQ(error, "3 bloga eilute PUXcomps.txt");
}

TEST_F(KalbosTest, LinesWithoutARecordFailAsNotFound)
{
    for (const QByteArray& data :
         {QByteArray("=Form1\tMain\r\n"), QByteArray("$Hello\r\n"),
          QByteArray("&Label1\tTLabel\r\n"), QByteArray("%E\t0\t0\r\n&Label1\tTLabel\tx\r\n")}) {
        ClearLanguages();
        EXPECT_FALSE(load(data)) << data.constData();
        EXPECT_EQ(error, "Not found comps.txt") << data.constData();
    }
    // A component goes to the last form of the last language, never to an earlier one.
    ClearLanguages();
    EXPECT_FALSE(load("%A\t0\t0\r\n=Form1\tx\r\n%B\t0\t0\r\n&Label1\tTLabel\tx\r\n"));
    EXPECT_TRUE(Languages[0].Forms[0].Components.isEmpty());
}

TEST_F(KalbosTest, BytesAreKeptAsTheyAre)
{
    // Code-page bytes and a NUL inside a message are text like any other.
    ASSERT_TRUE(load(QByteArray("%Ru\t204\t1\r\n$\xC0\xC1\x00z\r\n", 16)));
    EXPECT_EQ(Languages[0].Messages[0], QByteArray("\xC0\xC1\x00z", 4));
}

TEST_F(KalbosTest, MessageLookup)
{
    EXPECT_EQ(GetLangMessage(1), ""); // before any file was loaded
    ASSERT_TRUE(load("%English\t0\t0\r\n$One\r\n$Two\r\n%Other\t204\t1\r\n$Odin\r\n"));
    EXPECT_EQ(GetLangMessage(1), "One"); // the first language until one is applied
    EXPECT_EQ(GetLangMessage(2), "Two");
    EXPECT_EQ(GetLangMessage(0), "");
    EXPECT_EQ(GetLangMessage(3), "");
    EXPECT_EQ(GetLangMessage(-1), "");
    QByteArray text = "stale";
    GetLangMessage(99, text);
    EXPECT_EQ(text, "");

    ASSERT_TRUE(SelectLanguage(1));
    EXPECT_EQ(CurrentLanguage, 1);
    EXPECT_EQ(CurrentCharset, 204);
    EXPECT_EQ(CurrentCodeTable, 2);
    EXPECT_EQ(GetLangMessage(1), "Odin");
    EXPECT_EQ(GetLangMessage(2), "");
    EXPECT_FALSE(SelectLanguage(2));
    EXPECT_EQ(CurrentLanguage, 1);

    CurrentLanguage = 7; // set from outside: lookups stay safe
    EXPECT_EQ(GetLangMessage(1), "");
    EXPECT_EQ(CurrentSmsTable(), 0);
}

TEST_F(KalbosTest, NegativeSmsTableMeansNoConversion)
{
    ASSERT_TRUE(load("%A\t0\t-3\r\n%B\t0\t5\r\n"));
    EXPECT_EQ(CurrentSmsTable(), 0);
    SelectLanguage(1);
    EXPECT_EQ(CurrentSmsTable(), 5);
}

// ---- consistency of the languages ----------------------------------------------------

QByteArray language(const QByteArray& name, const QList<int>& components, int messages)
{
    QByteArray s = "%" + name + "\t0\t0\r\n";
    for (int f = 0; f < components.size(); ++f) {
        s += "=Form" + QByteArray::number(f + 1) + "\tc\r\n";
        for (int c = 0; c < components[f]; ++c)
            s += "&C" + QByteArray::number(c) + "\tTLabel\tx\r\n";
    }
    for (int m = 0; m < messages; ++m)
        s += "$m\r\n";
    return s;
}

TEST_F(KalbosTest, CheckFindsNothingInEqualLanguages)
{
    EXPECT_TRUE(CheckLanguageTable().isEmpty()); // no language at all
    ASSERT_TRUE(load(language("A", {3, 2}, 4) + language("B", {3, 2}, 4)));
    EXPECT_TRUE(CheckLanguageTable().isEmpty());
}

TEST_F(KalbosTest, CheckReportsEachDifferenceAgainstTheFirstNonZeroCount)
{
    ASSERT_TRUE(load(language("A", {3, 2}, 4) + language("B", {3, 5}, 4) +
                     language("C", {3, 2}, 5) + language("D", {3}, 4)));
    EXPECT_EQ(CheckLanguageTable(),
              (QList<QByteArray>{"Form2 turi skirtinga kieki komponentu",
                                 "C turi skirtinga kieki zinuciu",
                                 "D turi skirtinga kieki formu"}));

    // A language without messages sets no reference; the next one does.
    ClearLanguages();
    ASSERT_TRUE(load(language("A", {}, 0) + language("B", {1}, 2) + language("C", {1}, 3)));
    EXPECT_EQ(CheckLanguageTable(), QList<QByteArray>{"C turi skirtinga kieki zinuciu"});
}

TEST_F(KalbosTest, CheckCountsAnyNumberOfFormsAndComponents)
{
    // 30 forms, and a form with 300 components, are compared in full.
    QList<int> many(30, 1);
    many[0] = 300;
    QList<int> other = many;
    other[25] = 2;
    QList<int> wide = many;
    wide[0] = 300 + 256; // differs only above one byte
    ASSERT_TRUE(load(language("A", many, 1) + language("B", other, 1) + language("C", wide, 1)));
    EXPECT_EQ(CheckLanguageTable(), (QList<QByteArray>{"Form26 turi skirtinga kieki komponentu",
                                                       "Form1 turi skirtinga kieki komponentu"}));
}

} // namespace
