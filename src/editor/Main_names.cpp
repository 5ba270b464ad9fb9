// The names page: element names in four grids, and the SMS text dialogs it opens.
#include "editor/Main.h"

#include "editor/MainTables.h"
#include "editor/Unit6.h"
#include "lang/LangText.h"

#include <QLineEdit>

void TForm1::FillNameGrids() {}

void TForm1::FillAdditionalTextEdits()
{
    if (!Form6)
        return;
    Form6->AdSMSEdit0->setText(LangToUnicode(AdditionalSMSTexts[0]));
    Form6->AdSMSEdit1->setText(LangToUnicode(AdditionalSMSTexts[1]));
}
void TForm1::SendItemNames() {}
