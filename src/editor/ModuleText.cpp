#include "editor/ModuleText.h"

#include "editor/MainTables.h"
#include "lang/SmsCharset.h"

#include <QLineEdit>

namespace {

// The properties of an edit that holds a text as the module's bytes: the bytes, and the
// text they were last shown or typed as (each character stands for one byte).
constexpr char kBytes[] = "ModuleTextBytes";
constexpr char kShown[] = "ModuleTextShown";

void TakeTypedText(QLineEdit* e)
{
    const QString text = e->text();
    const QString shown = e->property(kShown).toString();
    if (text == shown)
        return;
    e->setProperty(kBytes, SmsBytesAfterEdit(e->property(kBytes).toByteArray(), shown, text));
    e->setProperty(kShown, text);
}

void Commit(QLineEdit* e)
{
    TakeTypedText(e);
    const QString shown = ModuleText::Shown(e->property(kBytes).toByteArray());
    if (shown == e->text())
        return;
    e->setProperty(kShown, shown);
    e->setText(shown);
}

} // namespace

namespace ModuleText {

QString Shown(const QByteArray& bytes)
{
    return SmsBytesToUnicode(bytes);
}

QByteArray Edited(const QByteArray& held, const QString& typed)
{
    return SmsBytesAfterEdit(held, Shown(held), typed);
}

QByteArray ToLangText(const QByteArray& bytes)
{
    return DecodeSmsText(bytes);
}

QByteArray FromLangText(const QByteArray& text)
{
    return EncodeSmsText(text);
}

QString ItemName(int FDNr, int Idx)
{
    return ItemNameIndex(FDNr, Idx) < 0 ? QString() : Shown(ItemNameAt(FDNr, Idx));
}

int ItemNameGroupOfGrid(int grid)
{
    switch (grid) {
    case 3: return 1; // zones
    case 6: return 2; // modules
    case 5: return 3; // users
    case 4: return 4; // partitions
    default: return 0;
    }
}

void Hold(QLineEdit* e, int width)
{
    if (!e || Holds(e))
        return;
    e->setMaxLength(width);
    e->setProperty(kBytes, SmsBytesFromUnicode(e->text()));
    e->setProperty(kShown, e->text());
    QObject::connect(e, &QLineEdit::textChanged, e, [e] { TakeTypedText(e); });
    QObject::connect(e, &QLineEdit::editingFinished, e, [e] { Commit(e); });
}

bool Holds(const QObject* o)
{
    return o && o->property(kBytes).isValid();
}

QByteArray Bytes(QLineEdit* e)
{
    if (!e)
        return {};
    if (!Holds(e))
        return SmsBytesFromUnicode(e->text());
    TakeTypedText(e);
    return e->property(kBytes).toByteArray();
}

void Set(QLineEdit* e, const QByteArray& bytes)
{
    if (!e)
        return;
    const QByteArray held = bytes.left(e->maxLength());
    const QString shown = Shown(held);
    e->setProperty(kBytes, held);
    e->setProperty(kShown, shown);
    e->setText(shown);
}

void Show(QLineEdit* e)
{
    if (e && Holds(e))
        Set(e, e->property(kBytes).toByteArray());
}

} // namespace ModuleText
