// Routines that wait for the parts of the window that own their controls. Each keeps the
// tables as they are.
#include "editor/Main.h"

void TForm1::SetAlarmSystemMode(bool) {}
void TForm1::TntButton3Click() {}
void TForm1::SaveComboIndexes() {}
void TForm1::RestoreComboIndexes() {}
void TForm1::ApplyLanguageToRuntimeTexts() {}
void TForm1::ArrangeTranslatedControls() {}
