#pragma once
// Hexadecimal parsing and splitting a text at a separator, for 8-bit and UTF-16 text.
#include <QByteArray>
#include <QString>

#include <stdexcept>

// The error of HexToInt; what() is "Ne HEX " followed by the whole text.
class EHexError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// S read as hexadecimal digits (0-9, A-F, a-f), in 32 bits: more than eight digits lose
// the leading ones. An empty S is 0. Any other character, a space included, throws
// EHexError("Ne HEX " + S).
int HexToInt(const QByteArray& S);
int HexToInt(const QString& S);
int HexToInt(const char* S);

// Head := the text before the first occurrence of Sep; S := the text after the first
// character of that occurrence. When Sep does not occur: Head := S and S := empty.
void SplitAt(QByteArray& S, const QByteArray& Sep, QByteArray& Head);
void SplitAtW(QString& S, const QString& Sep, QString& Head);
