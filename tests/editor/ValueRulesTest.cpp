// Each editable value has one rule whichever way it comes in (typing, a paste, a template),
// and a value the module sent goes back whole.
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTreeView>

namespace {

using ValueRulesTest = WindowTestBase;

// For each value, typing, a paste and a template saved from what was typed give the module
// the same, by the value's rule (characters, case, how far typing goes).
TEST_F(ValueRulesTest, TypingPastingAndTemplatesGiveTheModuleTheSame)
{
    const QByteArray longHost = "rx~2." + QByteArray(37, 'x') + ".lt"; // 45: longer than typing makes one
    TForm1::LinkTiming.GapMs = TForm1::LinkTiming.SeriesPauseMaxMs = 0; // what goes out counts, not its pace
    ReadEditableModule([&](sim::SimModuleConfig& c) {
        c.connectionString2 = longHost + ":80";
        c.veq2CR = BuildVEQ2CR({.TntCheckBox3 = true, .TntCheckBox28 = true}); // USB password, SIM PIN
        c.pgmPhones[0] = {"37060000009", 0x80};
        c.smsPhrases[14] = "Last phrase"; // the phrase dialog's read has ended when it shows
    });
    TForm1& f = *form;
    // Typing does not lengthen the long host, nor a paste; a character typed over one keeps it whole.
    f.Edit5->end(false);
    QTest::keyClicks(f.Edit5, "ab");
    Paste(f.Edit5, "cd");
    f.Edit5->setSelection(0, 1);
    QTest::keyClicks(f.Edit5, "R");
    EXPECT_EQ(LangFromUnicode(f.Edit5->text()), "R" + longHost.mid(1));
    // A paste over all of it is a new host, as long as typing makes one.
    f.Edit5->selectAll();
    Paste(f.Edit5, QString(48, u'y'));
    EXPECT_EQ(LangFromUnicode(f.Edit5->text()), QByteArray(44, 'y'));
    // In the order of `held`; the output-control number is taken with "Save", output 1
    // ticked; a cell's editor with Return; a phrase with its dialog's "Write".
    enum Cell { Own, UserList, ZoneGrid, PhraseDialog };
    const struct {
        QLineEdit* TForm1::*edit;
        QString input;
        QByteArray expected;
        Cell cell = Own;
    } rows[] = {
        {&TForm1::Edit1, QString::fromUtf8("Rx-1_b.Ex~ample.n\u00e9t:"), "Rx-1_b.Example.nt"},
        {&TForm1::Edit5, "backup." + QString(40, 'x') + ".lt", "backup." + QByteArray(37, 'x')},
        {&TForm1::TntEdit2, "60 0a2", "6002"},
        {&TForm1::Edit11, "c0dez", "C0DE"},
        {&TForm1::Edit13, "98a76", "9876"},
        {&TForm1::TntEdit1, "4x321", "4321"},
        {&TForm1::TntEdit4, "a0g1", "A01"},
        {&TForm1::TntEdit8, "00112233-44556677 8899aabbccddeeffab", "00112233445566778899AABBCCDDEEFF"},
        {&TForm1::Edit12, "+370-612 3456a7", "+37061234567"},
        {&TForm1::Edit2, "apn.Example-1", "apn.Example-1"},
        {&TForm1::Edit3, "User 1", "User 1"},
        {&TForm1::Edit4, "Pa~ss", "Pa~ss"},
        {&TForm1::Edit8, "Owner of the house", "Owner of the hou"},
        {&TForm1::Edit9, "usb Pw9", "usb Pw9"},
        {&TForm1::Edit15, "Door open 1", "Door open 1"},
        // The port fills what the host leaves of the module's field: the address goes out whole.
        {&TForm1::TntEdit3, "65000x1", "backup." + QByteArray(37, 'x') + ":65000"},
        {nullptr, "+370 699 345 678 901 234", "+37069934567890", UserList},
        {nullptr, "Zone kitchen door 2", "Zone kitchen doo", ZoneGrid},
        {nullptr, "Alarm at the house", "Alarm at the hou", PhraseDialog},
    };
    auto open = [&f](Cell cell, QLineEdit* TForm1::*edit) -> QLineEdit* {
        if (cell == Own)
            return f.*edit;
        if (cell == PhraseDialog) {
            f.TntButton8->click(); // reads the phrases first
            EXPECT_TRUE(sim::WaitUntil([] { return !Form2->PhraseEdit(14)->text().isEmpty(); }));
            return Form2->PhraseEdit(0);
        }
        QAbstractItemView* v = cell == UserList ? static_cast<QAbstractItemView*>(f.VStringTree1) : f.StringGrid3;
        v->setCurrentIndex(v->model()->index(0, 1));
        v->edit(v->currentIndex());
        return v->viewport()->findChild<QLineEdit*>();
    };
    const QString saved = dir.filePath("typed.tpl");
    for (const int way : {0, 1, 2}) { // typed, pasted, from the template saved after typing
        SCOPED_TRACE(way);
        for (const auto& r : rows) {
            if (way == 2 && r.cell != Own)
                continue; // nothing of the window's own to empty
            QLineEdit* e = open(r.cell, r.edit);
            ASSERT_NE(e, nullptr) << r.input.toStdString();
            e->clear();
            if (way == 0) // key by key, as a keyboard gives each character (Latin-1 ones too)
                for (const QChar c : r.input)
                    QTest::sendKeyEvent(QTest::Click, e, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
            else if (way == 1)
                Paste(e, r.input);
            if (r.edit == &TForm1::Edit12) {
                f.TntCheckBox2->setChecked(true);
                f.TntButton16->click();
            } else if (r.cell == PhraseDialog) {
                Form2->TntButton53->click();
                Form2->close();
            } else if (r.cell != Own) {
                QTest::keyClick(e, Qt::Key_Return);
                QCoreApplication::processEvents(); // the cell commits and closes its editor
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        }
        if (way != 1) {
            ui::QueueText(saved);
            (way == 0 ? f.TntButton26 : f.TntButton27)->click(); // saved after typing, loaded at last
        }
        WriteAllSettings();
        const sim::SimModuleConfig& m = module->Config();
        const QList<QByteArray> cs1 = m.connectionString.trimmed().split(':');
        const QList<QByteArray> held{
            cs1.value(0), m.connectionString2.trimmed().split(':').value(0), cs1.value(1), m.reserveAccounts[0],
            AccessPINFromWord(m.accessPin), m.simPin.trimmed(), QByteArray::number(m.heartBeat & 0xFFF, 16).toUpper(),
            m.aesKeys[0].toHex().toUpper(), m.pgmPhones[0].number.trimmed(), m.apn.trimmed(), m.userName.trimmed(),
            m.password.trimmed(), m.ownerName, m.usbPassword.trimmed(), m.inputSmsTexts[0].trimmed(),
            m.connectionString2.trimmed(), m.phones[0].number.trimmed(), m.itemNames[0][0].trimmed(),
            m.smsPhrases[0].trimmed()};
        for (std::size_t i = 0; i < std::size(rows); ++i)
            EXPECT_EQ(held.value(qsizetype(i)), rows[i].expected) << rows[i].input.toStdString();
    }
}

} // namespace
