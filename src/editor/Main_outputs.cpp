// The outputs page and the phones that drive outputs from a distance.
// (Their controls are not on the window yet.)
#include "editor/Main.h"

void TForm1::FillPGMGrid() {}
void TForm1::ShowPGMRow(int) {}
void TForm1::ApplyOutputRecord(int) {}
void TForm1::RefreshOutputRows() {}
TOutputRecord TForm1::BuildOutputRecord(int) { return {}; }
