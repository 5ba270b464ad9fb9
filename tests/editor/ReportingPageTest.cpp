// The reporting, security and modem pages: what each channel state enables and how it
// colours the fields, the character and key filters of the edits, the stacking of the
// channel panels, the shared password, the SMS-backup list, and the captions that the
// GPRS-settings lock hides together with their controls.
#include "editor/Controls.h"
#include "support/WindowTestBase.h"
#include "widgets/Colors.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

class ReportingPageTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        form = new TForm1();
        form->Timer5Timer();
    }

    // The field's colour, checked against what its palette paints.
    static colors::TColor Color(const QWidget* w)
    {
        const colors::TColor c = ctl::FieldColor(w);
        EXPECT_EQ(w->palette().color(QPalette::Base), colors::ToQColor(c)) << qPrintable(w->objectName());
        return c;
    }
    static bool Enabled(const QWidget* w) { return ctl::Enabled(w); }
    static bool Shown(const QWidget* w) { return ctl::Visible(w); }
};

constexpr colors::TColor kWarn = 0xEAEAFF;

TEST_F(ReportingPageTest, ChannelStatesEnableAndColourTheirFields)
{
    auto& f = *form;
    using colors::clMenu, colors::clWindow;
    struct Case {
        int ch1, ch2;
        const char* address; // of channel 1; channel 2's stays empty
        colors::TColor edit1, edit5, apn;
    };
    const Case cases[] = {
        {0, 0, "", clMenu, clMenu, clWindow}, // nothing used: an empty APN is fine
        {1, 0, "", kWarn, clMenu, kWarn},     // required and empty
        {1, 0, "h", clWindow, clMenu, kWarn},
        {0, 2, "h", clMenu, kWarn, kWarn},    // reserve needs the APN too
        {0, 1, "", clMenu, kWarn, kWarn},
        {0, 0, "", clMenu, clMenu, clWindow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ch1 << "/" << c.ch2 << " " << c.address);
        f.Edit1->setText(QString::fromLatin1(c.address));
        Choose(f.ComboBox4, c.ch1);
        Choose(f.ComboBox2, c.ch2);
        EXPECT_EQ(Color(f.Edit1), c.edit1);
        EXPECT_EQ(Color(f.Edit5), c.edit5);
        EXPECT_EQ(Color(f.Edit2), c.apn);
        for (QWidget* w : std::initializer_list<QWidget*>{f.Edit1, f.TntEdit2, f.ComboBox1, f.TntComboBox3, f.Edit11,
                                                          f.TntCheckBox42, f.TntEdit8})
            EXPECT_EQ(Enabled(w), c.ch1 > 0) << qPrintable(w->objectName());
        for (QWidget* w : std::initializer_list<QWidget*>{f.Edit5, f.TntEdit3, f.ComboBox3, f.TntComboBox4, f.Edit6,
                                                          f.TntCheckBox43, f.TntEdit9})
            EXPECT_EQ(Enabled(w), c.ch2 > 0) << qPrintable(w->objectName());
        EXPECT_EQ(Color(f.Edit11), c.ch1 > 0 ? clWindow : clMenu);
        EXPECT_EQ(Shown(f.CH1_Panel3), c.ch1 > 0);
    }
    // Typing into an empty required field and filling the APN clear the marks.
    Choose(f.ComboBox4, 1);
    QTest::keyClick(f.TntEdit2, Qt::Key_5);
    EXPECT_EQ(Color(f.TntEdit2), clWindow);
    f.Edit2->setText(QStringLiteral("internet"));
    EXPECT_EQ(Color(f.Edit2), clWindow);

    // Unticking the heartbeat event gives back the default ID.
    f.TntCheckBox33->click();
    f.TntEdit4->setText(QStringLiteral("777"));
    f.TntCheckBox33->click();
    EXPECT_EQ(f.TntEdit4->text(), QStringLiteral("602"));
    EXPECT_FALSE(Enabled(f.TntEdit4));
}

TEST_F(ReportingPageTest, EditsFilterTypedAndPastedCharacters)
{
    auto& f = *form;
    Choose(f.ComboBox4, 1);
    Choose(f.ComboBox2, 1);
    f.TntCheckBox33->click();
    f.TntCheckBox28->click();
    struct Case {
        QLineEdit* edit;
        const char* typed;
        const char* expected;
    };
    const Case typed[] = {
        {f.Edit11, "ab1g", "B1"},          // account: upper case, B..F and digits
        {f.Edit6, "fe9a", "FE9"},
        {f.TntEdit8, "a0fz", "A0F"},       // key: A..F and digits
        {f.TntEdit9, "bq1", "B1"},
        {f.Edit1, "a-b_c:d.1", "a-b_cd.1"}, // address: letters, digits, ".", "-", "_"
        {f.Edit5, "x y", "xy"},
        {f.TntEdit2, "5a0", "50"},         // digits only
        {f.TntEdit3, "-1", "1"},
        {f.TntEdit1, "1x2", "12"},
    };
    for (const Case& c : typed) {
        c.edit->clear();
        QTest::keyClicks(c.edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.expected)) << qPrintable(c.edit->objectName());
    }
    // Backspace passes every filter.
    QTest::keyClick(f.Edit11, Qt::Key_Backspace);
    EXPECT_EQ(f.Edit11->text(), QStringLiteral("B"));

    // Pasted text is cleaned by the same rule as typed text, case included.
    const Case pasted[] = {
        {f.Edit1, "my-host_name:80.lt", "my-host_name80.lt"},
        {f.Edit11, "g1", "1"},
        {f.TntEdit8, "ab-cd", "ABCD"},
        {f.TntEdit2, "50 00", "5000"},
    };
    for (const Case& c : pasted) {
        c.edit->clear();
        Paste(c.edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(c.edit->text(), QString::fromLatin1(c.expected)) << qPrintable(c.edit->objectName());
    }
    // Address bytes above 127 do not pass, as they cannot be typed.
    f.Edit1->clear();
    Paste(f.Edit1, QStringLiteral("h\u00e9st"));
    EXPECT_EQ(f.Edit1->text(), QStringLiteral("hst"));
}

TEST_F(ReportingPageTest, PanelsStackAndTheGroupBoxFollows)
{
    auto& f = *form;
    f.ApplyFirmwareFeatures(2030); // offers the protocol with a key
    Choose(f.ComboBox4, 1);
    const int before = f.TntGroupBox14->height();
    QFrame* p1 = ctl::Find<QFrame>(&f, QStringLiteral("CH1_Panel1"));
    ASSERT_NE(p1, nullptr);
    EXPECT_EQ(p1->y(), 17);
    EXPECT_EQ(f.CH1_Panel3->y(), 17 + p1->height());
    EXPECT_EQ(before, p1->height() + f.CH1_Panel3->height() + 18);

    Choose(f.ComboBox1, 2);
    EXPECT_TRUE(Shown(f.CH1_Panel2));
    EXPECT_EQ(f.CH1_Panel2->y(), 17 + p1->height());
    EXPECT_EQ(f.CH1_Panel3->y(), 17 + p1->height() + f.CH1_Panel2->height());
    EXPECT_EQ(f.TntGroupBox14->height(), before + f.CH1_Panel2->height());
    // The key edit and its caption come with the box.
    EXPECT_FALSE(Shown(f.TntEdit8));
    f.TntCheckBox42->click();
    EXPECT_TRUE(Shown(f.TntEdit8));
    EXPECT_TRUE(Shown(f.TntLabel83));
    Choose(f.ComboBox1, 1);
    EXPECT_FALSE(Shown(f.CH1_Panel2));
    EXPECT_EQ(f.TntGroupBox14->height(), before);

    const int before2 = f.TntGroupBox15->height();
    Choose(f.ComboBox3, 2);
    EXPECT_EQ(f.TntGroupBox15->height(), before2 + f.CH2_Panel2->height());
    Choose(f.ComboBox3, 0);
    EXPECT_EQ(f.TntGroupBox15->height(), before2);

    // Channel unused: only the first panel is left.
    Choose(f.ComboBox4, 0);
    EXPECT_EQ(f.TntGroupBox14->height(), p1->height() + 18);
}

TEST_F(ReportingPageTest, UsbPasswordAndGprsPasswordShareOneEdit)
{
    auto& f = *form;
    EXPECT_FALSE(Enabled(f.Edit9));
    f.TntCheckBox41->click();
    EXPECT_TRUE(Enabled(f.Edit9));
    f.TntCheckBox3->click();
    EXPECT_TRUE(f.TntCheckBox3->isChecked());
    EXPECT_FALSE(f.TntCheckBox41->isChecked());
    EXPECT_FALSE(Enabled(f.TntCheckBox41));
    EXPECT_TRUE(Enabled(f.Edit9));
    EXPECT_EQ(Color(f.Edit9), colors::clWindow);
    f.TntCheckBox3->click();
    EXPECT_TRUE(Enabled(f.TntCheckBox41));
    EXPECT_FALSE(Enabled(f.Edit9));
    EXPECT_EQ(Color(f.Edit9), colors::clMenu);
    f.TntCheckBox41->click();
    EXPECT_TRUE(Enabled(f.Edit9));
    EXPECT_EQ(Color(f.Edit9), colors::clWindow);
}

TEST_F(ReportingPageTest, SmsBackupListNamesUsersWithANumber)
{
    auto& f = *form;
    const int bare = f.TntGroupBox14->height();
    UserPhones[0] = {"111", 0, 0x10};
    UserPhones[2] = {"", 0, 0x10}; // no number: not listed
    UserPhones[5] = {"333", 0x40, 0x10 | 0x01};
    UserPhones[6] = {"444", 0, 0x01};
    f.ShowSMSBackupNumbers();
    EXPECT_EQ(f.TntLabel50->text(), QStringLiteral("111, 333"));
    EXPECT_TRUE(Shown(f.CH1_Panel4));
    EXPECT_TRUE(Shown(f.TntLabel51)); // channel 1 unused
    EXPECT_EQ(f.TntGroupBox14->height(), bare + f.CH1_Panel4->height());
    Choose(f.ComboBox4, 1);
    EXPECT_FALSE(Shown(f.TntLabel51));

    UserPhones[0].PnAddCR = 0;
    UserPhones[5].PnAddCR = 0x01;
    f.ShowSMSBackupNumbers();
    EXPECT_FALSE(Shown(f.CH1_Panel4));
    Choose(f.ComboBox4, 0);
    EXPECT_EQ(f.TntGroupBox14->height(), bare);
}

// Every caption of a channel panel is for a control on its row; under the lock the
// captions of hidden controls hide with them, and the accounts keep theirs.
TEST_F(ReportingPageTest, LockHidesEachCaptionWithItsControl)
{
    auto& f = *form;
    const std::pair<QWidget*, QLabel*> pairs[] = {
        {f.ComboBox4, f.Label43},   {f.ComboBox1, f.Label44},   {f.Edit1, f.TntLabel6},
        {f.TntEdit2, f.TntLabel8},  {f.TntComboBox3, f.Label5}, {f.Edit11, f.Label45},
        {f.ComboBox2, f.TntLabel52}, {f.ComboBox3, f.TntLabel56}, {f.Edit5, f.TntLabel7},
        {f.TntEdit3, f.TntLabel55}, {f.TntComboBox4, f.TntLabel58}, {f.Edit6, f.TntLabel57},
        {f.Edit2, f.Label6},        {f.Edit3, f.Label7},        {f.Edit4, f.Label8},
        {f.Edit8, f.Label38},
    };
    auto check = [&](bool locked) {
        for (const auto& [control, label] : pairs) {
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->parentWidget(), control->parentWidget()) << qPrintable(label->objectName());
            // Same row, caption to the left.
            EXPECT_LT(std::abs(label->y() - control->y()), 6) << qPrintable(label->objectName());
            EXPECT_LT(label->x(), control->x()) << qPrintable(label->objectName());
            EXPECT_EQ(Shown(label), Shown(control)) << qPrintable(label->objectName()) << " locked " << locked;
        }
        // No caption of the panels or of the security page stands alone.
        for (QWidget* parent : {ctl::Find<QWidget>(&f, QStringLiteral("CH1_Panel1")),
                                ctl::Find<QWidget>(&f, QStringLiteral("CH2_Panel1")),
                                static_cast<QWidget*>(f.TntPanel17)}) {
            for (QLabel* l : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                const bool paired = std::any_of(std::begin(pairs), std::end(pairs),
                                                [l](const auto& p) { return p.second == l; });
                EXPECT_TRUE(paired) << qPrintable(l->objectName());
            }
        }
    };
    check(false);
    f.Link()->GPRSLocked = true;
    f.ApplyGPRSLock();
    EXPECT_TRUE(f.Edit1->isHidden());
    EXPECT_FALSE(f.Edit11->isHidden());
    check(true);
    f.Link()->GPRSLocked = false;
    f.ApplyGPRSLock();
    EXPECT_FALSE(f.Label44->isHidden());
    check(false);
}

} // namespace
