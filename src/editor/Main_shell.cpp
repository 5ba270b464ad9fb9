// The wizard shell: step labels, the two ways of working, page navigation and checks.
// (Not built yet.)
#include "editor/Main.h"

bool TForm1::ValidateWizardPage(int) { return true; }
void TForm1::GoToWizardStep(int) {}
void TForm1::TntButton3Click() {}
void TForm1::SetAlarmSystemMode(bool) {}
