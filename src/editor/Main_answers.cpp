// Questions and file dialogs that lead to a send, a load or a save: while one is open the
// window keeps handling the module link, so the module it was opened for may leave and
// another one may be plugged in and read. The answer then belongs to a module that is no
// longer there, and the new one must not get it.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "link/VEQ2_SDK.h"

#include <QLabel>

TForm1::TModuleAtHand TForm1::ModuleAtHand() const
{
    TModuleAtHand m;
    m.Connection = connectionCount_;
    m.Connected = VEQ2 && VEQ2->Connected;
    if (m.Connected)
        m.SerialNumber = VEQ2->SerialNumber;
    return m;
}

bool TForm1::AnswerMayAct(const TModuleAtHand& At, TAnswerUse Use)
{
    // A window that let go of its link is closing: nothing more is done or said.
    if (!VEQ2 || closed_)
        return false;
    auto refuse = [this](const QString& text) {
        WideMessagedlg(text, ui::MsgType::Error, {ui::MsgButton::OK});
        return false;
    };
    // The connection count alone misses a module too old to be read arriving where there
    // was none; the serial number tells that one apart.
    const TModuleAtHand now = ModuleAtHand();
    if (now.Connection != At.Connection || now.Connected != At.Connected || now.SerialNumber != At.SerialNumber) {
        // The production test has already reset its module: its cut write says what that
        // module holds now.
        if (Use == TAnswerUse::ProductionTest)
            return false;
        return refuse(At.Connected ? GetLangText(131).arg(At.SerialNumber) : GetLangText(132));
    }
    if (!now.Connected) {
        // Without a module the window's own settings are what a template or the phone list
        // works on: the pages shown before any module ("Code=2") are there to prepare them.
        if (Use == TAnswerUse::FactoryReset || Use == TAnswerUse::ProductionTest)
            return refuse(GetLangText(118));
        return true;
    }
    // The window's own words for a module it does not configure, and for locked GPRS settings.
    auto label = [this](const char* name) {
        const QLabel* l = ctl::Find<QLabel>(this, QString::fromLatin1(name));
        return l ? l->text() : QString();
    };
    const bool supported = VEQ2->FirmwareVersion >= FwReadOnConnect;
    switch (Use) {
    case TAnswerUse::FactoryReset:
    case TAnswerUse::LoadTemplate:
        // The buttons are offered for a module the window configures, unlocked.
        if (!supported)
            return refuse(label("TntLabel10"));
        break;
    case TAnswerUse::SaveTemplate:
        // A template of settings the window did not read would give another module defaults
        // in place of what this one holds.
        if (!SettingsReadComplete())
            return refuse(GetLangText(114));
        break;
    case TAnswerUse::RemoveOutput:
        // A read running now refills the phones from the module: nothing is taken from them.
        return !VEQ2->ReadingAll;
    case TAnswerUse::ProductionTest:
        return true;
    }
    if (VEQ2->GPRSLocked)
        return refuse(label("TntLabel81"));
    return true;
}
