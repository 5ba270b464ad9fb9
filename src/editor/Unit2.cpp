// The SMS phrases dialog: the 15 phrases are read when it is shown and written on request.
#include "editor/Unit2.h"

#include "editor/Controls.h"
#include "editor/FieldRules.h"
#include "editor/Main.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

#include <functional>

TForm2* Form2 = nullptr;

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
        ModuleText::Hold(edits_[i], fields::Rule(TField::SmsPhrase).moduleWidth);
        fields::Install(edits_[i], TField::SmsPhrase);
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
    PlainButtons();
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
    ReadTexts(PhraseCount, [](TVEQ2& link, int i) { link.ReadSMSPhrase(static_cast<quint8>(i)); });
}

void TForm2::OnSMSPhraseArrive(QObject*, quint8 Idx, const QByteArray& Phrase)
{
    if (Idx >= PhraseCount)
        return;
    ModuleText::Set(edits_[Idx], Phrase);
    TextArrived(Idx);
}

bool TForm2::TntButton53Click()
{
    if (!ModuleConnectedToWrite())
        return false;
    // An edit whose phrase never arrived is blank: writing it would erase the module's.
    if (!MayWriteTexts())
        return false;
    return WriteSeries(PhraseCount, 5, [this](TVEQ2& link, int i) {
        link.SendSMSPhrase(static_cast<quint8>(i), ModuleText::Bytes(edits_[i]));
    });
}

void TForm2::TntButton2Click()
{
    for (int i = 0; i < PhraseCount; ++i)
        ModuleText::Set(edits_[i], ModuleText::FromLangText(GetLangMessage(i + 1)));
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
