// Writing the whole configuration to the module. (Not built yet.)
#include "editor/Main.h"

void TForm1::TntButton1Click() {}
void TForm1::TntButton114Click() {}
void TForm1::TntButton11Click() {}
