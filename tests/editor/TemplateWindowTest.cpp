// Templates and log files on the window as the program builds it: a saved template loaded
// over a window whose every control was changed gives the saved window back; the load's
// edge cases; the save and load buttons with their dialogs; the log at closing and by
// "SaveLog".
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "editor/TemplateFile.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimeEdit>

namespace {

QByteArray Num(int v)
{
    return QByteArray::number(v);
}

// Text edits a template carries, with a value for each of two seeds.
const char* const kTexts[][3] = {
    {"Edit1", "host.example.com", "other.example.org"}, {"TntEdit2", "5001", "6002"},
    {"Edit5", "backup.example.org", "spare.example.com"}, {"TntEdit3", "7003", "8004"},
    {"Edit2", "internet.test", "apn.other"}, {"Edit3", "apnuser", "someone"}, {"Edit4", "apnpass", "secret"},
    {"Edit9", "usbpw123", "usbpw999"}, {"Edit6", "1234", "4321"}, {"Edit11", "5678", "8765"},
    {"Edit8", "Owner One", "Owner Two"}, {"Edit13", "4321", "98765"}, {"TntEdit1", "1234", "5678"},
    {"TntEdit8", "00112233445566778899AABBCCDDEEFF", "FFEEDDCCBBAA99887766554433221100"},
    {"TntEdit9", "0123456789ABCDEF0123456789ABCDEF", "FEDCBA9876543210FEDCBA9876543210"}};

// The window's controls that a template restores (besides the keys' and the tables'):
// reporting, security and modem pages, the shown user's boxes, the rows of the inputs
// and the outputs.
const char kWindowControls[] =
    "Edit1 TntEdit2 Edit5 TntEdit3 Edit2 Edit3 Edit4 Edit9 Edit6 Edit11 Edit8 Edit13 TntEdit4 TntEdit1 "
    "ComboBox4 ComboBox2 ComboBox1 ComboBox3 TntComboBox3 TntComboBox4 TntCheckBox25 TntCheckBox26 "
    "TntCheckBox3 TntCheckBox13 TntCheckBox40 TntCheckBox10 TntCheckBox33 TntCheckBox28 TntCheckBox27 "
    "SpinEdit3 SpinEdit40 se1 SpinEdit2 TntCheckBox5 TntCheckBox6 TntCheckBox7 TntCheckBox9 TntCheckBox23 "
    "TntCheckBox24 TntCheckBox31 TntCheckBox32 TntCheckBox38 TntCheckBox39 Edit12 "
    "ComboBox5 ComboBox7 ComboBox8 ComboBox9 ComboBox10 ComboBox11 ComboBox12 ComboBox13 ComboBox14 "
    "ComboBox15 ComboBox16 ComboBox17 ComboBox6 ComboBox18 ComboBox19 ComboBox20 ComboBox21 ComboBox22 "
    "SpinEdit10 SpinEdit12 SpinEdit14 SpinEdit16 SpinEdit18 SpinEdit20 DaTiNoReaction1 DaTiNoReaction2 "
    "DaTiNoReaction3 DaTiNoReaction4 DaTiNoReaction5 DaTiNoReaction6 Edit15 Edit16 Edit17 Edit18 Edit19 "
    "Edit20 ComboBox24 ComboBox25 ComboBox26 ComboBox27 TntRadioButton1 TntRadioButton3 TntRadioButton5 "
    "TntRadioButton7 DaTiDuration1 DaTiDuration2 DaTiDuration3 DaTiDuration4";

QString Value(const QWidget* w)
{
    if (const auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (const auto* c = qobject_cast<const QComboBox*>(w))
        return QString::number(c->currentIndex());
    if (const auto* t = qobject_cast<const QTimeEdit*>(w))
        return t->time().toString();
    if (const auto* n = qobject_cast<const QSpinBox*>(w))
        return QString::number(n->value());
    if (const auto* m = qobject_cast<const QPlainTextEdit*>(w))
        return m->toPlainText();
    return QStringLiteral("?");
}

class TemplateWindowTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(2000, 500); }

    // The window with its language applied; with a VEQ3 of that firmware (every page shows), read.
    void Open(int firmware = 0)
    {
        if (firmware)
            PlugModule(firmware, true, QStringLiteral("VEQ3"));
        CreateForms();
        ASSERT_TRUE(sim::WaitUntil([&] { return form->ComboBox28->count() > 1; }));
        ui::ClearRecord();
        if (!firmware)
            return;
        ASSERT_TRUE(WaitReadFinished());
        sim::Pump(600); // the lock check after connecting
        ui::ClearRecord();
    }

    QString File(const char* name) const { return dir.path() + "/" + name; }

    QList<QByteArray> Lines()
    {
        QList<QByteArray> lines;
        form->BuildTemplateLines(lines);
        return lines;
    }

    void WriteTemplate(const QString& name, const QList<QByteArray>& lines)
    {
        ASSERT_TRUE(SaveStringsEncrypted(name, TemplatePassPhrase, lines));
    }

    // The saved lines with one key's line replaced (or dropped when value is null).
    static QList<QByteArray> With(QList<QByteArray> lines, const QByteArray& key, const char* value)
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].startsWith(key + "=")) {
                if (value)
                    lines[i] = key + "=" + value;
                else
                    lines.removeAt(i);
                break;
            }
        }
        return lines;
    }

    // Loads through the button, the open dialog answered with the file.
    void Load(const QString& name)
    {
        ui::ClearRecord();
        ui::QueueText(name);
        form->TntButton27->click();
        sim::Pump(250); // the output rows are refreshed 100 ms later
    }

    QStringList Texts(const QString& kind = QString()) const
    {
        QStringList out;
        for (const auto& d : ui::Record())
            if (kind.isEmpty() || d.kind == kind)
                out << d.text;
        return out;
    }

    // Sets every control and table that a template carries to values of its own, which
    // differ between seed 1 and seed 2.
    void SetDistinct(int s)
    {
        TForm1& f = *form;
        const bool one = s == 1;
        f.ComboBox28->setCurrentIndex(one ? 0 : 1);
        f.ComboBox28Change(f.ComboBox28);
        for (const auto& t : kTexts)
            ctl::Find<QLineEdit>(form, QLatin1String(t[0]))->setText(QLatin1String(t[s]));

        const int last = f.ComboBox1->count() - 1;
        f.ComboBox4->setCurrentIndex(one ? 1 : 0);
        f.ComboBox4Change();
        f.ComboBox2->setCurrentIndex(one ? 2 : 1);
        f.ComboBox2Change();
        f.ComboBox1->setCurrentIndex(one ? last : 0);
        f.ComboBox1Change();
        f.ComboBox3->setCurrentIndex(one ? 0 : last);
        f.ComboBox3Change();
        f.TntCheckBox25->setChecked(one);
        f.TntCheckBox26->setChecked(!one);
        f.TntComboBox3->setCurrentIndex(one ? 1 : 0);
        f.TntComboBox4->setCurrentIndex(one ? 0 : 1);
        f.TntCheckBox42->setChecked(one);
        f.TntCheckBox42Click();
        f.TntCheckBox43->setChecked(!one);
        f.TntCheckBox43Click();

        f.TntCheckBox3->setChecked(one);
        f.TntCheckBox3Click(false);
        f.TntCheckBox13->setChecked(!one);
        f.TntCheckBox13Click();
        f.SpinEdit3->SetValue(one ? 1234 : 4321);
        f.SpinEdit40->SetValue(one ? 5 : 2);
        f.TntCheckBox40->setChecked(one);

        for (int i = 0; i < UserPhoneCount; ++i) {
            TUserPhoneRecord& u = UserPhones[i];
            const bool empty = i == (one ? 6 : 3);
            u.PhoneNr = empty ? QByteArray() : "+370610" + Num(s) + Num(10 + i);
            u.PnCR = empty ? 0 : std::uint8_t(s * 37 + i * 11);
            u.PnAddCR = empty ? 0 : std::uint8_t(((s + i) % 63) + 1);
        }
        // The shown user: every box the other way round between the seeds.
        UserPhones[0].PnCR = one ? 0xA5 : 0x5A;
        UserPhones[0].PnAddCR = one ? 0x05 : 0x3A;
        f.SelectUserNode(0);

        f.se1->SetValue(one ? 3 : 1);
        f.SpinEdit2->SetValue(one ? 6 : 2);
        f.TntCheckBox10->setChecked(one);

        for (int i = 0; i < AdditionalSMSTextCount; ++i)
            AdditionalSMSTexts[i] = "Additional " + Num(i) + " of " + Num(s);
        f.FillAdditionalTextEdits();

        for (int i = 0; i < RemotePhoneCount; ++i) {
            const bool empty = i % 7 == (one ? 3 : 4);
            RemotePhones[i].Number = empty ? QByteArray() : "+37062" + Num(s) + Num(100 + i);
            // Outputs 1 and 2 stay remote-controlled ("Manual") in both seeds.
            const std::uint8_t masks[3] = {0x80, 0x40, 0xC0};
            RemotePhones[i].PGMPnCR = masks[(i + s) % 3];
        }
        f.FillPGMGrid();
        f.ShowPGMRow(0);

        const int used[4] = {ZoneNameCount, ModuleNameCount, UserNameCount, PartitionNameCount};
        for (int g = 1; g <= 4; ++g)
            for (int n = 0; n < used[g - 1]; ++n)
                StoreItemName(g, n, "Name " + Num(g) + "." + Num(n) + "/" + Num(s));
        f.FillNameGrids();

        for (int i = 0; i < TForm2::PhraseCount; ++i)
            Form2->PhraseEdit(i)->setText(QStringLiteral("Phrase %1 of %2").arg(i).arg(s));
        Form3->SetText("Help text of " + Num(s));

        f.TntCheckBox33->setChecked(one);
        f.TntCheckBox33Click();
        if (one)
            f.TntEdit4->setText("ABC");
        f.TntCheckBox28->setChecked(one);
        f.TntCheckBox28Click();
        f.TntCheckBox27->setChecked(one);

        // Contact IDs of catalogue events (1110, 1111, 1113) whose parameters name existing
        // rows; each input has another event in each seed.
        const std::array<quint8, 5> cid[2][6] = {
            {{6, 0x11, 0x00, 0x10, 0x01}, {6, 0x11, 0x00, 0x10, 0x02}, {6, 0x11, 0x10, 0x20, 0x03},
             {6, 0x11, 0x30, 0x10, 0x04}, {6, 0x11, 0x00, 0x20, 0x05}, {6, 0x11, 0x10, 0x10, 0x06}},
            {{6, 0x11, 0x10, 0x20, 0x07}, {6, 0x11, 0x30, 0x10, 0x08}, {6, 0x11, 0x00, 0x10, 0x09},
             {6, 0x11, 0x00, 0x20, 0x10}, {6, 0x11, 0x30, 0x20, 0x11}, {6, 0x11, 0x30, 0x10, 0x12}}};
        const quint8 cr[2][6] = {{0x21, 0x2A, 0x21, 0x69, 0x62, 0x29}, {0x4A, 0x61, 0x2A, 0x22, 0x29, 0x62}};
        const quint8 sens[2][6] = {{5, 8, 10, 15, 20, 25}, {6, 9, 11, 16, 21, 24}};
        const quint16 noSense[2][6] = {{30, 90, 3600, 45, 600, 7200}, {31, 91, 3601, 46, 601, 7201}};
        for (int i = 0; i < InputCount; ++i) {
            TInputRecord& r = InputTable[i];
            r.CR = cr[s - 1][i];
            r.Violations = std::uint8_t((i + s) % 2);
            r.Sensivity = sens[s - 1][i];
            r.NoSenseInterval = noSense[s - 1][i];
            const auto& c = cid[s - 1][i];
            r.CID = tduomenys(c.begin(), c.end());
            r.SMSText = "Input " + Num(i) + " text " + Num(s);
            f.ApplyInputRecord(i);
        }
        f.RefreshInputFunctions();

        const TOutputRecord out[2][4] = {{{0x08, 2, {}}, {0x00, 10, {}}, {0x0B, 60, {}}, {0x0A, 300, {}}},
                                         {{0x00, 20, {}}, {0x08, 40, {}}, {0x00, 70, {}}, {0x00, 200, {}}}};
        for (int i = 0; i < OutputCount; ++i) {
            OutputTable[i].CR = out[s - 1][i].CR;
            OutputTable[i].ImpLength = out[s - 1][i].ImpLength;
            f.ApplyOutputRecord(i);
        }
        f.RefreshOutputRows();
    }

    // Every control and table a template restores, one per line ("name=value"); with
    // keys false the encryption-key controls are left out.
    QStringList Snapshot(bool keys)
    {
        TForm1& f = *form;
        QStringList s;
        auto add = [&s](const QString& name, const QString& value) { s << name + "=" + value; };
        auto bytes = [](const QByteArray& b) { return QString::fromLatin1(b); };
        add("ComboBox28", f.ComboBox28->currentText());
        QStringList names = QString::fromLatin1(kWindowControls).split(' ');
        if (keys)
            names << "TntCheckBox42" << "TntCheckBox43" << "TntEdit8" << "TntEdit9";
        for (const QString& n : names)
            add(n, Value(ctl::FindByName(form, n)));
        for (QWidget* w : std::initializer_list<QWidget*>{Form6->AdSMSEdit0, Form6->AdSMSEdit1, Form3->Memo1})
            add(w->objectName(), Value(w));
        for (int i = 0; i < TForm2::PhraseCount; ++i)
            add("Phrase" + QString::number(i), Value(Form2->PhraseEdit(i)));
        for (int i = 0; i < UserPhoneCount; ++i)
            add("User" + QString::number(i), QStringLiteral("%1 %2 %3").arg(bytes(UserPhones[i].PhoneNr))
                                                 .arg(UserPhones[i].PnCR).arg(UserPhones[i].PnAddCR));
        for (int i = 0; i < AdditionalSMSTextCount; ++i)
            add("AdditionalSMS" + QString::number(i), bytes(AdditionalSMSTexts[i]));
        for (int i = 0; i < RemotePhoneCount; ++i)
            add("PGM" + QString::number(i),
                bytes(RemotePhones[i].Number) + " " + QString::number(RemotePhones[i].PGMPnCR) +
                    (i < RemotePhonesOnModule
                         ? " " + f.StringGrid2->item(i, 1)->text() + " " + f.StringGrid2->item(i, 2)->text()
                         : QString()));
        const int used[4] = {ZoneNameCount, ModuleNameCount, UserNameCount, PartitionNameCount};
        for (int g = 1; g <= 4; ++g)
            for (int n = 0; n < used[g - 1]; ++n)
                add(QStringLiteral("Name%1.%2").arg(g).arg(n),
                    bytes(ItemNameAt(g, n)) + " " + f.NameGrid(g - 1)->item(n, 1)->text());
        for (int i = 0; i < InputCount; ++i) {
            const TInputRecord r = f.BuildInputRecord(i);
            const TInputRecord& t = InputTable[i];
            const QByteArray cid(reinterpret_cast<const char*>(r.CID.data()), qsizetype(r.CID.size()));
            add("Input" + QString::number(i), QStringLiteral("%1 %2 %3 %4 %5 | %6 %7 %8 %9")
                                                  .arg(r.CR).arg(r.Violations).arg(r.Sensivity)
                                                  .arg(r.NoSenseInterval).arg(QString::fromLatin1(cid.toHex()))
                                                  .arg(t.CR).arg(t.Sensivity).arg(t.NoSenseInterval)
                                                  .arg(bytes(t.SMSText)));
        }
        for (int i = 0; i < OutputCount; ++i) {
            const TOutputRecord r = f.BuildOutputRecord(i);
            add("Output" + QString::number(i), QStringLiteral("%1 %2 | %3 %4").arg(r.CR).arg(r.ImpLength)
                                                   .arg(OutputTable[i].CR).arg(OutputTable[i].ImpLength));
        }
        return s;
    }

    void RoundTrip(int firmware)
    {
        WriteSettings("PSTN=1\r\n"); // the "Put same to PSTN" boxes shown
        Open(firmware);
        const bool keys = firmware >= FwEncryptionBits;
        SetDistinct(1);
        const QString name = File("round.tpl");
        ui::QueueText(name);
        form->TntButton26->click();
        ASSERT_TRUE(QFile::exists(name));
        const QStringList saved = Snapshot(keys);

        QList<QByteArray> lines;
        ASSERT_TRUE(LoadEncryptedStrings(name, TemplatePassPhrase, lines));
        EXPECT_EQ(lines.size(), keys ? 302 : 300);
        EXPECT_EQ(lines, Lines());

        SetDistinct(2);
        const QStringList changed = Snapshot(true);
        // Every value differs before the load.
        const QStringList changedCompared = Snapshot(keys);
        ASSERT_EQ(changedCompared.size(), saved.size());
        for (qsizetype i = 0; i < saved.size(); ++i) {
            // Outputs 1 and 2 drive the phones' outputs, so they stay "Manual" in both.
            if (!saved[i].startsWith("ComboBox24=") && !saved[i].startsWith("ComboBox25=")) {
                EXPECT_NE(changedCompared[i], saved[i]) << saved[i].toStdString();
            }
        }

        Load(name);
        EXPECT_EQ(Texts(), (QStringList{dir.path(), GetLangText(105) + " round.tpl"}));
        const QStringList loaded = Snapshot(keys);
        for (qsizetype i = 0; i < saved.size(); ++i)
            EXPECT_EQ(loaded[i].toStdString(), saved[i].toStdString());
        if (!keys) {
            // Below 2030 the keys and their boxes stay as they were.
            const QStringList now = Snapshot(true);
            for (const char* k : {"TntCheckBox42=", "TntCheckBox43=", "TntEdit8=", "TntEdit9="}) {
                for (const QString& line : now) {
                    if (line.startsWith(QLatin1String(k))) {
                        EXPECT_TRUE(changed.contains(line)) << line.toStdString();
                    }
                }
            }
        }
        EXPECT_EQ(form->TntLabel4->text(), QStringLiteral("round.tpl"));
        EXPECT_TRUE(TemplateLoaded);
    }
};

TEST_F(TemplateWindowTest, RoundTripRestoresEveryControlAt2029)
{
    RoundTrip(2029);
}

TEST_F(TemplateWindowTest, RoundTripRestoresEveryControlAt2030)
{
    RoundTrip(2030);
}

TEST_F(TemplateWindowTest, LockedPasswordAndLineBreaksInTheWrittenLines)
{
    Open(2030);
    form->Edit4->setText("apnpass");
    form->Link()->GPRSLocked = true;
    EXPECT_TRUE(Lines().contains("Password="));
    form->Link()->GPRSLocked = false;
    EXPECT_TRUE(Lines().contains("Password=apnpass"));
    // A help text with line breaks stays on its line: nothing after it is lost.
    Form3->Memo1->setPlainText("one\ntwo\r\nthree");
    const QList<QByteArray> lines = Lines();
    EXPECT_TRUE(lines.contains("Help Text=one two three"));
    EXPECT_EQ(lines.size(), 302);
    EXPECT_EQ(lines.last(), QByteArray("Limited Trouble SMS=0"));
}

TEST_F(TemplateWindowTest, LanguageValues)
{
    Open();
    const QList<QByteArray> base = Lines();
    const struct {
        const char* value;
        const char* selected; // nullptr: not found
    } cases[] = {{"eng", "English"}, {"S", "English"}, {"ssi", "Russian"}, {"", nullptr}, {"Klingon", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        form->ComboBox28->setCurrentIndex(1);
        form->ComboBox28Change(form->ComboBox28);
        form->Edit2->setText("before");
        form->TntLabel4->setText("None");
        TemplateLoaded = false;
        WriteTemplate(File("lang.tpl"), With(With(base, "Language", c.value), "APN", "after"));
        Load(File("lang.tpl"));
        if (c.selected) {
            EXPECT_EQ(form->ComboBox28->currentText(), QString::fromLatin1(c.selected));
            EXPECT_EQ(form->Edit2->text(), QStringLiteral("after"));
            EXPECT_EQ(Texts("message"), QStringList{GetLangText(105) + " lang.tpl"});
        } else {
            // A plain box, nothing applied, no numbered message.
            EXPECT_EQ(Texts().mid(1), QStringList{"Couldn't find " + QString::fromLatin1(c.value) +
                                                  " language on loader"});
            EXPECT_EQ(ui::Record().back().kind, QStringLiteral("plain"));
            EXPECT_EQ(form->Edit2->text(), QStringLiteral("before"));
            EXPECT_EQ(form->ComboBox28->currentIndex(), 1);
        }
        // Only a load that succeeded names the file and has its texts go out with the next write.
        EXPECT_EQ(form->TntLabel4->text(), c.selected ? QStringLiteral("lang.tpl") : QStringLiteral("None"));
        EXPECT_EQ(TemplateLoaded, c.selected != nullptr);
        if (c.selected) { // a language switch keeps the name
            Choose(form->ComboBox28, form->ComboBox28->currentIndex() ? 0 : 1);
            EXPECT_EQ(form->TntLabel4->text(), QStringLiteral("lang.tpl"));
        }
    }
}

TEST_F(TemplateWindowTest, TextsComeBackInTheTemplatesLanguage)
{
    Open();
    form->ComboBox28->setCurrentIndex(1); // Russian: its own 8-bit code page
    form->ComboBox28Change(form->ComboBox28);
    form->Edit8->setText(QStringLiteral("Владелец"));
    WriteTemplate(File("ru.tpl"), Lines());
    EXPECT_TRUE(Lines().contains("Language=Russian"));
    form->ComboBox28->setCurrentIndex(0);
    form->ComboBox28Change(form->ComboBox28);
    form->Edit8->clear();
    Load(File("ru.tpl"));
    EXPECT_EQ(form->ComboBox28->currentIndex(), 1);
    EXPECT_EQ(form->Edit8->text(), QStringLiteral("Владелец"));
}

TEST_F(TemplateWindowTest, AFailedValueChangesNothing)
{
    Open(2030); // the keys are loaded too
    form->Edit2->setText("internet");
    UserPhones[0].PhoneNr = "+37061000001";
    QList<QByteArray> base = Lines();
    const struct {
        const char* key;
        const char* value; // nullptr: the key is missing
        bool loads = false;
    } cases[] = {
        {"SMSPSTNCR", nullptr}, {"CR", "12x"}, {"CID2", "6\t1\t3\t0"}, {"CID2", "6\t1\tA\t0\t1"},
        {"Limited Trouble SMS", "yes"}, {"ImpLength3", nullptr}, {"PGMPnCR49", "x"},
        // Texts are held to what the module can hold whole and the window send back as it
        // is, and to their length; what typing would give does not matter.
        {"ConnectionString2", "rx 2!.example.net:5002", true}, {"ConnectionString2", "rx2.example.net:50a2"},
        {"ReserveAccount1", "12-4", true}, {"AccessPIN", "12a4"}, {"SIM PIN", "123456789"}, {"HeartBeat Event ID", "XYZ"},
        // An access PIN as a module shows it loads; a SIM takes digits only.
        {"AccessPIN", "12A4", true}, {"SIM PIN", "12ab"},
        {"EncryptionKey1", "00112233445566778899AABBCCDDEEFG"}, {"PhoneNr3", "+3706100x", true},
        {"PGMPhonenumber7", "3706+2000", true},
        // The module's width loads; a longer value is refused rather than cut to one nobody entered.
        {"PhoneNr3", "+3706000001098765"}, {"PGMPhonenumber7", "3706000001098765"}, {"ReserveAccount1", "12345"},
        {"ConnectionString1", "receiver-number-two.at-the-station-xy.example.lt:80"},
        {"ConnectionString1", "receiver-number-two.at-the-station-x.example.lt:80", true},
        {"PhoneNr5", "+37060000010987", true},
        // What the edits take loads.
        {"ConnectionString1", "rx-1_b.example.net:5001", true}, {"HeartBeat Event ID", "A0F", true},
        {"PhoneNr3", "+37061000003", true}, {"ReserveAccount1", "C0de", true},
    };
    form->TntLabel4->setText("None");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + (c.value ? c.value : "(missing)"));
        form->Edit2->setText("changed");
        form->se1->SetValue(1);
        UserPhones[0].PhoneNr.clear();
        for (int i = 0; i < 6; ++i)
            InputTable[i].CR = 0;
        QList<QByteArray> lines = With(base, "APN", "applied");
        lines = With(lines, "PhoneNr0", "+37069999999");
        for (int i = 0; i < 6; ++i)
            lines = With(lines, "InputSettingsCR" + Num(i), "2");
        lines = With(lines, "SMSPSTNCR", "1572864"); // se1 = 4
        lines = With(lines, c.key, c.value);
        WriteTemplate(File("bad.tpl"), lines);
        Load(File("bad.tpl"));
        if (c.loads) {
            EXPECT_EQ(Texts("message"), QStringList{GetLangText(105) + " bad.tpl"});
            TemplateLoaded = false;
            form->TntLabel4->setText("None");
            continue;
        }
        EXPECT_EQ(Texts("message"), QStringList{GetLangText(106) + " bad.tpl"});
        EXPECT_EQ(form->Edit2->text(), QStringLiteral("changed"));
        EXPECT_EQ(UserPhones[0].PhoneNr, QByteArray());
        EXPECT_EQ(form->se1->Value(), 1);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(InputTable[i].CR, 0) << i;
        EXPECT_EQ(form->TntLabel4->text(), QStringLiteral("None"));
        EXPECT_FALSE(TemplateLoaded);
    }
}

TEST_F(TemplateWindowTest, KeysInAnotherCaseOrOrderAndDuplicatesLoadTheSame)
{
    Open();
    form->Edit2->setText("apn.one");
    form->SpinEdit3->SetValue(777);
    InputTable[1].CID = {6, 1, 3, 0, 1};
    const QList<QByteArray> base = Lines();
    QList<QByteArray> shuffled;
    for (const QByteArray& l : base) {
        const qsizetype eq = l.indexOf('=');
        shuffled.prepend(l.left(eq).toLower() + l.mid(eq));
    }
    shuffled.prepend("Apn=apn.first");
    shuffled << "APN=apn.last";
    // Both forms of a Contact ID: with and without the TAB after the last number.
    shuffled = With(shuffled, "cid1", "6\t1\t3\t0\t1");
    WriteTemplate(File("shuffled.tpl"), shuffled);
    form->Edit2->clear();
    form->SpinEdit3->SetValue(10);
    InputTable[1].CID.clear();
    Load(File("shuffled.tpl"));
    EXPECT_EQ(Texts("message"), QStringList{GetLangText(105) + " shuffled.tpl"});
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("apn.first"));
    EXPECT_EQ(form->SpinEdit3->Value(), 777);
    EXPECT_EQ(InputTable[1].CID, (tduomenys{6, 1, 3, 0, 1}));
}

TEST_F(TemplateWindowTest, MissingOrUnreadableFileGives107)
{
    Open();
    form->Edit2->setText("kept");
    Load(File("none.tpl"));
    EXPECT_EQ(Texts("message"), QStringList{GetLangText(107) + " none.tpl"});
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("kept"));
    const QString label = form->TntLabel4->text();
    EXPECT_NE(label, QStringLiteral("none.tpl"));
    EXPECT_FALSE(TemplateLoaded);

    // Cancelling the dialog changes nothing.
    ui::QueueText(std::nullopt);
    form->TntButton27->click();
    EXPECT_FALSE(TemplateLoaded);
    EXPECT_EQ(form->TntLabel4->text(), label);
}

TEST_F(TemplateWindowTest, SaveAsksBeforeReplacingAndReportsFailures)
{
    Open(2035);
    const QString name = File("saved.tpl");
    // The dialog: the templates filter and extension, the program folder, no question of its own.
    ui::QueueText(name);
    form->TntButton26->click();
    ASSERT_FALSE(ui::Record().empty());
    const ui::ShownDialog d = ui::Record().front();
    EXPECT_EQ(d.kind, QStringLiteral("save"));
    EXPECT_EQ(d.text, dir.path());
    EXPECT_EQ(d.filter, QStringLiteral("Templates (*.tpl)"));
    EXPECT_EQ(d.defaultSuffix, QStringLiteral("tpl"));
    EXPECT_FALSE(d.overwriteQuestion);
    EXPECT_EQ(Texts("message"), QStringList{GetLangText(104) + " " + QDir::toNativeSeparators(name)});
    ASSERT_TRUE(QFile::exists(name));

    // The shown user's boxes go into the file: committed before the save.
    UserPhones[0].PhoneNr = "+37061234567";
    form->SelectUserNode(0);
    form->TntCheckBox24->setChecked(true);
    const QString question = GetLangText(35) + "saved.tpl" + GetLangText(36);
    for (ui::MsgButton answer : {ui::MsgButton::No, ui::MsgButton::Yes}) {
        ui::ClearRecord();
        ui::QueueText(name);
        ui::QueueButton(answer);
        form->TntButton26->click();
        ASSERT_GE(ui::Record().size(), 2u);
        EXPECT_EQ(ui::Record()[1].text, question);
        EXPECT_EQ(ui::Record()[1].buttons, (QStringList{"Yes", "No"}));
        QList<QByteArray> lines;
        ASSERT_TRUE(LoadEncryptedStrings(name, TemplatePassPhrase, lines));
        EXPECT_EQ(lines.contains("PnCR0=128"), answer == ui::MsgButton::Yes);
        EXPECT_EQ(ui::Record().size(), answer == ui::MsgButton::Yes ? 3u : 2u);
    }
    EXPECT_TRUE(UserPhones[0].PnCR & PnCRTroubleSMS);

    // A folder that cannot be made: an error naming the file, and no file.
    QFile blocker(File("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ui::ClearRecord();
    const QString bad = File("blocked/x.tpl");
    ui::QueueText(bad);
    form->TntButton26->click();
    ASSERT_EQ(Texts("message").size(), 1);
    EXPECT_TRUE(Texts("message")[0].startsWith(GetLangText(130) + " " + QDir::toNativeSeparators(bad) + "\n"));
    EXPECT_FALSE(Texts("message")[0].endsWith("\n"));
    EXPECT_FALSE(QFile::exists(bad));
}

// ---- the traffic log ----------------------------------------------------------------

TEST_F(TemplateWindowTest, LogAtClosing)
{
    const struct {
        const char* settings;
        int lines;
        bool logWritten;
    } cases[] = {{"", 2, true}, {"", 0, false}, {"Code=48213\r\n", 2, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings);
        QDir(dir.path() + "/Logs").removeRecursively();
        WriteSettings(c.settings);
        Open();
        for (int i = 0; i < c.lines; ++i)
            form->OnUsartArrive("AT+LINE" + Num(i), i == 0);
        const QList<QByteArray> log = form->Log();
        form->close();
        const QStringList files = QDir(dir.path() + "/Logs").entryList(QDir::Files);
        ASSERT_EQ(files.size(), c.logWritten ? 1 : 0);
        if (c.logWritten) {
            // Named from the window's start to the closing minute.
            const QDateTime now = QDateTime::currentDateTime();
            const QString end = LogFileName(now, now).section(QStringLiteral(" - "), 1);
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}_\\d{1,2}_\\d{1,2} \\d{1,2}_\\d{1,2} - "))
                            .match(files[0])
                            .hasMatch())
                << files[0].toStdString();
            EXPECT_TRUE(files[0].endsWith(end) || now.time().second() < 2) << files[0].toStdString();
            QList<QByteArray> back;
            ASSERT_TRUE(LoadEncryptedStrings(dir.path() + "/Logs/" + files[0], LogPassPhrase, back));
            EXPECT_EQ(back, log);
        }
        CloseWindow();
    }
}

TEST_F(TemplateWindowTest, SaveLogReportsWhatHappened)
{
    Open();
    form->TntButton5->click(); // an empty log: nothing
    EXPECT_TRUE(ui::Record().empty());
    EXPECT_FALSE(QDir(dir.path() + "/Logs").exists());

    form->OnUsartArrive("ATI", true);
    form->TntButton5->click();
    const QStringList files = QDir(dir.path() + "/Logs").entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QString shown = files[0];
    shown.chop(4);
    ASSERT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(ui::Record()[0].text, GetLangText(37) + shown + GetLangText(38));
    EXPECT_EQ(ui::Record()[0].caption, GetLangText(MsgCaptionConfirmation));

    // A folder that cannot be written: the error names the file and the reason.
    QDir(dir.path() + "/Logs").removeRecursively();
    QFile blocker(dir.path() + "/Logs");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ui::ClearRecord();
    form->TntButton5->click();
    ASSERT_EQ(ui::Record().size(), 1u);
    const QString text = ui::Record()[0].text;
    EXPECT_TRUE(text.startsWith(GetLangText(130) + " " + QDir::toNativeSeparators(dir.path() + "/Logs/")));
    EXPECT_TRUE(text.contains(".ktl\n"));
    EXPECT_FALSE(text.endsWith("\n"));
    EXPECT_EQ(ui::Record()[0].caption, GetLangText(MsgCaptionError));
}

} // namespace
