#pragma once
// Applying a language of the language file to the live windows: each window the language
// names gets its caption, and each of its controls that the language names gets its
// caption, hint or item list. What a control receives is decided by the class name the
// file writes for it, not by the control's own class; the class table below says which
// class of this program stands for each class name of the file.
//
// Texts of the file are 8-bit text in the language's code page. Every text goes to the
// controls through the language's code table, which on this platform also stands in for
// the system's 8-bit code page, so the file's "unconverted" texts read the same way.
#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>

class QObject;
class QWidget;

// What the lines of a class name set on their control.
enum class TLangTextKind {
    None,        // a known class whose lines set nothing (edits, memos)
    CaptionHint, // caption and hint; the hint is shown exactly when the file gives one
    LabeledEdit, // caption on the edit's label; hint (and its display) on the edit
    MenuItem,    // caption and hint; the hint display stays as it is
    ComboItems,  // the caption is the item list, TAB-separated
    RadioGroup,  // caption, and the hint is the item list, TAB-separated
};

struct TLangClassRow {
    const char* Name;      // as the file writes it
    bool LowerCase;        // compared with the file's class name lower-cased (else exactly)
    TLangTextKind Kind;
    const char* QtClass;   // the class of this program that stands for it
    bool (*Matches)(const QObject* control);
};

// The row of a class name of the file; nullptr when none applies. Only the rows written in
// lower case ("ttntgroupbox", "ttntcombobox", "ttntradiogroup") ignore case: "TTNTLABEL"
// matches no row.
const TLangClassRow* FindLangClassRow(const QByteArray& className);

// The window of that name among the application's windows, case ignored; nullptr when none.
QWidget* FindLanguageForm(const QByteArray& name);

// The controls a window owns, by lower-cased name: everything below it except other
// windows (the dialogs the main window holds) and their controls. The first control of a
// name, in creation order, wins.
QHash<QString, QObject*> OwnedComponents(const QWidget* form);

// Makes the language of that name (case counts) current and writes its texts into every
// window it names. False, with nothing changed, when there is no such language.
bool SetLanguage(const QByteArray& name);

// Sets one control's texts from its line of language Language. Nothing happens when the
// class name has no row or the control is not of the class that stands for it; a fault
// inside never leaves it (the control keeps what was set before the fault).
void ApplyComponentText(std::int32_t language, QObject* component, const QByteArray& className,
                        const QByteArray& caption, const QByteArray& hint);
