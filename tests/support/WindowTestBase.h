#pragma once
// The common ground of the main window's tests: a program folder of its own holding the
// shipped files, clean tables and dialog answers, and the simulated HID layer (a module is
// plugged by the test). The window and its dialogs are freed after each test.
#include "editor/Main.h"
#include "editor/MainTables.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit4.h"
#include "editor/Unit5.h"
#include "editor/Unit6.h"
#include "link/VEQ2_SDK.h"
#include "platform/AppPaths.h"
#include "platform/UiDialogs.h"
#include "support/SimHid.h"
#include "support/SimModule.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class WindowTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString bin = QCoreApplication::applicationDirPath();
        for (const char* f : {"comps.txt", "CID_Descriptions.txt", "APN.txt"})
            ASSERT_TRUE(QFile::copy(bin + "/" + f, dir.path() + "/" + f)) << f;
        platform::SetProgramDirForTests(dir.path());
        ResetMainTables();
        ui::ClearAnswers();
        ui::ClearRecord();
        hid = std::make_unique<sim::SimHid>();
    }

    void TearDown() override
    {
        CloseWindow();
        hid.reset();
        TForm1::LinkTiming = TVEQ2Timing();
        ui::ClearAnswers();
        platform::SetProgramDirForTests(QString());
    }

    // Shorter reply time-outs for the links of the windows created next.
    static void SetLinkTiming(int replyTimeoutMs, int firstReplyMs)
    {
        TVEQ2Timing t;
        t.ReplyTimeoutMs = replyTimeoutMs;
        t.FirstReplyMs = firstReplyMs;
        TForm1::LinkTiming = t;
    }

    // The main window and its five dialogs, as the program creates them.
    void CreateForms()
    {
        form = new TForm1();
        Form2 = new TForm2(form);
        Form3 = new TForm3(form);
        Form4 = new TForm4(form);
        Form5 = new TForm5(form);
        Form6 = new TForm6(form);
    }

    // Frees the window and the module and clears the tables, for another window in the same test.
    void CloseWindow()
    {
        delete form;
        form = nullptr;
        module.reset();
        ResetMainTables();
    }

    // The forms, then the start-up's language: true once the language list is filled.
    bool CreateFormsWithLanguages()
    {
        CreateForms();
        return sim::WaitUntil([&] { return form->ComboBox28->count() > 0; });
    }

    // A module of the given firmware (and type) on the simulated bus, plugged in now or by the test.
    void PlugModule(int firmware = 2035, bool plugNow = true, const QString& type = QStringLiteral("VEQ4m"))
    {
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(firmware, type);
        module = std::make_unique<sim::SimModule>(*hid, o, plugNow);
    }

    // Both channels in use on these hosts, with their accounts.
    static void BothChannels(sim::SimModuleConfig& c, const QByteArray& cs1, const QByteArray& cs2)
    {
        c.connectionString = cs1;
        c.connectionString2 = cs2;
        c.apn = "internet";
        c.tcpCR = BuildTCPCR({.ComboBox2Index = 1, .ComboBox4Index = 1}, 2035);
        c.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
    }

    // A VEQ3 (it has remote control): both channels in use, SIM PIN and heartbeat ID editable, `set`; read.
    void ReadEditableModule(const std::function<void(sim::SimModuleConfig&)>& set = [](sim::SimModuleConfig&) {})
    {
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(2035, QStringLiteral("VEQ3"));
        module = std::make_unique<sim::SimModule>(*hid, o);
        BothChannels(module->Config(), "alarm-rx.example-net.lt:5001", "rx_2.example~net.lt:6002");
        module->Config().veq2CR = BuildVEQ2CR({.TntCheckBox28 = true});
        module->Config().simPin = "1234";
        module->Config().heartBeat = 0x8602;
        module->Config().accessPin = AccessPINToWord("4321");
        set(module->Config());
        ASSERT_TRUE(CreateFormsWithLanguages() && WaitReadFinished());
    }

    // A read of all settings has ended: its last request (0x41) was answered, no read is
    // under way and no message is held back. The link may have gone since.
    bool ReadEnded() const
    {
        return form->Link() && !form->Link()->ReadingAll && !module->Codes().empty() &&
               module->Codes().back() == 0x41 && form->DeferredPlainMessages.isEmpty();
    }

    // The same, with the link still up.
    bool ReadFinished() const { return ReadEnded() && form->Link()->Connected; }

    // The same, and the wait dialog has gone.
    bool ReadFinishedDialogGone() const { return ReadFinished() && !Form5->isVisible(); }

    // Waits until a read has ended and neither timer that leads to a read is running, then
    // until the wait dialog has gone.
    bool WaitReadEnded()
    {
        return WaitThenDialogGone([&] { return ReadEnded() && !form->Timer2->isActive() && !form->Timer7->isActive(); });
    }

    // Waits until a read has finished on a connected link and the connect timer is idle,
    // then until the wait dialog has gone.
    bool WaitReadFinished()
    {
        return WaitThenDialogGone([&] { return ReadFinished() && !form->Timer2->isActive(); });
    }

    // Reads the module afresh: the first time by plugging it in, later by "Read VEQ3
    // Settings"; its log cleared first.
    void ReadModuleAgain(bool& first)
    {
        module->ClearLog();
        if (first)
            module->Plug(); // read on connect
        else
            form->TntButton19Click(); // "Read VEQ3 Settings"
        first = false;
    }

    // "Write all settings" on a read module, to the end of the read that follows: nothing told.
    void WriteAllSettings()
    {
        ui::ClearRecord();
        module->ClearLog();
        form->TntButton1->click();
        ASSERT_TRUE(WaitReadFinished());
        EXPECT_TRUE(ui::Record().empty()) << qPrintable(ui::Record().front().text);
    }

    // The packets the module received before the first request of a read.
    std::vector<QByteArray> WritePackets() const
    {
        std::vector<QByteArray> out;
        for (const QByteArray& p : module->Packets()) {
            if (static_cast<quint8>(p[0]) == 0x80)
                break;
            out.push_back(p);
        }
        return out;
    }

    // The program folder's Settings.ini with these lines in its one section.
    void WriteSettings(const QByteArray& lines)
    {
        QFile ini(dir.path() + "/Settings.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\r\n" + lines);
    }

    // Whether a dialog showed this text (of this kind).
    static bool Shown(const QString& text) { return Shown(QString(), text); }
    static bool Shown(const QString& kind, const QString& text)
    {
        for (const auto& d : ui::Record())
            if ((kind.isNull() || d.kind == kind) && d.text == text)
                return true;
        return false;
    }

    // A choice made by the user.
    static void Choose(QComboBox* c, int index)
    {
        c->setCurrentIndex(index);
        emit c->activated(index);
    }

    // The user pastes this text into the edit with Ctrl+V.
    static void Paste(QWidget* edit, const QString& text)
    {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }

private:
    bool WaitThenDialogGone(const std::function<bool()>& ended)
    {
        return sim::WaitUntil(ended, 20000) && sim::WaitUntil([&] { return !Form5->isVisible(); }, 5000);
    }

protected:
    QTemporaryDir dir;
    std::unique_ptr<sim::SimHid> hid;
    std::unique_ptr<sim::SimModule> module;
    TForm1* form = nullptr;
};
