// The settings summary: whole texts for fixed configurations, the styles of its
// segments, durations, the wheel, printing through the dialog hook, and a build that
// nothing can interrupt.
#include "editor/Controls.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/Colors.h"
#include "widgets/PageWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimeEdit>
#include <QWheelEvent>

namespace {

const QString Sep = QString(114, QLatin1Char('_'));

class SummaryTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        ui::ClearPrintJobs();
        Create();
    }
    void TearDown() override
    {
        TForm1::ScreenSizeOverride = QSize();
        ui::ClearPrintJobs();
        WindowTestBase::TearDown();
    }
    void Create()
    {
        delete form;
        form = new TForm1();
        form->Timer5Timer();
    }

    QStringList Built()
    {
        form->BuildSummary();
        return form->Memo_Summ->toPlainText().split(QLatin1Char('\n'));
    }
    static QStringList Join(std::initializer_list<QStringList> parts)
    {
        QStringList out;
        for (const QStringList& p : parts)
            out += p;
        return out;
    }

    // The parts every summary has.
    const QStringList Start = {"", " ", "\tVEQ Type:\tCommunicator"};
    const QStringList Modem = {Sep, " ", "GSM Modem Settings", " ", "\t\tModem restart every (hour):\t1", " ",
                               "\t\tShow TCP statistics:\tNo"};
    static QStringList Outputs(int count)
    {
        const char* names[] = {"OC 1", "OC 2", "OC 3", "OC 4"}; // a veq4m's captions
        QStringList out = {Sep, " ", "Outputs:"};
        for (int i = 0; i < count; ++i)
            out << " " << QStringLiteral("\t%1 - Manual").arg(QLatin1String(names[i]))
                << "\t\tParameters:\tPulse Duration:  1 sec;";
        return out;
    }

    // Users, both channels, three inputs, outputs, remote phones, security and modem.
    void FullConfiguration()
    {
        auto& f = *form;
        f.WPage3EnterPage(); // the inputs page fills its event lists
        UserPhones[0] = {"37060000001", 0x01 | 0x80, 0x10};
        UserPhones[3] = {"37060000004", 0, 0};
        f.TntCheckBox27->setChecked(true);
        f.Edit13->setText(QStringLiteral("1234"));

        Choose(f.ComboBox4, 1);
        f.Edit1->setText(QStringLiteral("host.example"));
        f.TntEdit2->setText(QStringLiteral("5000"));
        Choose(f.ComboBox1, 1);
        f.Edit11->setText(QStringLiteral("12B4"));
        Choose(f.ComboBox2, 2);
        f.Edit5->setText(QStringLiteral("backup.example"));
        f.Edit6->setText(QStringLiteral("ABCD"));
        f.Edit2->setText(QStringLiteral("internet"));
        f.Edit3->setText(QStringLiteral("user"));
        f.Edit4->setText(QStringLiteral("pass"));
        f.TntCheckBox13->click();
        f.SpinEdit3->SetValue(900);
        f.TntCheckBox33->click();
        f.TntEdit4->setText(QStringLiteral("605"));

        // Fire alarm: its SMS is phrase 1 and the input's zone name.
        Form2 = Form2 ? Form2 : new TForm2(form);
        Form2->PhraseEdit(0)->setText(QStringLiteral("Fire in"));
        StoreItemName(1, 0, "zone 1");
        f.ComboBox5->setCurrentIndex(1);
        f.ComboBox6->setCurrentIndex(2);
        f.TntCheckBox16->setChecked(true);
        f.ComboBox12->setCurrentIndex(1);
        f.SpinEdit10->SetValue(500);
        f.DaTiNoReaction1->setTime(QTime(0, 0, 0));
        f.ComboBox7->setCurrentIndex(2);
        InputTable[1].SMSText = "Door open";
        f.Edit16->setText(QStringLiteral("Door open"));
        f.SpinEdit12->SetValue(400);
        f.DaTiNoReaction2->setTime(QTime(1, 0, 0));
        f.ComboBox8->setCurrentIndex(2); // no SMS text in the table
        f.SpinEdit14->SetValue(2500);
        f.DaTiNoReaction3->setTime(QTime(0, 2, 30));

        f.DaTiDuration[0]->setTime(QTime(0, 0, 5));
        f.OutputCombo[1]->setCurrentIndex(1);
        f.SecondRadio[1]->setChecked(true);

        RemotePhones[0] = {"37061111111", 0x80 | 0x10};
        RemotePhones[7] = {"37062222222", 0};

        f.Edit8->setText(QStringLiteral("Owner"));
        f.TntCheckBox3->click();
        f.Edit9->setText(QStringLiteral("secret"));
        f.TntCheckBox28->click();
        f.TntEdit1->setText(QStringLiteral("1111"));
        f.SpinEdit40->SetValue(3);
        f.TntCheckBox40->setChecked(true);
    }

    // The format of the segment that holds exactly Text.
    QTextCharFormat FormatOf(const QString& text)
    {
        for (QTextBlock b = form->Memo_Summ->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().text() == text)
                    return it.fragment().charFormat();
        ADD_FAILURE() << "no segment " << qPrintable(text);
        return {};
    }
};

TEST_F(SummaryTest, FullConfigurationLineByLine)
{
    FullConfiguration();
    const QStringList expected = Join({
        Start,
        {Sep, " ", "User phones",
         " ", "\t\t37060000001:\tArming SMS;", "\t\t\tTrouble SMS (Limited trouble SMS);", "\t\t\tSMS backup;",
         " ", "\t\t37060000004:\t",
         " ", "\t\tVEQ3 access PIN for all users:\t1234"},
        {Sep, " ", "GPRS Reporting:",
         " ", "\t\tChannel 1\tUsed", "\t\tAddress:\thost.example:5000", "\t\tProtocol:\tVozevud KSP",
         "\t\tAccount:\t12B4",
         " ", "\t\tChannel 2\tReserve", "\t\tAddress:\tbackup.example:", "\t\tProtocol:\tEnigma II",
         "\t\tAccount:\tABCD",
         " ", "\t\tAPN:\tinternet", "\t\tAPN user name:\tuser", "\t\tAPN password:\tpass",
         " ", "\t\tHeartBeat check enabled:\t900 sec",
         " ", "\t\tHeartBeat Event ID:\t605"},
        {Sep, " ", "Inputs:",
         " ", "\tInput 1 - Send CID", "\t\tCID:\tFire alarm (with restore)", "\t\tSMS\tFire in zone 1",
         "\t\tParameters:\tType: NC;", "\t\t\tSensitivity: 500 ms;", "\t\t\tNo reaction:  0 sec;",
         " ", "\tInput 2 - Send SMS", "\t\tSMS\tDoor open",
         "\t\tParameters:\tType: NO;", "\t\t\tSensitivity: 400 ms;", "\t\t\tNo reaction:  1 hour 0 sec;",
         " ", "\tInput 3 - Send SMS",
         "\t\tParameters:\tType: NO;", "\t\t\tSensitivity: 2500 ms;", "\t\t\tNo reaction:  2 min 30 sec;"},
        {Sep, " ", "Outputs:",
         " ", "\tOC 1 - Manual", "\t\tParameters:\tPulse Duration:  5 sec;",
         " ", "\tOC 2 - Arm", "\t\tParameters:\tBiswitch;",
         " ", "\tOC 3 - Manual", "\t\tParameters:\tPulse Duration:  1 sec;",
         " ", "\tOC 4 - Manual", "\t\tParameters:\tPulse Duration:  1 sec;"},
        {Sep, " ", "Outputs control from distance:",
         " ", "\t\t37061111111:\tOC 1 (1); OC 4 (4); ",
         " ", "\t\t37062222222:\t"},
        {Sep, " ", "Security settings",
         " ", "\t\tVEQ3 owner name:\tOwner",
         " ", "\t\tUse password on USB connect:\tsecret"},
        {Sep, " ", "GSM Modem Settings",
         " ", "\t\tUse SIM PIN:\t1111",
         " ", "\t\tModem restart every (hour):\t3",
         " ", "\t\tShow TCP statistics:\tYes"},
    });
    const QStringList got = Built();
    EXPECT_EQ(got.size(), expected.size());
    for (int i = 0; i < std::max(got.size(), expected.size()); ++i)
        if (got.value(i) != expected.value(i)) {
            ADD_FAILURE() << "line " << i << ": [" << qPrintable(got.value(i)) << "] expected ["
                          << qPrintable(expected.value(i)) << "]";
            break;
        }
    // The page shows the top.
    EXPECT_EQ(form->Memo_Summ->textCursor().position(), 0);

    // Labels are the controls' captions and headings the language's messages.
    ASSERT_TRUE(form->SetLanguage(QByteArrayLiteral("Russian")));
    const QStringList russian = Built();
    EXPECT_TRUE(russian.contains(QStringLiteral("\t\tОбъект:\t12B4")));
    EXPECT_TRUE(russian.contains(QStringLiteral("\t\tПротокол:\tVozevud KSP")));
    EXPECT_TRUE(russian.contains(QStringLiteral("Передача по GPRS:")));
    EXPECT_TRUE(russian.contains(QStringLiteral("\t\tАдрес:\thost.example:5000")));
    EXPECT_TRUE(russian.contains(QStringLiteral("\t\tКод события контроля связи:\t605"))); // one colon
}

TEST_F(SummaryTest, FixedConfigurationsAsWholeTexts)
{
    struct Case {
        const char* name;
        std::function<void(TForm1&)> set;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"no user numbers, channels not used", [](TForm1&) {}, Join({Start, Outputs(4), Modem})},
        {"3m class: no outputs, remote control still listed",
         [](TForm1&) {
             Model3mClass = true;
             RemotePhones[49] = {"999", 0x40 | 0x20};
         },
         Join({Start, {Sep, " ", "Outputs control from distance:", " ", "\t\t999:\tOC 2 (2); OC 3 (3); "}, Modem})},
        {"veq4m from firmware 3000: two outputs", [](TForm1&) { ModelVeq4mFrom3000 = true; },
         Join({Start, Outputs(2), Modem})},
        {"GPRS settings locked, channel 1 used: names and accounts, no security",
         [](TForm1& f) {
             Model3mClass = true;
             f.ComboBox4->setCurrentIndex(1);
             f.Edit11->setText(QStringLiteral("1111"));
             f.Edit6->setText(QStringLiteral("2222"));
             f.Edit2->setText(QStringLiteral("internet"));
             f.TntCheckBox13->setChecked(true);
             f.Edit8->setText(QStringLiteral("Owner"));
             f.Link()->GPRSLocked = true;
         },
         Join({Start,
               {Sep, " ", "GPRS Reporting:", " ", "\t\tChannel 1\t", "\t\tAccount:\t1111", " ", "\t\tChannel 2\t",
                "\t\tAccount:\t2222"},
               Modem})},
        {"GPRS settings locked, no channel used: no channel section",
         [](TForm1& f) {
             Model3mClass = true;
             f.Edit2->setText(QStringLiteral("internet"));
             f.Link()->GPRSLocked = true;
         },
         Join({Start, Modem})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetMainTables();
        Create();
        c.set(*form);
        EXPECT_EQ(Built().join(QLatin1Char('\n')).toStdString(), c.expected.join(QLatin1Char('\n')).toStdString());
    }
}

TEST_F(SummaryTest, SegmentsCarryTheirStyles)
{
    FullConfiguration();
    Built();
    const QColor black = colors::ToQColor(colors::clBlack);
    struct Case {
        const char* text;
        bool bold;
        bool underline;
        QColor color;
    };
    const Case cases[] = {
        {"User phones", false, true, black},                       // heading
        {"\t\t37060000001:\t", true, false, black},                 // label
        {"Arming SMS;", false, false, black},                       // value
        {"\tInput 1 - Send CID", false, false, QColor(0, 0, 255)},  // item
        {"\t\t\tSensitivity: 500 ms;", false, false, black},        // plain line
        {"\t\t\tTrouble SMS (Limited trouble SMS);", false, false, black}, // added line
    };
    for (const Case& c : cases) {
        const QTextCharFormat fmt = FormatOf(QString::fromUtf8(c.text));
        EXPECT_EQ(fmt.fontWeight() >= QFont::Bold, c.bold) << c.text;
        EXPECT_EQ(fmt.fontUnderline(), c.underline) << c.text;
        EXPECT_EQ(fmt.foreground().color(), c.color) << c.text;
    }
    // Text after one, two and three tabs starts at 50, 100 and 350 pixels.
    QTextDocument* doc = form->Memo_Summ->document();
    doc->documentLayout()->documentSize(); // laid out
    auto xAfterTabs = [doc](const QString& line, int tabs) {
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            if (b.text() == line)
                return b.layout()->lineAt(0).cursorToX(tabs) - b.layout()->lineAt(0).cursorToX(0);
        ADD_FAILURE() << "no line " << qPrintable(line);
        return 0.0;
    };
    EXPECT_NEAR(xAfterTabs(QStringLiteral("\tVEQ Type:\tCommunicator"), 1), 50, 0.5);
    EXPECT_NEAR(xAfterTabs(QStringLiteral("\t\tAPN:\tinternet"), 2), 100, 0.5);
    EXPECT_NEAR(xAfterTabs(QStringLiteral("\t\tAPN:\tinternet"), 7), 350, 0.5);
    EXPECT_TRUE(form->Memo_Summ->isReadOnly());
}

TEST_F(SummaryTest, DurationsWithoutLeadingZeros)
{
    const QString h = GetLangText(83), m = GetLangText(84), s = GetLangText(85);
    const std::pair<QTime, QString> cases[] = {
        {QTime(0, 0, 5), " 5 " + s},
        {QTime(0, 0, 0), " 0 " + s},
        {QTime(1, 0, 0), " 1 " + h + " 0 " + s},
        {QTime(0, 2, 30), " 2 " + m + " 30 " + s},
        {QTime(23, 59, 59), " 23 " + h + " 59 " + m + " 59 " + s},
        {QTime(), " 0 " + s}, // no time at all
    };
    for (const auto& [time, expected] : cases)
        EXPECT_EQ(form->FormatDuration(time), expected) << qPrintable(time.toString());
}

TEST_F(SummaryTest, WheelScrollsTheSummaryOneLineOnly)
{
    TForm1::ScreenSizeOverride = QSize(1024, 600); // the window itself scrolls too
    Create();
    FullConfiguration();
    form->show();
    form->PageControl1->show(); // as when a module is there
    form->TntButton30->click(); // manual configuration
    form->Step0Click(form->Step[8]);
    ASSERT_EQ(form->wzrd1->GetActivePageIndex(), 8);
    EXPECT_TRUE(ctl::Visible(form->TntBitBtn2));
    QApplication::processEvents();
    QScrollBar* bar = form->Memo_Summ->verticalScrollBar();
    ASSERT_GT(bar->maximum(), bar->singleStep());
    QScrollBar* window = form->ClientScroll->verticalScrollBar();
    ASSERT_GT(window->maximum(), 0);
    const int windowAt = window->value();

    auto wheel = [&](int delta, QWidget* vp = nullptr) {
        vp = vp ? vp : form->Memo_Summ->viewport();
        QWheelEvent e(QPointF(10, 10), vp->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(vp, &e);
    };
    wheel(-360);
    EXPECT_EQ(bar->value(), bar->singleStep());
    wheel(-120);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep());
    wheel(120);
    EXPECT_EQ(bar->value(), bar->singleStep());
    EXPECT_EQ(window->value(), windowAt);

    // A touchpad's events without vertical movement scroll neither the summary nor the window.
    window->setValue(window->maximum() / 2);
    wheel(0);
    wheel(0, form->ClientScroll->viewport());
    EXPECT_EQ(bar->value(), bar->singleStep());
    EXPECT_EQ(window->value(), window->maximum() / 2);
}

TEST_F(SummaryTest, PrintsOneJobPerCopyThroughTheDialog)
{
    FullConfiguration();
    Built();
    // Cancelled: nothing printed.
    ui::QueuePrintAnswer({std::nullopt, 3});
    form->TntBitBtn2->click();
    EXPECT_TRUE(ui::PrintJobs().empty());

    // Three copies: three jobs with the module's name in the title, the last one in the file.
    const QString pdf = dir.filePath(QStringLiteral("summary.pdf"));
    form->Link()->ProductName = QStringLiteral("VEQ4m v3010");
    ui::QueuePrintAnswer({pdf, 3});
    form->TntBitBtn2->click();
    ASSERT_EQ(ui::PrintJobs().size(), 3u);
    for (const ui::PrintedJob& j : ui::PrintJobs()) {
        EXPECT_EQ(j.docName, QStringLiteral("VEQ4m v3010 settings"));
        EXPECT_EQ(j.outputFile, pdf);
        EXPECT_TRUE(j.ok);
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
    EXPECT_GT(file.size(), 1000);

    // A printer that fails ends the printing with one line on stderr and no message.
    ui::ClearPrintJobs();
    ui::ClearRecord();
    ui::QueuePrintAnswer({dir.filePath(QStringLiteral("missing/folder/x.pdf")), 2});
    testing::internal::CaptureStderr();
    form->TntBitBtn2->click();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(ui::PrintJobs().size(), 1u);
    EXPECT_FALSE(ui::PrintJobs()[0].ok);
    size_t lines = 0;
    for (size_t at = err.find("Printing the settings failed"); at != std::string::npos;
         at = err.find("Printing the settings failed", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << err;
    ASSERT_EQ(ui::Record().size(), 1u);
    EXPECT_EQ(ui::Record()[0].kind, QStringLiteral("print"));
}

// On paper a line wider than the page wraps inside the margin, going on under its value at the screen's tab stops.
TEST_F(SummaryTest, PrintedLinesWrapOnThePageAndKeepTheirTextWhole)
{
    FullConfiguration();
    form->Edit1->setText(QStringLiteral("receiver1.monitoring.centralstation.example")); // 44, the most
    InputTable[1].SMSText = "Door open at the back entrance, call the guard now"; // 50, the most
    for (const char* language : {"English", "Russian"}) {
        SCOPED_TRACE(language);
        ASSERT_TRUE(form->SetLanguage(QByteArray(language)));
        Built();
        QPrinter printer; // as the print dialog gives it for a PDF file
        printer.setOutputFormat(QPrinter::PdfFormat);
        const std::unique_ptr<QTextDocument> paper = form->SummaryOnPaper(printer);
        ASSERT_GT(paper->pageCount(), 1); // laid out whole
        EXPECT_EQ(paper->toPlainText(), form->Memo_Summ->toPlainText());
        const qreal right = paper->pageSize().width() - paper->rootFrame()->frameFormat().rightMargin();
        int wrapped = 0;
        for (QTextBlock p = paper->begin(), s = form->Memo_Summ->document()->begin(); p.isValid(); p = p.next(), s = s.next()) {
            SCOPED_TRACE(p.text().toStdString());
            const QTextLayout* l = p.layout();
            const int value = p.text().lastIndexOf(QLatin1Char('\t')) + 1; // the text after the last tab
            const qreal x = l->lineAt(0).cursorToX(value) - l->lineAt(0).cursorToX(0);
            EXPECT_NEAR(x, s.layout()->lineAt(0).cursorToX(value) - s.layout()->lineAt(0).cursorToX(0), 0.5);
            for (int i = 0; i < l->lineCount(); ++i) // inside the margin, a line that goes on under the value
                EXPECT_TRUE(l->position().x() + l->lineAt(i).x() + l->lineAt(i).naturalTextWidth() <= right &&
                            qAbs(l->lineAt(i).x() - l->lineAt(0).x() - (i ? x : 0)) < 0.5) << "line " << i;
            wrapped += l->lineCount() - 1;
            EXPECT_TRUE(p.text() != Sep || l->lineCount() == 1); // a rule spans the page
        }
        EXPECT_GE(wrapped, 2); // the address and the SMS text at least
    }
}

TEST_F(SummaryTest, BuildIsNeitherInterruptedNorReentered)
{
    FullConfiguration();
    // Work queued before the build (a click, a timer, a module report) waits until it ends.
    bool ran = false;
    QMetaObject::invokeMethod(
        form, [&] { ran = true; UserPhones[0].PhoneNr = "000"; }, Qt::QueuedConnection);
    const QStringList once = Built();
    EXPECT_FALSE(ran);
    EXPECT_TRUE(once.contains(QStringLiteral("\t\t37060000001:\tArming SMS;")));
    QApplication::processEvents();
    EXPECT_TRUE(ran);

    // An entry while the summary is being written does not start a second build.
    UserPhones[0].PhoneNr = "37060000001";
    int entries = 0;
    QObject::connect(form->Memo_Summ->document(), &QTextDocument::contentsChanged, form, [&] {
        ++entries;
        form->BuildSummary();
    });
    EXPECT_EQ(Built().join(QLatin1Char('\n')).toStdString(), once.join(QLatin1Char('\n')).toStdString());
    EXPECT_GT(entries, 1);
}

} // namespace
