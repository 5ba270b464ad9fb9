// Language refresh routines that wait for the language switch to apply texts to every
// control. Each changes nothing yet.
#include "editor/Main.h"

void TForm1::SaveComboIndexes() {}
void TForm1::RestoreComboIndexes() {}
void TForm1::ApplyLanguageToRuntimeTexts() {}
void TForm1::ArrangeTranslatedControls() {}
