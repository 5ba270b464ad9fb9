// The SMS phrases dialog: the 15 phrases are read when it is shown and written on request.
// Also the edits that hold the module's bytes of a text.
#include "editor/Unit2.h"

#include "editor/Controls.h"
#include "editor/Main.h"
#include "editor/MainTables.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "lang/SmsCharset.h"
#include "link/VEQ2_SDK.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

#include <functional>

TForm2* Form2 = nullptr;

namespace {
// The properties of an edit that holds a text as the module's bytes: the bytes, and the
// text they were last shown or typed as.
constexpr char kSmsBytes[] = "SmsBytes";
constexpr char kSmsShown[] = "SmsShown";

void TakeTypedText(QLineEdit* e)
{
    const QString text = e->text();
    const QString shown = e->property(kSmsShown).toString();
    if (text == shown)
        return;
    e->setProperty(kSmsBytes, SmsBytesAfterEdit(e->property(kSmsBytes).toByteArray(), shown, text));
    e->setProperty(kSmsShown, text);
}
} // namespace

TForm2::TForm2(QWidget* parent) : TSmsDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("VEQ3 SMS Phrases"));
    setFixedSize(300, 470);
    auto* group = ctl::Make<QGroupBox>(this, "TntGroupBox1", 8, 8, 284, 410);
    group->setTitle(QStringLiteral("Phrases"));
    for (int i = 0; i < PhraseCount; ++i) {
        edits_[i] = ctl::Make<QLineEdit>(group, QStringLiteral("Edit%1").arg(33 + i).toLatin1().constData(),
                                         12, 22 + i * 25, 260, 21);
        HoldSmsBytes(edits_[i], PhraseWidth);
        ctl::InstallInputCleaner(edits_[i]);
    }
    TntButton53 = ctl::Make<QPushButton>(this, "TntButton53", 8, 428, 90, 28);
    TntButton53->setText(QStringLiteral("Write"));
    TntButton2 = ctl::Make<QPushButton>(this, "TntButton2", 105, 428, 90, 28);
    TntButton2->setText(QStringLiteral("Set default"));
    TntButton1 = ctl::Make<QPushButton>(this, "TntButton1", 202, 428, 90, 28);
    TntButton1->setText(QStringLiteral("Close"));
    connect(TntButton53, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton53Click(); }); });
    connect(TntButton2, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton2Click(); }); });
    connect(TntButton1, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton1Click(); }); });
}

QByteArray TForm2::EncodeSmsText(const QByteArray& s)
{
    return ::EncodeSmsText(s);
}

QByteArray TForm2::DecodeSmsText(const QByteArray& s)
{
    return ::DecodeSmsText(s);
}

void TForm2::HoldSmsBytes(QLineEdit* e, int width)
{
    if (!e || HoldsSmsBytes(e))
        return;
    e->setMaxLength(width);
    e->setProperty(kSmsBytes, SmsBytesFromUnicode(e->text()));
    e->setProperty(kSmsShown, e->text());
    QObject::connect(e, &QLineEdit::textChanged, e, [e] { TakeTypedText(e); });
}

bool TForm2::HoldsSmsBytes(const QObject* o)
{
    return o && o->property(kSmsBytes).isValid();
}

QByteArray TForm2::SmsBytes(QLineEdit* e)
{
    if (!e)
        return {};
    if (!HoldsSmsBytes(e))
        return SmsBytesFromUnicode(e->text());
    TakeTypedText(e);
    return e->property(kSmsBytes).toByteArray();
}

void TForm2::SetSmsBytes(QLineEdit* e, const QByteArray& bytes)
{
    if (!e)
        return;
    const QByteArray held = bytes.left(e->maxLength());
    const QString shown = SmsBytesToUnicode(held);
    // Held first: the change handlers that the new text runs find it in place.
    e->setProperty(kSmsBytes, held);
    e->setProperty(kSmsShown, shown);
    e->setText(shown);
}

void TForm2::ShowSmsBytes(QLineEdit* e)
{
    if (e && HoldsSmsBytes(e))
        SetSmsBytes(e, e->property(kSmsBytes).toByteArray());
}

QLineEdit* TForm2::PhraseEdit(int i) const
{
    return i >= 0 && i < PhraseCount ? edits_[i] : nullptr;
}

void TForm2::FormShow()
{
    // A loaded template's phrases are shown until they are written: no read replaces them.
    if (TemplateLoaded) {
        ForgetTexts();
        HoldMainWindow();
        return;
    }
    BeginTextsRead(PhraseCount);
    SendSeries(PhraseCount, 5, [](TVEQ2& link, int i) { link.ReadSMSPhrase(static_cast<quint8>(i)); });
    HoldMainWindow();
}

void TForm2::OnSMSPhraseArrive(QObject*, quint8 Idx, const QByteArray& Phrase)
{
    if (Idx >= PhraseCount)
        return;
    SetSmsBytes(edits_[Idx], Phrase);
    TextArrived(Idx);
}

bool TForm2::TntButton53Click()
{
    if (!ModuleConnected())
        return false;
    // An edit whose phrase never arrived is blank: writing it would erase the module's.
    if (!MayWriteTexts())
        return false;
    return WriteSeries(PhraseCount, 5, [this](TVEQ2& link, int i) {
        link.SendSMSPhrase(static_cast<quint8>(i), SmsBytes(edits_[i]));
    });
}

void TForm2::TntButton2Click()
{
    for (int i = 0; i < PhraseCount; ++i)
        SetSmsBytes(edits_[i], EncodeSmsText(GetLangMessage(i + 1)));
    TextsSet();
}

void TForm2::TntButton1Click()
{
    close();
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}
