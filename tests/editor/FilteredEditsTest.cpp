// The filtered edits as the user meets them, against a module that was read: typed keys are
// filtered whatever modifiers they carry, editing keys work, what is pasted or dropped is
// cleaned before it is cut to length, values the module sent go back as sent, and a short
// account stops a write.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

namespace {

class FilteredEditsTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        SetLinkTiming(2000, 500);
        ReadEditableModule();
    }

    // A key with the text the platform gives it: U+007F for Delete, the control code for
    // Ctrl with a letter.
    static void Key(QLineEdit* e, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const int code = key == Qt::Key_Delete ? 0x7F : mods == Qt::ControlModifier ? key - Qt::Key_A + 1 : 0;
        QTest::sendKeyEvent(QTest::Click, e, key, code ? QString(QChar(code)) : QString(), mods);
    }
};

// A key with Alt, Meta or AltGr (Ctrl+Alt) types its character as a plain key does, and the
// filter takes it as it takes a plain key; so does text from an input method. Ctrl with a
// letter types nothing, and the editing keys work.
TEST_F(FilteredEditsTest, KeysWithModifiersAreFilteredAndEditingKeysWork)
{
    auto& f = *form;
    const Qt::KeyboardModifiers alt = Qt::AltModifier, altGr = Qt::ControlModifier | Qt::AltModifier;
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_B, Qt::ControlModifier}, {Qt::Key_1, alt},   {Qt::Key_Colon, alt}, {Qt::Key_Colon, Qt::MetaModifier},
        {Qt::Key_Colon, altGr}, {Qt::Key_Colon, Qt::ShiftModifier | alt}, {Qt::Key_2, Qt::MetaModifier}};
    for (QLineEdit* e : {f.Edit1, f.Edit5, f.TntEdit2, f.TntEdit3, f.Edit11, f.Edit6, f.TntEdit8, f.TntEdit9,
                         f.TntEdit4, f.TntEdit1, f.Edit13, f.Edit12}) {
        SCOPED_TRACE(e->objectName().toStdString());
        e->clear();
        for (const auto& [key, mods] : keys)
            QTest::keyClick(e, key, mods);
        QInputMethodEvent ime;
        ime.setCommitString(QStringLiteral(":3"));
        QCoreApplication::sendEvent(e, &ime);
        EXPECT_EQ(e->text(), "123");
        for (Qt::Key k : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Backspace, Qt::Key_Left})
            Key(e, k);
        QTest::keyClick(e, Qt::Key_9);
        EXPECT_EQ(e->text(), "92");
        Key(e, Qt::Key_End, Qt::ShiftModifier);
        Key(e, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "2");
        Key(e, Qt::Key_X, Qt::ControlModifier); // cut and undo are keys the filters refuse
        Key(e, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(e->text(), "92");
        QGuiApplication::clipboard()->setText("7");
        Key(e, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(e->text(), "97");
    }
}

// Each message names the channel whose account is short.
TEST_F(FilteredEditsTest, AShortAccountOfAChannelInUseStopsTheWrite)
{
    for (const auto& [e, n] : {std::pair{form->Edit11, 113}, std::pair{form->Edit6, 115}}) {
        SCOPED_TRACE(n);
        ASSERT_FALSE(GetLangText(n).isEmpty());
        e->setText("123");
        ui::ClearRecord();
        module->ClearLog();
        form->TntButton1->click();
        EXPECT_TRUE(module->Packets().empty());
        ASSERT_EQ(ui::Record().size(), 1u);
        EXPECT_EQ(ui::Record().front().text, GetLangText(n));
        e->setText("C123");
    }
}

// Whichever way text comes in (Paste in the context menu, the paste keys, the middle click,
// a drop), it is cleaned there: line breaks and tabs inside it part words, control
// characters go, the edit's filter runs on what it brings, and only then is it cut to
// length. The paste is one step that undo takes back.
TEST_F(FilteredEditsTest, PastesAndDropsAreCleanedWhereTheyComeIn)
{
    auto& f = *form;
    const std::function<void(QLineEdit*, const QString&)> ways[] = {
        [&](QLineEdit* e, const QString& t) { // Paste in the edit's context menu
            QGuiApplication::clipboard()->setText(t);
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(4, 4), e->mapToGlobal(QPoint(4, 4)));
            QCoreApplication::sendEvent(e, &menuEvent);
            QMenu* menu = e->findChild<QMenu*>();
            ASSERT_NE(menu, nullptr);
            for (QAction* a : menu->actions())
                if (a->text().startsWith(QLatin1String("&Paste")))
                    a->trigger();
            delete menu;
        },
        [&](QLineEdit* e, const QString& t) { Paste(e, t); }, // the paste keys
        [&](QLineEdit* e, const QString& t) { // the middle click pastes the primary selection
            ctl::SetPrimarySelectionForTests(&t);
            QTest::mouseClick(e, Qt::MiddleButton, Qt::NoModifier, QPoint(e->width() - 2, 4));
            ctl::SetPrimarySelectionForTests(nullptr);
        },
        [&](QLineEdit* e, const QString& t) { // a drop at the end of the text
            QMimeData data;
            data.setText(t);
            const QPoint at(e->width() - 2, 4);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(e, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(e, &drop);
            EXPECT_TRUE(drop.isAccepted());
        },
    };
    const struct {
        int way;
        QLineEdit* edit;
        QString set, typed; // the text the edit holds: set by the program, then typed
        QString pasted, shown;
    } cases[] = {
        {0, f.Edit8, "Own", "er", "Line1\r\nLine2\r\n", "Line1 Line2"},
        {1, f.Edit2, "ap", "n", "\tinternet\x7F.sim\r\n", "internet.sim"},
        {1, f.TntEdit1, "00", "00", "12 34\n56 78 90", "12345678"}, // filtered, then cut to 8
        {2, f.Edit11, "1", "2", "C-1\t2 3", "12C1"},                  // appended, cut to 4
        {2, f.Edit1, "rx~", "1", ":.lt", "rx~1.lt"}, // what the program set stays
        {3, f.Edit15, "Do", "or", " open\nnow\r\n", "Door open now"}, // input 1's SMS text
        {3, f.TntEdit3, "6", "0", "0\r\n2 9", "60029"},
        {1, f.TntEdit4, "6", "0", "x1-F2", "1F2"}, // hexadecimal digits only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString());
        c.edit->setText(c.set);
        c.edit->end(false);
        QTest::keyClicks(c.edit, c.typed);
        if (c.way <= 1)
            c.edit->selectAll(); // the paste replaces the selection
        ways[c.way](c.edit, c.pasted);
        EXPECT_EQ(c.edit->text(), c.shown);
        Key(c.edit, Qt::Key_Z, Qt::ControlModifier); // undo takes back the paste only
        EXPECT_EQ(c.edit->text(), c.set + c.typed);
        c.edit->redo();
        EXPECT_EQ(c.edit->text(), c.shown);
    }
    WriteAllSettings(); // what the module sent goes back as sent
    EXPECT_EQ(module->Config().connectionString2.trimmed(), "rx_2.example~net.lt:60029");
}

} // namespace
