#include "editor/SmsDialog.h"

#include "editor/Main.h"
#include "editor/MainTables.h"
#include "editor/SendSequence.h"
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
    if (!Form1)
        return false;
    TSendSequence seq(*Form1);
    return RunSeries(seq, count, pauseMs, send);
}

bool TSmsDialog::RunSeries(TSendSequence& seq, int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send)
{
    return seq.Run([&] {
        for (int i = 0; i < count; ++i)
            seq.Send([&](TVEQ2& link) { send(link, i); }, pauseMs);
        seq.Send([](TVEQ2& link) { link.SendBatchEnd(true); }, 0);
    });
}

bool TSmsDialog::WriteSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send)
{
    if (!Form1)
        return false;
    const bool own = Form1->BeginWholeWrite(TForm1::TWholeWrite::Texts);
    TSendSequence seq(*Form1);
    try {
        RunSeries(seq, count, pauseMs, send);
    } catch (...) {
        if (own)
            Form1->DropWholeWrite();
        throw;
    }
    // The dialog goes first, so that the message stands over the window it gives back.
    const bool whole = seq.End() == TSendEnd::Whole;
    if (!whole && isVisible())
        close();
    if (own && Form1)
        Form1->EndWholeWrite(seq);
    return whole;
}

bool TSmsDialog::ModuleConnected()
{
    const TVEQ2* link = Form1 ? Form1->Link() : nullptr;
    return link && link->Connected;
}

void TSmsDialog::ForgetTexts()
{
    reading_ = false;
    arrived_ = 0;
    textsSet_ = false;
}

void TSmsDialog::BeginTextsRead(int count)
{
    ForgetTexts();
    textCount_ = count;
    reading_ = Form1 != nullptr;
    readConnection_ = Form1 ? Form1->ConnectionCount() : 0;
}

void TSmsDialog::TextArrived(int idx)
{
    if (!reading_ || !isVisible() || idx < 0 || idx >= textCount_)
        return;
    if (!Form1 || Form1->ConnectionCount() != readConnection_)
        return;
    arrived_ |= 1u << idx;
}

bool TSmsDialog::TextsRead() const
{
    return reading_ && textCount_ > 0 && arrived_ == (1u << textCount_) - 1 && Form1 &&
           Form1->ConnectionCount() == readConnection_ && ModuleConnected();
}

bool TSmsDialog::MayWriteTexts()
{
    if (TemplateLoaded || textsSet_ || TextsRead())
        return true;
    if (Form1)
        Form1->WideMessagedlg(Form1->GetLangText(121), ui::MsgType::Error, {ui::MsgButton::OK});
    return false;
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
    // What this showing read or set is not what the next showing shows.
    ForgetTexts();
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
