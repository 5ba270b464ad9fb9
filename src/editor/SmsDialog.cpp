#include "editor/SmsDialog.h"

#include "editor/Main.h"
#include "link/VEQ2_SDK.h"

#include <QHideEvent>
#include <QShowEvent>

TSmsDialog::TSmsDialog(QWidget* parent) : QDialog(parent) {}

void TSmsDialog::Guarded(const std::function<void()>& f)
{
    if (Form1) {
        Form1->Guard(f);
        return;
    }
    try {
        f();
    } catch (...) {
    }
}

bool TSmsDialog::SendSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send)
{
    for (int i = 0; i < count; ++i) {
        TVEQ2* link = Form1 ? Form1->Link() : nullptr;
        if (!link)
            return false;
        send(*link, i);
        Form1->Delay(pauseMs);
    }
    TVEQ2* link = Form1 ? Form1->Link() : nullptr;
    if (!link)
        return false;
    link->SendBatchEnd(true);
    return true;
}

void TSmsDialog::HoldMainWindow()
{
    // Closed already while its requests went out: the window stays with the user.
    if (!isVisible())
        return;
    if (Form1 && Form1->isEnabled()) {
        Form1->setEnabled(false);
        disabledMain_ = true;
    }
    setEnabled(true);
}

void TSmsDialog::FormClose()
{
    if (disabledMain_) {
        disabledMain_ = false;
        if (Form1)
            Form1->setEnabled(true);
    }
}

void TSmsDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A window system showing the dialog again (its owner restored) is no fresh show.
    if (!e->spontaneous())
        Guarded([this] { FormShow(); });
}

void TSmsDialog::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    // A window system hiding the dialog (its owner minimised) is no close.
    if (!e->spontaneous())
        Guarded([this] { FormClose(); });
}
