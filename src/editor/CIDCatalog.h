#pragma once
// The Contact ID catalogue: the events an input can report, read at start-up from
// CID_Descriptions.txt beside the program, and the 5-byte packed form in which the
// module stores and transfers an input's Contact ID.
//
// CID_Descriptions.txt is 8-bit text, one event per line, fields separated by TAB:
//   description, code (qualifier digit 1 or 3 and three event digits, e.g. 1130),
//   first parameter kind (group digits), second parameter kind (zone digits),
//   restore available, 24-hour preset, language text number (-1 for none).
// Empty lines and lines starting with "/" are skipped. The order of the other lines is
// the order of the event lists, so an entry's catalogue index is its list position.
//
// The routines here need no window; the main window's methods forward to them and
// show the messages they report.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include "link/mytypes.h"

// Longest description kept; longer file texts and translations are cut.
constexpr int CIDDescriptionWidth = 50;
// Characters of a Contact ID code: qualifier digit and three event digits.
constexpr int CIDCodeWidth = 4;

// Message numbers of the catalogue's faults.
constexpr int CIDMsgBadCode = 33;   // a code that is not 1 or 3 followed by three digits
constexpr int CIDMsgFileFault = 34; // the file is missing or cannot be read

// One catalogue entry (one usable line of CID_Descriptions.txt).
struct TCIDDescription {
    QByteArray Description;     // text of the event lists; the translation once a language applies
    QByteArray FileDescription; // the description as the file gives it
    QByteArray Code;            // e.g. "1130"
    std::uint8_t Qualifier = 0; // 6 for a code starting with "1", 7 for "3"
    std::uint8_t EventDigits[3] = {0, 0, 0};
    QByteArray ParamKind1;      // kind of the group parameter, lower-cased
    QByteArray ParamKind2;      // kind of the zone parameter, lower-cased
    bool RestoreAvailable = false;
    bool Preset24H = false;
    std::int32_t TextNumber = -1; // language message that names the event; -1 for none
};

using TCIDDescriptions = std::vector<TCIDDescription>;

// The program's catalogue, filled once at start-up (empty until then). Its order is the
// order of the entries in every input's event list.
extern TCIDDescriptions CIDDescriptions;

// The packed Contact ID of an input: exactly 5 bytes.
//   byte 0: qualifier (6 for "1", 7 for "3")
//   byte 1: event digit 1 | event digit 2   (high nibble | low nibble)
//   byte 2: event digit 3 | group tens
//   byte 3: group units   | zone hundreds
//   byte 4: zone tens     | zone units
using TContactIDCode = tduomenys;
constexpr int ContactIDCodeSize = 5;

// What a load of CID_Descriptions.txt found. The caller shows every message (error
// box, OK button, text by number from the language file) in order and, when there is
// any, asks the application to quit: the program cannot offer events without the file.
struct TCIDLoadReport {
    QList<int> Messages;  // message numbers: 34 once, or 33 for each line with a bad code
    QList<int> BadLines;  // line numbers (from 1) of the lines whose code is bad
    bool Loaded = false;  // the catalogue was replaced by the file's entries
    bool MustEnd() const { return !Messages.isEmpty(); }
};

// One usable line to its entry. CodeValid tells whether the code passed validation
// (the entry is built either way, as far as the code allows).
TCIDDescription ParseCIDLine(const QByteArray& Line, bool& CodeValid);

// The whole file content to the catalogue: it is emptied and refilled in line order.
TCIDLoadReport ParseCIDDescriptions(const QByteArray& Content, TCIDDescriptions& Catalogue);

// Reads the file at Path. A missing or unreadable file reports message 34 and leaves
// the catalogue as it was.
TCIDLoadReport LoadCIDDescriptions(const QString& Path, TCIDDescriptions& Catalogue);
// The same for CID_Descriptions.txt beside the program.
TCIDLoadReport LoadCIDDescriptions(TCIDDescriptions& Catalogue);

// Unpacks: Key = "3" when byte 0 is 7, else "1", then the decimal texts of the three
// event nibbles (a nibble above 9 gives two digits, so such a key matches no entry).
// Fewer than 5 bytes: the outputs are left unchanged.
void DecodeContactID(const TContactIDCode& CID, QByteArray& Key, int& Group, int& Zone);

// Five zero bytes: the code of an input with no event chosen (a module in its factory
// state holds it on every input).
bool IsEmptyContactID(const TContactIDCode& CID);

// Packs an entry with the values of its two parameters (position in the name list plus
// the number of the first name; -1 for an absent parameter, which leaves an F nibble).
TContactIDCode EncodeContactID(const TCIDDescription& Entry, int P1, int P2);

// Linear search by Code. 1: found, Index = its position. Not found: Index = the last
// position examined (catalogue length - 1) and the result is 2 when Key has at least
// 4 characters, else 0.
std::uint8_t FindCIDByCode(const TCIDDescriptions& Catalogue, const QByteArray& Key, int& Index);

// The first entry whose Description equals Text exactly (case counts): 1 with a copy
// in Entry, or 0 when there is none (Entry untouched).
std::uint8_t FindCIDByDescription(const TCIDDescriptions& Catalogue, const QByteArray& Text,
                                  TCIDDescription& Entry);
// Its position, -1 when there is none.
int IndexOfCIDDescription(const TCIDDescriptions& Catalogue, const QByteArray& Text);

// What a parameter kind means: which names grid it is chosen from, the number of the
// first name, how many names are offered and the initial choice.
struct TCIDParamKind {
    bool Active = false;           // false for "null": the parameter is absent
    std::uint8_t GridNumber = 0;   // 3 zones, 4 partitions, 5 users, 6 modules; 0 none
    std::uint8_t NumberOffset = 0; // number of the first name
    int ItemCount = 0;             // names offered
    bool InitialIsOwnInput = false; // zones start at the input's own position
};

// Kind words ("null", "partition", "user", "zone", "module"), compared without regard to
// case. False for any other word: the caller leaves the parameter as it was.
bool LookupCIDParamKind(const QByteArray& Kind, TCIDParamKind& Info);

// The initial position in the name list: -1 for an absent parameter, the input's own
// index (0..5) for zones, else 0.
int CIDParamInitialIndex(const TCIDParamKind& Info, int InputIndex);

// The SMS text the module sends for the entry's code, built from the names of the two
// parameters and the SMS phrases (Phrase(n) gives the text of phrase edit n, 33..47);
// parts are joined with one blank. False when the code has no such SMS or is not a
// hexadecimal number.
bool BuildCIDSmsText(const QByteArray& Code, const QByteArray& N1, const QByteArray& N2,
                     const std::function<QByteArray(int)>& Phrase, QByteArray& Text);

// Renames the entries for the current language: each Description becomes its
// FileDescription, then, for a TextNumber of 0 or more, the part of Message(TextNumber)
// before its first "\" when that part is not empty, converted by ToAnsi and cut to 50.
void ApplyCIDTranslations(TCIDDescriptions& Catalogue,
                          const std::function<QString(std::int32_t)>& Message,
                          const std::function<QByteArray(const QString&)>& ToAnsi);
