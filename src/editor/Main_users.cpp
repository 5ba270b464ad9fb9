// The users page: the ten user phones with their notification flags, the access PIN.
// (Its controls are not on the window yet.)
#include "editor/Main.h"

void TForm1::SelectUserNode(int) {}
bool TForm1::CheckSMSBackupWarning() const { return false; }
