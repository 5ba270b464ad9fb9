#pragma once
// The language file comps.txt and the language table read from it: languages with their
// forms, components and numbered messages, all kept as 8-bit text in the code page of
// their language. Also the current language, which the whole program reads.
//
// File format (8-bit, lines end in CR LF, CR or LF; fields are separated by TAB):
//   %name<TAB>charset<TAB>sms table      a language
//   =form name<TAB>caption               a form of the last language
//   &name<TAB>class name<TAB>texts ...   a component of the last form
//   $text                                the next message of the last language (from 1)
// Empty lines and lines that start with any other character are skipped.
#include "lang/asciiTOunicode.h" // CharsetToCodeTable picks a language's code page

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

struct TLangComponent {
    QByteArray Name;      // at most 30 characters
    QByteArray ClassName; // at most 30 characters; decides what the texts are
    QByteArray Caption;   // combo boxes: the whole item list (TAB-separated)
    QByteArray Hint;      // radio groups: the whole item list (TAB-separated)
};

struct TLangForm {
    QByteArray Name;    // at most 30 characters
    QByteArray Caption; // at most 100 characters
    QList<TLangComponent> Components;
};

struct TLanguage {
    QByteArray Name;      // at most 30 characters
    int32_t Charset = 0;  // font character set; also selects the code page
    int32_t SmsTable = 0; // SMS character table
    QList<TLangForm> Forms;
    QList<QByteArray> Messages; // message N is element N-1
};

// Field widths of the records.
constexpr qsizetype LangNameWidth = 30;
constexpr qsizetype LangCaptionWidth = 100;

// ---- the language table and the current language (one place for the whole program) --
// Filled by LoadLanguageFile; the current values are set only when a language is applied
// (SelectLanguage). Until then lookups use the first language and code page 0.
extern QList<TLanguage> Languages;
extern int32_t CurrentLanguage;  // index into Languages
extern int32_t CurrentCodeTable; // code-page index 0..6 of the current language
extern int32_t CurrentCharset;   // font character set of the current language
// True once a language was made current. Until then CurrentLanguage is 0 without that
// language having been applied, so "the current language" must not be read from it.
extern bool LanguageApplied;

// Makes Languages[index] the current language: its index, character set and code table,
// and sets LanguageApplied. Does nothing and returns false when there is no such language.
bool SelectLanguage(int32_t index);
// The current language, or nullptr when the table has none at that index.
const TLanguage* CurrentLanguageRecord();
// The SMS table of the current language; 0 (no conversion) without a language or when the
// file gave a negative number.
int CurrentSmsTable();
// Empties the table and resets the current values to 0 (start state).
void ClearLanguages();

// ---- reading comps.txt --------------------------------------------------------------
// Reads the file and appends its languages to Languages. False with ErrorText set when the
// file is missing or unreadable ("Not found " + file name), or at the first bad line (its
// number from 1, counting every line, + " bloga eilute PUXcomps.txt"); what was read before
// a bad line stays, except that a bad language line empties the whole table.
bool LoadLanguageFile(const QString& path, QByteArray& errorText);
// The same for file contents already in memory; fileName is only used in error texts.
bool LoadLanguageData(const QByteArray& data, const QByteArray& fileName, QByteArray& errorText);

// The line readers, each given the whole line with its first character; true when the line
// is good. A line with no record to go into (a form before any language, a component before
// any form of its language, a message before any language) is not good either; the loader
// reports it as "Not found ".
bool ParseLanguageLine(const QByteArray& line);
bool ParseFormLine(const QByteArray& line);
bool ParseComponentLine(const QByteArray& line);
bool ParseMessageLine(const QByteArray& line);

// ---- messages -------------------------------------------------------------------------
// Message number n (from 1) of the current language, unconverted; empty when there is none.
void GetLangMessage(int32_t n, QByteArray& text);
QByteArray GetLangMessage(int32_t n);

// ---- consistency of the languages ---------------------------------------------------
// Compares the languages' numbers of forms, of components per form position and of
// messages; each count is compared with the first language whose count is not 0. Returns
// the findings in the order found ("<name> turi skirtinga kieki formu", "... komponentu",
// "... zinuciu"), without the closing "Done".
QList<QByteArray> CheckLanguageTable();
