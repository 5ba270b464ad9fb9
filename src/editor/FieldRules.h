#pragma once
// The module's editable values, one rule each: how wide the module's field is, what typing
// takes (characters, case) and how far it may go, what a value the module or a template
// gives may hold, and how short a value may be before it must not go out. Every way a value
// comes in reads its rule here: the key filter and the paste and drop cleaner of its edits,
// the template check and load, and the write guard. So typing, a paste and a drop put the
// same into a field, and a value the module sent (or a template saved from one) is shown
// and sent back as it came.
#include <QByteArray>
#include <QString>

class QLineEdit;

enum class TField {
    Host,        // the host of a reporting channel (Edit1, Edit5)
    Port,        // its port (TntEdit2, TntEdit3)
    Address,     // host, ":" and port together, as the module keeps them in one field
    Account,     // a reserve account (Edit11, Edit6)
    AccessPIN,   // Edit13
    SimPIN,      // TntEdit1
    HeartbeatId, // TntEdit4
    AESKey,      // TntEdit8, TntEdit9
    UserNumber,  // the users list
    OutputNumber, // an output-control phone (Edit12)
    APN,         // Edit2
    APNUserName, // Edit3
    APNPassword, // Edit4
    OwnerName,   // Edit8
    USBPassword, // Edit9
    ElementName, // zones, modules, users and partitions, wherever they are edited
    SmsPhrase,   // the SMS phrases dialog
    SmsText,     // the input and additional SMS texts
};

// Character sets. The ASCII ones are the same bytes in every language's code page.
enum class TChars {
    Any,          // whatever the field holds
    Digits,       // 0-9
    HexDigits,    // 0-9, A-F (a-f too where nothing upper-cases them)
    AccountChars, // 0-9 and B-F: what a Contact ID receiver takes for an account
    HostChars,    // ASCII letters, digits, ".", "-" and "_"
    PhoneChars,   // digits, and one "+" in front of them
    PINNibbles,   // 0-9 and A-E: what an access PIN word holds before the F that ends it
};

struct TFieldRule {
    int moduleWidth;  // characters the module keeps (a host shares its field with ":" and the port)
    int typingWidth;  // how long typing, a paste or a drop may make the value
    int leastWidth;   // a shorter value must not go out (0: any length); see TooShort
    TChars typed;     // what typing, a paste and a drop take
    bool upperCase;   // letters typed or pasted become capitals
    TChars held;      // what a value from the module or a template may hold
    bool cutOnLoad;   // a longer template value is cut (texts) instead of refused
};

namespace fields {

const TFieldRule& Rule(TField f);

// What typing, a paste or a drop puts into an edit of field f: the characters of `inserted`
// in the field's set (letters upper-cased where the rule says so; a "+" only where it will
// stand in front of the number), as many as fit before the text would grow past the
// typing width (a longer value the module sent keeps its length but does not grow). The
// edit's selection is what the text replaces.
QString Insertable(TField f, const QLineEdit* e, const QString& inserted);
// A whole text as typing would have put it into an empty edit: no further than the typing
// width (a number's "+" alone is no number).
QString Typed(TField f, const QString& text);

// Makes e an edit of field f: its typing width, its key filter and its paste and drop
// cleaner, all from the rule.
void Install(QLineEdit* e, TField f);

// Whether each character of a value from the module or a template is one the field holds.
bool Holds(TField f, const QByteArray& value);
// Whether a template value loads: the field holds it and the module keeps it whole (or
// the field is a text, which is cut to the module's width).
bool Loads(TField f, const QByteArray& value);
// The template value as it is loaded: a text cut to the module's width, any other value
// as it is (Loads has refused a longer one).
QByteArray Loaded(TField f, const QByteArray& value);
// A value shorter than the field's least width: it must not go out.
bool TooShort(TField f, const QByteArray& value);
// Whether a channel's host and port, joined as the module keeps them, fit its field.
bool AddressFits(const QByteArray& host, const QByteArray& port);

// Shows a value the module sent (fromModule) or a template gave in an edit of field f,
// whole: an edit takes a longer value than typing may give it. A short account that the
// module sent lost its blanks on the way (its reply drops trailing blanks); ModuleValue
// puts them back.
void Show(QLineEdit* e, TField f, const QByteArray& value, bool fromModule);
// What the module gets for the edit's value (and what a template saves): its text, a short
// account that stands as the module sent it with its blanks.
QByteArray ModuleValue(const QLineEdit* e, TField f);

} // namespace fields
