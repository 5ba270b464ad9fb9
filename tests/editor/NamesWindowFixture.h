#pragma once
// The main window with its dialogs, with or without the simulated module, for the tests of
// the names page and the SMS text dialogs.
#include "support/WindowTestBase.h"

#include <QTableWidget>

class NamesWindowFixture : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(300, 100); }

    // A module with firmware 2035, read completely; the log is cleared afterwards.
    void ConnectAndRead()
    {
        module = std::make_unique<sim::SimModule>(*hid);
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(sim::WaitUntil([&] { return ReadFinishedDialogGone(); }, 15000));
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

