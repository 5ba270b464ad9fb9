// Languages on the windows as the program builds them: the shipped language file against
// the live controls (both ways), switching languages there and back, the wizard's texts,
// the start-up in a stored language, the first language after an unknown stored one, the
// version suffix, and the choice lists that keep their choices.
#include "editor/ApplyLanguage.h"
#include "editor/Controls.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSet>
#include <QTableWidget>

namespace {

class LanguageTest : public WindowTestBase {
protected:
    void TearDown() override
    {
        WindowTestBase::TearDown();
        ClearLanguages();
    }

    // The windows as the program creates them, with the start-up's language applied.
    void Start(const QByteArray& storedLanguage = {})
    {
        if (!storedLanguage.isNull()) {
            QFile ini(dir.path() + "/Settings.ini");
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write("[Settings]\r\nLanguage=" + storedLanguage + "\r\n");
        }
        ClearLanguages();
        CreateForms();
        form->Timer5->stop();
        form->Timer5Timer();
    }

    // The user picks a language from the list.
    void Choose(const QString& name)
    {
        const int i = form->ComboBox28->findText(name);
        ASSERT_GE(i, 0) << name.toStdString();
        form->ComboBox28->setCurrentIndex(i);
        emit form->ComboBox28->activated(i);
    }

    static QString Line(const QByteArray& form, const QByteArray& name)
    {
        return QString::fromLatin1(form + "." + name);
    }
};

// The captions a language should give: every label, button, group box and tab of every
// window whose text is not put together at run time.
QMap<QString, QString> Captions(const QList<QWidget*>& forms)
{
    QMap<QString, QString> out;
    for (QWidget* f : forms) {
        const QHash<QString, QObject*> owned = OwnedComponents(f);
        for (auto it = owned.begin(); it != owned.end(); ++it) {
            QString text;
            if (auto* l = qobject_cast<QLabel*>(it.value()); l && l->pixmap().isNull())
                text = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(it.value()))
                text = b->text();
            else if (auto* g = qobject_cast<QGroupBox*>(it.value()))
                text = g->title();
            if (!text.isEmpty())
                out.insert(f->objectName() + "." + it.value()->objectName(), text);
        }
    }
    return out;
}

QList<QWidget*> Forms()
{
    QList<QWidget*> forms;
    for (const char* n : {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6"})
        if (QWidget* w = FindLanguageForm(n))
            forms << w;
    return forms;
}

TEST_F(LanguageTest, EveryLineOfTheShippedFileNamesALiveControlOfItsClass)
{
    Start();
    ASSERT_EQ(Languages.size(), 2);
    for (const TLanguage& lang : Languages) {
        for (const TLangForm& f : lang.Forms) {
            QWidget* w = FindLanguageForm(f.Name);
            EXPECT_TRUE(w) << lang.Name.constData() << ": no window " << f.Name.constData();
            if (!w)
                continue;
            const QHash<QString, QObject*> owned = OwnedComponents(w);
            for (const TLangComponent& c : f.Components) {
                const QString where = Line(f.Name, c.Name);
                QObject* control = owned.value(QString::fromLatin1(c.Name).toLower());
                const TLangClassRow* row = FindLangClassRow(c.ClassName);
                EXPECT_TRUE(control) << lang.Name.constData() << ": no control " << where.toStdString();
                EXPECT_TRUE(row) << where.toStdString() << ": unknown class " << c.ClassName.constData();
                if (control && row) {
                    EXPECT_TRUE(row->Matches(control)) << where.toStdString() << " is no " << row->QtClass
                                                       << " (" << c.ClassName.constData() << ")";
                    // A line whose class sets nothing leaves its text untranslated.
                    EXPECT_NE(row->Kind, TLangTextKind::None) << where.toStdString() << " sets nothing";
                }
            }
        }
    }
}

// The input type lists are filled from messages 93 to 95: their lines, and only theirs, say the same.
TEST_F(LanguageTest, InputTypeLinesSayWhatTheListsShow)
{
    Start();
    for (const TLanguage& lang : Languages) {
        const QByteArray items = lang.Messages.value(92) + '\t' + lang.Messages.value(93) + '\t' + lang.Messages.value(94);
        QList<QByteArray> lines;
        for (const TLangForm& f : lang.Forms)
            for (const TLangComponent& c : f.Components)
                if (c.Caption == items)
                    lines << c.Name;
        EXPECT_EQ(lines, (QList<QByteArray>{"ComboBox5", "ComboBox7", "ComboBox8", "ComboBox9", "ComboBox10", "ComboBox11"}))
            << lang.Name.constData() << ": " << lines.join(' ').constData();
    }
}

TEST_F(LanguageTest, EveryCaptionOfEveryWindowHasItsLine)
{
    Start();
    // Captions the program puts together or fills at run time, and texts that are no words.
    const QSet<QString> runTime = {
        "Form1.TntLabel1", "Form1.TntLabel4", "Form1.TntLabel10", "Form1.TntLabel59", "Form1.TntBitBtn3",
        "Form1.Label129", "Form1.Label131", "Form1.Label31", "Form1.Label33",
        "Form1.Step0", "Form1.Step1", "Form1.Step2", "Form1.Step3", "Form1.Step4", "Form1.Step5",
        "Form1.Step6", "Form1.Step7", "Form1.Step8",
        "Form1.Label65", "Form1.Label68", "Form1.Label71", "Form1.Label74", // outputs' time format
        "Form1.TntRadioButton3", "Form1.TntRadioButton4", "Form1.TntRadioButton5",
        "Form1.TntRadioButton6", "Form1.TntRadioButton7", "Form1.TntRadioButton8",
        "Form1.Label67", "Form1.Label70", "Form1.Label73", "Form1.TntLabel15", "Form1.TntLabel16",
        "Form1.TntLabel17", "Form1.TntCheckBox35", "Form1.TntCheckBox36", "Form1.TntCheckBox37",
        "Form1.TntLabel70", "Form1.TntLabel71", "Form1.TntLabel72", // outputs 2..4 from output 1
        "Form1.TntGroupBox4", "Form1.TntGroupBox11", "Form1.TntGroupBox12", "Form1.TntGroupBox13",
        "Form1.TntCheckBox2", "Form1.TntCheckBox4", "Form1.TntCheckBox11", "Form1.TntCheckBox14",
        "Form3.Label2",
    };
    QSet<QString> named;
    for (const TLangForm& f : Languages[0].Forms)
        for (const TLangComponent& c : f.Components)
            named << Line(f.Name, c.Name).toLower();
    const QMap<QString, QString> captions = Captions(Forms());
    for (auto it = captions.begin(); it != captions.end(); ++it) {
        if (runTime.contains(it.key()) || named.contains(it.key().toLower()))
            continue;
        // The wizard's own buttons take their captions from messages.
        if (it.key().startsWith("Form1.") && qobject_cast<TPageWizardButtonControl*>(
                                                 OwnedComponents(form).value(it.key().mid(6).toLower())))
            continue;
        ADD_FAILURE() << it.key().toStdString() << " \"" << it.value().toStdString() << "\" has no line";
    }
}

// Every text the windows show, one line each, with the place of every control.
QStringList Picture(const QList<QWidget*>& forms)
{
    QStringList out;
    for (QWidget* f : forms) {
        out << f->objectName() + " title " + f->windowTitle();
        const QHash<QString, QObject*> owned = OwnedComponents(f);
        QStringList lines;
        for (auto it = owned.begin(); it != owned.end(); ++it) {
            const QString n = f->objectName() + "." + it.value()->objectName();
            auto* w = qobject_cast<QWidget*>(it.value());
            if (!w)
                continue;
            lines << n + QStringLiteral(" at %1,%2 %3").arg(w->x()).arg(w->y()).arg(w->width());
            lines << n + " hint " + ctl::Hint(w) + (ctl::ShowHint(w) ? " shown" : "");
            if (auto* l = qobject_cast<QLabel*>(w))
                lines << n + " " + l->text();
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                lines << n + " " + b->text();
            if (auto* g = qobject_cast<QGroupBox*>(w))
                lines << n + " " + g->title();
            if (auto* m = qobject_cast<QPlainTextEdit*>(w))
                lines << n + " " + m->toPlainText();
            if (auto* c = qobject_cast<QComboBox*>(w)) {
                lines << n + QStringLiteral(" chosen %1").arg(c->currentIndex());
                for (int i = 0; i < c->count(); ++i)
                    lines << n + " item " + c->itemText(i);
            }
            if (auto* t = qobject_cast<QTableWidget*>(w))
                for (int c = 0; c < t->columnCount(); ++c)
                    if (const QTableWidgetItem* h = t->horizontalHeaderItem(c))
                        lines << n + " title " + h->text();
            if (auto* pc = qobject_cast<TPageControl*>(w))
                for (int i = 0; i < pc->PageCount(); ++i)
                    lines << n + " tab " + pc->TabCaption(i);
            if (auto* page = qobject_cast<TPageWizardCustomPage*>(w))
                lines << n + " header " + page->Header()->Title()->Text() + " / " +
                             page->Header()->Subtitle()->Text();
        }
        lines.sort();
        out << lines;
    }
    return out;
}

TEST_F(LanguageTest, RussianAndBackGivesTheFirstPictureAgain)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("Manuals"));
    QFile manual(dir.path() + "/Manuals/English.pdf");
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    Start();
    const QStringList english = Picture(Forms());
    Choose("English"); // the current language: nothing happens
    EXPECT_EQ(Picture(Forms()), english);

    Choose("Russian");
    const QStringList russian = Picture(Forms());
    int changed = 0;
    for (const QString& line : russian)
        changed += english.contains(line) ? 0 : 1;
    EXPECT_GT(changed, 300);
    // No manual of its own: the English one is offered.
    EXPECT_FALSE(form->TntBitBtn3->isHidden());
    EXPECT_EQ(form->TntBitBtn3->text(), GetLangText(140) + " English.pdf");
    EXPECT_NE(GetLangText(140), QStringLiteral("Open"));

    Choose("English");
    const QStringList again = Picture(Forms());
    ASSERT_EQ(again.size(), english.size());
    int shown = 0;
    for (int i = 0; i < english.size() && shown < 10; ++i) {
        if (again[i] != english[i]) {
            ADD_FAILURE() << "was " << english[i].toStdString() << "\nnow " << again[i].toStdString();
            ++shown;
        }
    }
}

TEST_F(LanguageTest, WizardAndRunTimeTextsFollowTheLanguage)
{
    const int texts[9][2] = {{55, 56}, {57, 58}, {59, 60}, {61, 62}, {63, 64},
                             {65, 66}, {67, 68}, {90, 91}, {69, 70}};
    auto expectWizard = [&](const char* language) {
        for (int n = 1; n <= 9; ++n) {
            SCOPED_TRACE(std::string(language) + " page " + std::to_string(n));
            EXPECT_EQ(form->WPage[n]->Header()->Title()->Text(), LangMessage(texts[n - 1][0]));
            EXPECT_EQ(form->WPage[n]->Header()->Subtitle()->Text(), LangMessage(texts[n - 1][1]));
            EXPECT_EQ(form->Step[n - 1]->text(), LangMessage(texts[n - 1][0]));
            EXPECT_NE(form->WPage[n]->Header()->Subtitle()->Text(), QStringLiteral("Subtitle"));
        }
        EXPECT_EQ(form->wzrd1->ButtonNext()->Caption(), LangMessage(71));
        EXPECT_EQ(form->wzrd1->ButtonBack()->Caption(), LangMessage(72));
        EXPECT_EQ(form->wzrd1->ButtonCancel()->Caption(), LangMessage(73));
        // Lists and texts put together from messages.
        QString event;
        TForm1::FirstBackslashPart(LangMessage(141), event);
        EXPECT_EQ(form->ComboBox22->itemText(0), event);
        EXPECT_EQ(form->ComboBox11->itemText(2), LangMessage(95));
        EXPECT_EQ(form->OutputCombo[3]->itemText(3), LangMessage(100));
        EXPECT_EQ(form->Label96->text(), LangMessage(83) + ":" + LangMessage(84) + ":" + LangMessage(85));
        EXPECT_EQ(form->InTntLabel49->text(), form->Label90->text());
        EXPECT_EQ(form->StringGrid2->horizontalHeaderItem(1)->text(), LangMessage(41));
    };
    Start();
    expectWizard("English");
    const QString englishNext = LangMessage(71);
    Choose("Russian");
    expectWizard("Russian");
    EXPECT_NE(LangMessage(71), englishNext);
}

TEST_F(LanguageTest, StoredLanguageStartsEveryWindowInIt)
{
    Start("russian"); // found without regard to case, stored back as the file writes it
    ASSERT_EQ(form->ComboBox28->currentText(), QStringLiteral("Russian"));
    QFile ini(dir.path() + "/Settings.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Language=Russian\r\n"));
    const TLanguage& russian = Languages[1];
    for (const TLangForm& f : russian.Forms) {
        QWidget* w = FindLanguageForm(f.Name);
        ASSERT_TRUE(w);
        const QString caption = LangToUnicode(f.Caption);
        EXPECT_EQ(w->windowTitle(), f.Name == "Form1" ? caption + " v.2.017" : caption);
        if (f.Name == "Form1")
            continue; // (the main window's lines: the switching test above)
        const QHash<QString, QObject*> owned = OwnedComponents(w);
        for (const TLangComponent& c : f.Components) {
            QObject* o = owned.value(QString::fromLatin1(c.Name).toLower());
            QString text;
            if (auto* l = qobject_cast<QLabel*>(o))
                text = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(o))
                text = b->text();
            else if (auto* g = qobject_cast<QGroupBox*>(o))
                text = g->title();
            EXPECT_EQ(text, LangToUnicode(c.Caption)) << f.Name.constData() << "." << c.Name.constData();
        }
    }
    EXPECT_EQ(form->TntButton1->text(), QStringLiteral("Записать в модуль"));
}

TEST_F(LanguageTest, FirstLanguageAfterAnUnknownStoredOneAndTheVersionSuffixOnce)
{
    auto storedName = [&] {
        QFile ini(dir.path() + "/Settings.ini");
        EXPECT_TRUE(ini.open(QIODevice::ReadOnly));
        const QByteArray all = ini.readAll();
        const qsizetype at = all.indexOf("Language=");
        return at < 0 ? QByteArray("<none>") : all.mid(at + 9).split('\r').first().split('\n').first();
    };
    auto suffixes = [&] { return form->windowTitle().count(QStringLiteral(" v.2.017")); };

    Start("Klingon");
    // Nothing is applied: the list shows no language and the stored name becomes empty.
    EXPECT_EQ(form->ComboBox28->currentIndex(), -1);
    EXPECT_FALSE(LanguageApplied);
    EXPECT_EQ(storedName(), QByteArray());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("VEQ4m Loader v.2.017"));
    form->ComboBox28Change(nullptr); // a second switch that applies nothing
    EXPECT_EQ(suffixes(), 1);

    // The first language of the file is not "already current": choosing it applies it.
    Choose("English");
    EXPECT_TRUE(LanguageApplied);
    EXPECT_EQ(storedName(), QByteArray("English"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("VEQ4m Loader v.2.017"));

    for (const char* l : {"Russian", "English", "Russian"})
        Choose(QString::fromLatin1(l));
    form->ComboBox28Change(nullptr);
    EXPECT_EQ(storedName(), QByteArray("Russian"));
    EXPECT_EQ(suffixes(), 1);
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" v.2.017")));
}

TEST_F(LanguageTest, ChoiceListsKeepWholeIndexes)
{
    Start();
    QComboBox* protocols = form->ComboBox1;
    for (int i = protocols->count(); i < 300; ++i)
        protocols->addItem(QStringLiteral("protocol %1").arg(i));
    for (int chosen : {280, 255, -1, 7}) {
        protocols->setCurrentIndex(chosen);
        const QList<int> saved = form->SaveComboIndexes();
        ASSERT_EQ(saved.size(), 20);
        EXPECT_EQ(saved[2], chosen); // "Combobox1" is the third of the lists
        protocols->setCurrentIndex(3);
        form->RestoreComboIndexes(saved);
        EXPECT_EQ(protocols->currentIndex(), chosen);
    }
}

TEST(LanguageTexts, BackslashParts)
{
    const struct {
        const char* in;
        const char* first;
        const char* rest;
    } cases[] = {
        {"Title\\A\\B", "Title", "A\n\rB"},
        {"Title\\A", "Title", "A"},
        {"Plain", "Plain", ""},
        {"\\A", "", "A"},
        {"T\\A\\\\B", "T", "A\n\r\n\rB"},
    };
    for (const auto& c : cases) {
        QString first, rest;
        TForm1::FirstBackslashPart(QString::fromLatin1(c.in), first);
        TForm1::BackslashToLineBreaks(QString::fromLatin1(c.in), rest);
        EXPECT_EQ(first, QString::fromLatin1(c.first)) << c.in;
        EXPECT_EQ(rest, QString::fromLatin1(c.rest)) << c.in;
    }
}

} // namespace
