#pragma once
// Small text routines shared by the readers of the catalogue files beside the program
// (CID_Descriptions.txt, APN.txt): cutting a file into lines and reading a number the
// way those files write it.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

namespace catalogtext {

// The lines of a text; a line ends at CR, LF or CR LF. A final line end adds no empty
// line after it, an empty text has no lines.
QList<QByteArray> SplitLines(const QByteArray& text);
QList<QString> SplitLines(const QString& text);

// A decimal integer: an optional sign and at least one digit, nothing else, inside the
// 32-bit signed range. Returns false (Value untouched) for anything else.
bool ParseInt32(const QByteArray& text, std::int32_t& value);
bool ParseInt32(const QString& text, std::int32_t& value);

} // namespace catalogtext
