#pragma once
// The folder beside the program where Settings.ini, comps.txt, CID_Descriptions.txt,
// APN.txt, Manuals/, Logs/ and Debug/ live. Tests point it at a folder of their own.
#include <QString>

namespace platform {

// The program's folder, without a trailing separator.
QString ProgramDir();

// A file or folder beside the program ("Settings.ini", "Debug/Debug.txt").
QString ProgramFile(const QString& relative);

// Tests only: use this folder instead of the program's; an empty text restores it.
void SetProgramDirForTests(const QString& dir);

} // namespace platform
