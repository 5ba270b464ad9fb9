#include "editor/Unit5.h"

#include "editor/Main.h"
#include "widgets/Colors.h"
#include "widgets/Prgrss.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>

TForm5* Form5 = nullptr;

TForm5::TForm5(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("VEQ4m Loader"));
    setModal(false);
    setFixedSize(265, 120);
    Label1 = new QLabel(QStringLiteral("Reading VEQ3 Settings"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 10, 233, 16);
    Label2 = new QLabel(QStringLiteral("Reading VEQ3 Settings"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 10, 233, 16);
    Label3 = new QLabel(QStringLiteral("Please wait..."), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(16, 34, 233, 16);
    StripeProgress1 = new TStripeProgress(this);
    StripeProgress1->setObjectName(QStringLiteral("StripeProgress1"));
    StripeProgress1->setGeometry(20, 64, 225, 14);
    StripeProgress1->setBackColor(colors::clWhite);
}

void TForm5::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TForm5::ShowWaiting(bool Writing)
{
    Label1->setVisible(Writing);
    Label2->setVisible(!Writing);
    show();
}

void TForm5::FormShow()
{
    setCursor(Qt::WaitCursor);
    for (QLabel* l : {Label1, Label2, Label3}) {
        l->resize(233, l->height());
        l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    StripeProgress1->setEnabled(true);
    StripeProgress1->setForeColor(0xFF8000);
    StripeProgress1->setBackColor(0xFFFFFF);
    StripeProgress1->setInterval(70);
    StripeProgress1->setStatus(TProgressStatus::psOn);
    if (Form1 && Form1->isEnabled()) {
        Form1->setEnabled(false);
        disabledMain_ = true;
    }
    // The dialog itself stays usable while its parent window is disabled.
    setEnabled(true);
}

void TForm5::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    FormClose();
}

void TForm5::closeEvent(QCloseEvent* e)
{
    // The dialog is up only while a read, a write-all or a factory reset runs; giving the
    // window back in the middle would let a second one start inside the first. So its
    // close button does nothing: the program closes it when the work ends (or the module
    // leaves, or a read times out).
    if (e->spontaneous()) {
        e->ignore();
        return;
    }
    e->accept();
}

void TForm5::reject()
{
    // Esc: ignored for the same reason.
}

void TForm5::FormClose()
{
    unsetCursor();
    StripeProgress1->setEnabled(false);
    // Give the main window back only if this dialog took it.
    if (disabledMain_) {
        disabledMain_ = false;
        if (Form1)
            Form1->setEnabled(true);
    }
}

TForm5::~TForm5()
{
    if (Form5 == this)
        Form5 = nullptr;
}
