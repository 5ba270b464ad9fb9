#pragma once
// The envelope of template and log files: the lines, each followed by CR LF, enciphered
// as one RC4 stream keyed with the SHA-1 digest of a fixed pass phrase. No header, no
// check value: the file is exactly as long as the plain text.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

inline constexpr char TemplatePassPhrase[] = "PLX8Wondrake";
inline constexpr char LogPassPhrase[] = "Tq4Wm8Zrk";

// The RC4 key of a pass phrase: the 20-byte SHA-1 digest of its 8-bit characters.
QByteArray PassPhraseKey(const QByteArray& passPhrase);

// RC4 under SHA-1(passPhrase) over data (the same call enciphers and deciphers).
QByteArray RC4WithPassPhrase(const QByteArray& data, const QByteArray& passPhrase);
// The whole of source enciphered (deciphered) into dest; false when that failed.
bool EncryptStreamRC4(const QByteArray& source, QByteArray& dest, const QByteArray& passPhrase);
bool DecryptStreamRC4(const QByteArray& source, QByteArray& dest, const QByteArray& passPhrase);

// The plain text of lines: each followed by CR LF.
QByteArray JoinEnvelopeLines(const QList<QByteArray>& lines);
// Plain text back to lines, which end at CR LF, CR or LF; a last line without an end
// counts when it is not empty.
QList<QByteArray> SplitEnvelopeLines(const QByteArray& plain);

// Writes lines in the envelope to fileName, creating its folder. False when it could not;
// then error (when given) tells why, and no partial file is left (an existing file stays
// as it was).
bool SaveStringsEncrypted(const QString& fileName, const QByteArray& passPhrase,
                          const QList<QByteArray>& lines, QString* error = nullptr);

// Reads and deciphers fileName; lines end at CR LF, CR or LF. False (lines unchanged)
// when the file does not exist or cannot be read.
bool LoadEncryptedStrings(const QString& fileName, const QByteArray& passPhrase,
                          QList<QByteArray>& lines);

// The log file's name without folder: "2024_5_3 9_7 - 2024_5_3 10_15.ktl".
QString LogFileName(const QDateTime& start, const QDateTime& end);
