// The APN search of the reporting page with the shipped APN.txt and a fixed country:
// preselection, the chain of lists, the placement of OK and Cancel, and what OK and
// Cancel do to the APN edit; then the catalogue cases the shipped file does not hold.
#include "editor/APNCatalog.h"
#include "editor/Controls.h"
#include "platform/UserCountry.h"
#include "support/WindowTestBase.h"
#include "widgets/Colors.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class ApnSearchTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        platform::SetUserCountryForTests(QStringLiteral("LT"));
        form = new TForm1();
        form->Timer5Timer();
    }
    void TearDown() override
    {
        platform::SetUserCountryForTests(QString());
        WindowTestBase::TearDown();
    }

    static QStringList Items(const QComboBox* c)
    {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    static bool Shown(const QWidget* w) { return ctl::Visible(w); }
    // Which of the search's controls are shown, in the order lists, labels, OK, Cancel.
    QString Showing() const
    {
        QString s;
        for (const QWidget* w : {static_cast<QWidget*>(form->TntComboBox5), static_cast<QWidget*>(form->TntComboBox6),
                                 static_cast<QWidget*>(form->TntComboBox7), static_cast<QWidget*>(form->TntLabel60),
                                 static_cast<QWidget*>(form->TntLabel61), static_cast<QWidget*>(form->TntLabel62),
                                 static_cast<QWidget*>(form->Btn_OK), static_cast<QWidget*>(form->Btn_Cancel)})
            s += Shown(w) ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    int RightOf(const QWidget* w) const { return w->x() + w->width(); }
};

TEST_F(ApnSearchTest, CountryIsPreselectedAndOkFillsTheApn)
{
    auto& f = *form;
    EXPECT_EQ(Showing(), QStringLiteral("00000000"));
    f.ComboBox4->setCurrentIndex(1);
    f.ComboBox4Change();
    ASSERT_EQ(ctl::FieldColor(f.Edit2), 0xEAEAFF);

    f.Btn_Search->click();
    EXPECT_EQ(Showing(), QStringLiteral("11111111"));
    const QStringList locations = Items(f.TntComboBox5);
    ASSERT_EQ(locations.size(), 14);
    EXPECT_EQ(locations.first(), QStringLiteral("Lithuania"));
    EXPECT_EQ(locations.last(), QStringLiteral("United States"));
    EXPECT_EQ(f.TntComboBox5->currentText(), QStringLiteral("Lithuania"));
    EXPECT_EQ(Items(f.TntComboBox6), (QStringList{"Telia", "Bite", "Tele2"}));
    EXPECT_EQ(f.TntComboBox6->currentIndex(), 0);
    EXPECT_EQ(Items(f.TntComboBox7), (QStringList{"omnitel", "gprs.omnitel.net"}));
    EXPECT_EQ(f.TntComboBox7->currentIndex(), 0);
    EXPECT_EQ(f.Btn_OK->x(), RightOf(f.TntComboBox7) + 4);
    EXPECT_EQ(f.Btn_Cancel->x(), f.Btn_OK->x() + f.Btn_Cancel->width() + 5);
    EXPECT_FALSE(f.Btn_OK->icon().isNull());
    EXPECT_FALSE(f.Btn_Cancel->icon().isNull());

    // Another location and operator, then the second name of it.
    Choose(f.TntComboBox5, int(locations.indexOf(QStringLiteral("United Kingdom"))));
    EXPECT_EQ(Items(f.TntComboBox6), (QStringList{"EE", "O2", "Vodafone", "Three"}));
    EXPECT_EQ(Items(f.TntComboBox7), QStringList{"everywhere"});
    Choose(f.TntComboBox6, 1);
    EXPECT_EQ(Items(f.TntComboBox7), (QStringList{"mobile.o2.co.uk", "payandgo.o2.co.uk"}));
    f.TntComboBox7->setCurrentIndex(1);

    // Searching again while the lists are up changes nothing.
    f.Btn_Search->click();
    EXPECT_EQ(f.TntComboBox5->currentText(), QStringLiteral("United Kingdom"));
    EXPECT_EQ(f.TntComboBox7->currentText(), QStringLiteral("payandgo.o2.co.uk"));

    f.Btn_OK->click();
    EXPECT_EQ(f.Edit2->text(), QStringLiteral("payandgo.o2.co.uk"));
    EXPECT_EQ(ctl::FieldColor(f.Edit2), colors::clWindow);
    EXPECT_EQ(Showing(), QStringLiteral("00000000"));
}

TEST_F(ApnSearchTest, CancelAndUnknownCountryLeaveTheApn)
{
    auto& f = *form;
    f.Edit2->setText(QStringLiteral("keep.me"));
    platform::SetUserCountryForTests(QStringLiteral("JP")); // a country the file does not list
    f.Btn_Search->click();
    EXPECT_EQ(f.TntComboBox5->currentIndex(), -1);
    EXPECT_EQ(Showing(), QStringLiteral("10010001"));
    EXPECT_EQ(f.Btn_Cancel->x(), RightOf(f.TntComboBox5) + 4);
    f.Btn_Cancel->click();
    EXPECT_EQ(f.Edit2->text(), QStringLiteral("keep.me"));
    EXPECT_EQ(Showing(), QStringLiteral("00000000"));

}

TEST_F(ApnSearchTest, CatalogueEdgeCases)
{
    auto& f = *form;
    // Two locations share a nation (the first is preselected); one has no number at all;
    // an operator without names gives an empty list that OK still confirms.
    TAPNLocations catalogue;
    ParseAPNCatalogue(QStringLiteral("&Nowhere\n"
                                     "Ghost\tghost.apn\n"
                                     "&Lietuva\t141\n"
                                     "Nameless\n"
                                     "Telia\tomnitel\n"
                                     "&Lithuania\t141\n"
                                     "Bite\tbanga\n"),
                      catalogue);
    APNLocations = catalogue;
    f.Edit2->setText(QStringLiteral("old"));
    f.Btn_Search->click();
    EXPECT_EQ(f.TntComboBox5->currentText(), QStringLiteral("Lietuva"));
    EXPECT_EQ(Items(f.TntComboBox6), (QStringList{"Nameless", "Telia"}));
    EXPECT_EQ(f.TntComboBox7->count(), 0);
    EXPECT_EQ(Showing(), QStringLiteral("11111111"));
    f.Btn_OK->click();
    EXPECT_EQ(f.Edit2->text(), QString());

    // Without a catalogue the location list is empty and nothing else shows.
    APNLocations.clear();
    f.Btn_Search->click();
    EXPECT_EQ(f.TntComboBox5->count(), 0);
    EXPECT_EQ(Showing(), QStringLiteral("10010001"));
    f.Btn_Cancel->click();
}

} // namespace
