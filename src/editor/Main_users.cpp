// The users page: the ten user phones with their notification flags, the access PIN.
// (Its controls are not on the window yet.)
#include "editor/Main.h"

void TForm1::SelectUserNode(int) {}
bool TForm1::CheckSMSBackupWarning() const { return false; }
void TForm1::CommitUserFlags(int) {}
void TForm1::SendUserPhones() {}
int TForm1::SelectedUserIndex() const { return -1; }
void TForm1::ShowUserFlags(int) {}
