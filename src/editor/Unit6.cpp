// The additional SMS texts dialog: two texts read when it is shown, written on request.
#include "editor/Unit6.h"

#include "editor/Controls.h"
#include "editor/FieldRules.h"
#include "editor/Main.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "lang/Kalbos.h"
#include "link/VEQ2_SDK.h"

#include <QLabel>
#include <QLineEdit>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>

#include <functional>

TForm6* Form6 = nullptr;

TForm6::TForm6(QWidget* parent) : TSmsDialog(parent)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Additional SMS text"));
    setFixedSize(420, 170);
    ctl::Make<QLabel>(this, "TntLabel1", 8, 8, 400, 18)->setText(QStringLiteral("GPRS communication failure:"));
    AdSMSEdit0 = ctl::Make<QLineEdit>(this, "AdSMSEdit0", 8, 28, 404, 21);
    ctl::Make<QLabel>(this, "TntLabel2", 8, 58, 400, 18)->setText(QStringLiteral("GPRS communication statistics:"));
    AdSMSEdit1 = ctl::Make<QLineEdit>(this, "AdSMSEdit1", 8, 78, 404, 21);
    for (QLineEdit* e : {AdSMSEdit0, AdSMSEdit1}) {
        ModuleText::Hold(e, fields::Rule(TField::SmsText).moduleWidth);
        fields::Install(e, TField::SmsText);
    }
    TntButton53 = ctl::Make<QPushButton>(this, "TntButton53", 8, 126, 90, 28);
    TntButton53->setText(QStringLiteral("Write"));
    TntButton4 = ctl::Make<QPushButton>(this, "TntButton4", 105, 126, 90, 28);
    TntButton4->setText(QStringLiteral("Set default"));
    TntButton5 = ctl::Make<QPushButton>(this, "TntButton5", 322, 126, 90, 28);
    TntButton5->setText(QStringLiteral("Close"));
    connect(TntButton53, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton53Click(); }); });
    connect(TntButton4, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton4Click(); }); });
    connect(TntButton5, &QPushButton::clicked, this, [this] { Guarded([this] { TntButton5Click(); }); });
    PlainButtons();
}

void TForm6::FormShow()
{
    // A loaded template's texts are shown until they are written: no read replaces them.
    if (TemplateLoaded) {
        ForgetTexts();
        HoldMainWindow();
        return;
    }
    // The answers reach the edits through the main window, which reports each here.
    ReadTexts(AdditionalSMSTextCount, [](TVEQ2& link, int i) { link.ReadAdditionalSMSText(static_cast<quint8>(i)); });
}

bool TForm6::TntButton53Click()
{
    if (!ModuleConnectedToWrite())
        return false;
    // An edit whose text never arrived is blank: writing it would erase the module's.
    if (!MayWriteTexts())
        return false;
    QLineEdit* edits[AdditionalSMSTextCount] = {AdSMSEdit0, AdSMSEdit1};
    const bool sent = WriteSeries(AdditionalSMSTextCount, 50, [&edits](TVEQ2& l, int i) {
        StoreAdditionalSMSText(i, ModuleText::Bytes(edits[i]));
        l.SendAdditionalSMSText(static_cast<quint8>(i), AdditionalSMSTexts[i]);
    });
    if (sent)
        close();
    return sent;
}

void TForm6::TntButton4Click()
{
    ModuleText::Set(AdSMSEdit0, ModuleText::FromLangText(GetLangMessage(16)));
    ModuleText::Set(AdSMSEdit1, ModuleText::FromLangText(GetLangMessage(17)));
    TextsSet();
}

void TForm6::TntButton5Click()
{
    close();
}

TForm6::~TForm6()
{
    if (Form6 == this)
        Form6 = nullptr;
}
