// The inputs page: the six inputs with their functions and Contact IDs.
// (Its controls are not on the window yet.)
#include "editor/Main.h"

void TForm1::ApplyInputRecord(int) {}
void TForm1::RefreshInputFunctions() {}
TInputRecord TForm1::BuildInputRecord(int) { return {}; }
