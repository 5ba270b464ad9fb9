#pragma once
// The texts the module keeps in its own character set: element names, SMS phrases, input
// and additional SMS texts. They are held in one form only, the module's bytes (the names
// and the input and additional texts in the main tables, the phrases in their edits), and
// every editor, page, hint and summary shows and takes them through these routines. So a
// text reads the same everywhere in the current language, a language switch only shows
// the same bytes anew, and what the user sees once an edit is committed is what a write
// sends.
#include <QByteArray>
#include <QString>

class QLineEdit;
class QObject;

namespace ModuleText {

// How the module's bytes read in the current language.
QString Shown(const QByteArray& bytes);

// The module's bytes after the user turned Shown(held) into `typed`. Only the part that
// changed is taken in, every character of it that the module cannot hold in the current
// language as "?"; the rest keeps its bytes, even those the table cannot map back.
QByteArray Edited(const QByteArray& held, const QString& typed);

// The module's bytes as 8-bit text of the current language (a template keeps the texts so),
// and such a text (a template's, or a default from the language file) as the module's bytes.
QByteArray ToLangText(const QByteArray& bytes);
QByteArray FromLangText(const QByteArray& text);

// Element name Idx of group FDNr (1 zones, 2 modules, 3 users, 4 partitions) as it reads
// in the current language; empty outside the table.
QString ItemName(int FDNr, int Idx);

// Names grid number (3 zones, 4 partitions, 5 users, 6 modules) to its group of the
// names table; 0 for any other number.
int ItemNameGroupOfGrid(int grid);

// A line edit of such a text holds the module's bytes beside what it shows and takes no
// more characters than the module keeps (width). A typed change is taken in as Edited
// takes it; when the edit is committed (editing finished, focus left) it shows what it
// now holds, so a character the module cannot hold shows as "?".
void Hold(QLineEdit* e, int width);
bool Holds(const QObject* o);
// The bytes the edit holds, its latest text taken in. An edit that holds none gives its
// text encoded.
QByteArray Bytes(QLineEdit* e);
// Holds these bytes (cut to the edit's width) and shows them in the current language. The
// bytes are in place before the text changes, so change handlers find them.
void Set(QLineEdit* e, const QByteArray& bytes);
// Shows the held bytes again, as the language that is now current reads them.
void Show(QLineEdit* e);

} // namespace ModuleText
