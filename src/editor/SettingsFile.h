#pragma once
// The program's own settings in Settings.ini beside the program (section [Settings]),
// the production-test numbers of the service mode, and the debug file Debug/Debug.txt
// that a timed-out settings read adds a line to.
//
// The main window's methods of the same names forward to these (hence the namespace: a
// member calling the free routine of its own name needs it spelled out). Nothing is cached: every
// read and every write opens Settings.ini, acts and closes it. A file that cannot be
// written never stops the program: only that value or line is lost.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class QWidget;

namespace settings {

inline constexpr char SettingsSection[] = "Settings";
inline constexpr char SettingsFileName[] = "Settings.ini";
inline constexpr char DebugFileName[] = "Debug/Debug.txt";

// "Code" equal to this number turns the service mode on for the whole run.
inline constexpr int ServiceCode = 48213;
// "Code" equal to this number shows the pages before a module is connected.
inline constexpr int ShowPagesCode = 2;

// Length of a production-test number ("37060000000"); only the first three of the list
// are kept in Settings.ini.
inline constexpr int TestNumberLength = 11;
inline constexpr int StoredTestNumbers = 3;

// Full path of Settings.ini beside the program.
QString SettingsFilePath();

// Value := key Ident of Section, or Default when the file or the key is missing.
void IniReadString(const QByteArray& Section, const QByteArray& Ident, QByteArray& Value,
                   const QByteArray& Default);
// Writes Value under Ident in Section; false (and nothing else) when it could not.
bool IniWriteString(const QByteArray& Section, const QByteArray& Ident, const QByteArray& Value);

// A whole decimal number, as the settings hold it (blanks around it, a sign and leading
// zeros allowed); Default for anything else, an empty text or a number out of range.
int IniTextToInt(const QByteArray& Text, int Default = 0);

// Reads "Code" (default "0") and sets NormalMode (false only for the service code) and
// ShowPagesAtStart (true only for 2).
void ReadServiceCode();

// Reads "PSTN" (default "0"): true when it is exactly 1, i.e. when the two "Put same to
// PSTN" boxes are to be shown; text that is not a number counts as 0.
bool ReadPSTNOption();

// The production-test numbers as the service page's combo box holds them.
struct TTestNumberList {
    QList<QByteArray> Items;
    int ItemIndex = -1; // the selected item; -1 none
};

// A test number must have exactly 11 characters.
bool IsValidTestNumber(const QByteArray& Number);

// The list filled from "PhoneNumber1".."PhoneNumber3" (valid numbers only), the first
// selected when there is one.
TTestNumberList LoadTestNumbers();

// Writes the valid ones of the first three items under "PhoneNumber" + (index + 1). Keys
// of items that are skipped, or beyond the list, keep what the file had.
void SaveTestNumbers(const QList<QByteArray>& Items);

// The "Itraukti Nr." button: asks for a number (preset from "PhoneNumber"); an 11-
// character answer becomes the last item and is selected; any other answer shows
// "Numeris neteisingas" and changes nothing; Cancel changes nothing. The file is not
// written here. Returns true when a number was added.
bool TntButton28Click(TTestNumberList& List, QWidget* Parent = nullptr);

// Appends LastRequest as one line of 8 upper-case hexadecimal digits (CR LF) to
// Debug/Debug.txt beside the program, creating the folder and the file as needed.
// An existing file that cannot be read is left alone and the line goes at its end all
// the same. False when the line could not be written.
bool AppendDebugCode(std::uint32_t LastRequest);

} // namespace settings
