// Routines of pages whose controls are not on the window yet. Each keeps the tables as
// they are; the page that owns the controls replaces it.
#include "editor/Main.h"

#include "editor/MainTables.h"
#include "editor/Unit6.h"
#include "lang/LangText.h"

#include <QLineEdit>

void TForm1::SelectUserNode(int) {}
void TForm1::FillNameGrids() {}
void TForm1::FillPGMGrid() {}
void TForm1::ShowPGMRow(int) {}
void TForm1::ApplyOutputRecord(int) {}
void TForm1::RefreshOutputRows() {}
void TForm1::ApplyInputRecord(int) {}
void TForm1::RefreshInputFunctions() {}
void TForm1::SetAlarmSystemMode(bool) {}
bool TForm1::CheckSMSBackupWarning() const { return false; }
void TForm1::TntButton3Click() {}
void TForm1::SaveComboIndexes() {}
void TForm1::RestoreComboIndexes() {}
void TForm1::ApplyLanguageToRuntimeTexts() {}
void TForm1::ArrangeTranslatedControls() {}

void TForm1::FillAdditionalTextEdits()
{
    if (!Form6)
        return;
    Form6->AdSMSEdit0->setText(LangToUnicode(AdditionalSMSTexts[0]));
    Form6->AdSMSEdit1->setText(LangToUnicode(AdditionalSMSTexts[1]));
}
