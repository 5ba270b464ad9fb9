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

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

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
        delete form;
        form = nullptr;
        module.reset();
        hid.reset();
        TForm1::LinkTiming = TVEQ2Timing();
        ResetMainTables();
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

    QTemporaryDir dir;
    std::unique_ptr<sim::SimHid> hid;
    std::unique_ptr<sim::SimModule> module;
    TForm1* form = nullptr;
};
