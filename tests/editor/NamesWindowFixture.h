#pragma once
// The main window with its dialogs, with or without the simulated module, for the tests of
// the names page and the SMS text dialogs.
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
#include "support/WindowTestBase.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

class NamesWindowFixture : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        TVEQ2Timing t;
        t.ReplyTimeoutMs = 300;
        t.FirstReplyMs = 100;
        TForm1::LinkTiming = t;
    }

    void TearDown() override { WindowTestBase::TearDown(); }

    void CreateForms()
    {
        WindowTestBase::CreateForms();
        ASSERT_TRUE(sim::WaitUntil([&] { return form->ComboBox28->count() > 0; }));
    }

    // A module with firmware 2035, read completely; the log is cleared afterwards.
    void ConnectAndRead()
    {
        module = std::make_unique<sim::SimModule>(*hid);
        CreateForms();
        ASSERT_TRUE(sim::WaitUntil(
            [&] {
                return form->Link() && form->Link()->Connected && !form->Link()->ReadingAll &&
                       !module->Codes().empty() && module->Codes().back() == 0x41 && form->DeferredPlainMessages.isEmpty() && !Form5->isVisible();
            },
            15000));
        module->ClearLog();
    }

    void UseLanguage(const char* name)
    {
        form->ComboBox28->setCurrentText(QString::fromLatin1(name));
        form->ComboBox28Change(form->ComboBox28);
    }

    static QString Cell(QTableWidget* g, int row, int col)
    {
        const QTableWidgetItem* it = g->item(row, col);
        return it ? it->text() : QStringLiteral("<none>");
    }

};

