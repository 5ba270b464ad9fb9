#pragma once
// The APN catalogue: access point names by location and operator, read once at
// start-up from APN.txt beside the program for the "APN Search" of the reporting page.
//
// APN.txt is UTF-16 (either byte order) or UTF-8 when it starts with the matching
// byte-order mark, else 8-bit text in the system code page (the main window passes the
// current code table's conversion). Names keep every character the file gives them,
// also those the code page lacks. Lines:
//   empty                          ignored
//   "&" name [TAB GeoID [TAB ...]] opens a location; GeoID is the decimal Windows
//                                  nation identifier (0 when it is not a number)
//   operator [TAB apn]...          one operator of the location opened last, with its
//                                  access point names in order
// Nothing is trimmed: an empty field between two TABs is an empty access point name,
// a TAB at the end of a line adds nothing.
//
// The routines here need no window; the main window's search handlers use them.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

struct TAPNOperator {
    QString Name;
    QStringList APNs; // in file order
};

struct TAPNLocation {
    QString Location;          // the name as written after "&"
    std::uint16_t GeoId = 0;   // low 16 bits of the number read
    std::vector<TAPNOperator> Operators; // in file order
};

using TAPNLocations = std::vector<TAPNLocation>;

// The program's catalogue, read once when the main window is created.
extern TAPNLocations APNLocations;

// Turns 8-bit text of the system code page into Unicode.
using TAnsiDecoder = std::function<QString(const QByteArray&)>;

// The file's bytes as text, chosen by the byte-order mark (FF FE: UTF-16 LE, FE FF:
// UTF-16 BE, EF BB BF: UTF-8, the mark itself dropped). Without a mark the bytes are
// 8-bit text decoded by Ansi; when Ansi is empty each byte becomes the code unit of the
// same value.
QString DecodeAPNText(const QByteArray& Bytes, const TAnsiDecoder& Ansi = {});

// Builds the catalogue from the decoded text; Catalogue is emptied first. An operator
// line before the first location line is skipped.
void ParseAPNCatalogue(const QString& Text, TAPNLocations& Catalogue);

// Reads the file at Path. When it does not exist or cannot be read the catalogue keeps
// its previous content and the result is false; nothing is reported to the user.
bool LoadAPNCatalogue(const QString& Path, TAPNLocations& Catalogue, const TAnsiDecoder& Ansi = {});
// The same for APN.txt beside the program.
bool LoadAPNCatalogue(TAPNLocations& Catalogue, const TAnsiDecoder& Ansi = {});

// The first location whose name equals Name exactly; -1 when there is none.
int FindAPNLocation(const TAPNLocations& Catalogue, const QString& Name);
// The first operator of Location whose name equals Name exactly; -1 when there is none.
int FindAPNOperator(const TAPNLocation& Location, const QString& Name);

// The entry the location list preselects for the user's nation GeoId, the list holding
// every location name in catalogue order: the first location with that GeoId is looked
// up, and the first entry bearing its name is chosen. -1 (no selection) when GeoId is 0
// or no location has it.
int PreselectAPNLocation(const TAPNLocations& Catalogue, std::uint32_t GeoId);
