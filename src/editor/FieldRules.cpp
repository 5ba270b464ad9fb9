#include "editor/FieldRules.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/MainTables.h"
#include "lang/LangText.h"

#include <QLineEdit>
#include <QVariant>

#include <algorithm>

namespace {

// The module's connection string holds the host, and ":" and the port after it; typing
// leaves room for those.
constexpr int kConnectionStringWidth = 50;
constexpr int kHostTypingWidth = 44;
constexpr int kPortWidth = 5;
constexpr int kLoginWidth = 32; // APN user name and password
constexpr int kNameWidth = 16;  // owner name, USB password, element names, SMS phrases
constexpr int kHeartbeatIdDigits = 3;
constexpr int kSimPINWidth = 8;

// The property of an account edit that holds the account as the module last sent it.
constexpr char kReceivedAccount[] = "ReceivedAccount";

struct TFieldEntry {
    TField field;
    TFieldRule rule;
};

using enum TChars;

// Every phone number the module keeps has one rule: the users' and the remote-control ones.
constexpr TFieldRule kPhoneNumberRule = {PhoneNumberWidth, PhoneNumberWidth, 0, PhoneChars, false, Any, false};

// moduleWidth, typingWidth, leastWidth, typed, upperCase, held, cutOnLoad
constexpr TFieldEntry kRules[] = {
    {TField::Host, {kConnectionStringWidth, kHostTypingWidth, 0, HostChars, false, Any, false}},
    {TField::Port, {kPortWidth, kPortWidth, 0, Digits, false, Digits, false}},
    // Host and port are typed apart but travel joined: each may be typed whole while the
    // two together do not fit.
    {TField::Address, {kConnectionStringWidth, kConnectionStringWidth, 0, Any, false, Any, false}},
    // A channel in use needs the whole account: a shorter one reaches the station as another.
    {TField::Account, {AccountWidth, AccountWidth, AccountWidth, AccountChars, true, Any, false}},
    // The user types decimal digits; a PIN word the module sent may hold A-E as well, and
    // goes back as it came.
    {TField::AccessPIN, {AccessPINMaxLength, AccessPINMaxLength, AccessPINMinLength, Digits, false, PINNibbles, false}},
    // While "Use SIM PIN" is ticked the module tries the PIN on the SIM, which takes digits
    // only. One the module sent is shown and sent back as it came.
    {TField::SimPIN, {kSimPINWidth, kSimPINWidth, 1, Digits, false, Digits, false}},
    // Three hexadecimal digits; a missing one would go out as 0.
    {TField::HeartbeatId, {kHeartbeatIdDigits, kHeartbeatIdDigits, kHeartbeatIdDigits, HexDigits, true, HexDigits, false}},
    {TField::AESKey, {2 * AESKeyBytes, 2 * AESKeyBytes, 0, HexDigits, true, HexDigits, false}},
    {TField::UserNumber, kPhoneNumberRule},
    {TField::OutputNumber, kPhoneNumberRule},
    {TField::APN, {kConnectionStringWidth, kConnectionStringWidth, 0, Any, false, Any, false}},
    {TField::APNUserName, {kLoginWidth, kLoginWidth, 0, Any, false, Any, false}},
    {TField::APNPassword, {kLoginWidth, kLoginWidth, 0, Any, false, Any, false}},
    {TField::OwnerName, {kNameWidth, kNameWidth, 0, Any, false, Any, true}},
    {TField::USBPassword, {kNameWidth, kNameWidth, 0, Any, false, Any, false}},
    {TField::ElementName, {kNameWidth, kNameWidth, 0, Any, false, Any, true}},
    {TField::SmsPhrase, {kNameWidth, kNameWidth, 0, Any, false, Any, true}},
    {TField::SmsText, {SMSTextWidth, SMSTextWidth, 0, Any, false, Any, true}},
};

bool InSet(TChars set, char16_t c)
{
    const bool digit = c >= u'0' && c <= u'9';
    const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    switch (set) {
    case Any: return true;
    case Digits: return digit;
    case HexDigits: return digit || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
    case AccountChars: return digit || (c >= u'B' && c <= u'F');
    case HostChars: return digit || letter || c == u'.' || c == u'-' || c == u'_';
    case PhoneChars: return digit || c == u'+';
    case PINNibbles: return digit || (c >= u'A' && c <= u'E');
    }
    return false;
}

// The characters of `text` in the typed set, upper-cased where the rule says so; a number's
// "+" only in front (atFront: the text goes to the front of the value).
QString Filter(const TFieldRule& r, const QString& text, bool atFront)
{
    QString out;
    for (QChar c : text) {
        if (r.upperCase && c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
        if (!InSet(r.typed, c.unicode()))
            continue;
        if (r.typed == PhoneChars && c == u'+' && !(atFront && out.isEmpty()))
            continue;
        out += c;
    }
    return out;
}

} // namespace

namespace fields {

const TFieldRule& Rule(TField f)
{
    for (const TFieldEntry& e : kRules)
        if (e.field == f)
            return e.rule;
    return kRules[0].rule; // every field has its entry
}

QString Insertable(TField f, const QLineEdit* e, const QString& inserted)
{
    const TFieldRule& r = Rule(f);
    const QString text = e ? e->text() : QString();
    const int selected = e && e->hasSelectedText() ? e->selectionLength() : 0;
    const int at = e ? (e->hasSelectedText() ? e->selectionStart() : e->cursorPosition()) : 0;
    QString out = Filter(r, inserted, at == 0);
    // Nothing goes in front of a number's "+".
    if (r.typed == PhoneChars && at == 0 && text.mid(selected).startsWith(u'+') && !out.isEmpty())
        return {};
    const int kept = static_cast<int>(text.size()) - selected;
    // A longer value the module sent keeps its length while any of it stays; what replaces
    // all of it is a new value, as long as typing makes one.
    const int limit = kept > 0 ? std::max(r.typingWidth, static_cast<int>(text.size())) : r.typingWidth;
    out.truncate(std::max(0, limit - kept));
    return out;
}

QString Typed(TField f, const QString& text)
{
    const TFieldRule& r = Rule(f);
    const QString typed = Filter(r, text, true).left(r.typingWidth);
    return r.typed == PhoneChars && typed == QLatin1String("+") ? QString() : typed;
}

void Install(QLineEdit* e, TField f)
{
    if (!e)
        return;
    e->setMaxLength(Rule(f).typingWidth);
    // A typed character is a one-character paste.
    ctl::InstallKeyFilter(e, [e, f](char key) -> char {
        const QString in = Insertable(f, e, QString(QChar(static_cast<unsigned char>(key))));
        return in.isEmpty() ? char(0) : static_cast<char>(in.at(0).unicode());
    });
    ctl::InstallInputCleaner(e, [e, f](const QString& inserted) { return Insertable(f, e, inserted); });
}

bool Holds(TField f, const QByteArray& value)
{
    const TChars set = Rule(f).held;
    return std::all_of(value.begin(), value.end(),
                       [set](char c) { return InSet(set, static_cast<unsigned char>(c)); });
}

bool Loads(TField f, const QByteArray& value)
{
    const TFieldRule& r = Rule(f);
    return Holds(f, value) && (r.cutOnLoad || value.size() <= r.moduleWidth);
}

QByteArray Loaded(TField f, const QByteArray& value)
{
    const TFieldRule& r = Rule(f);
    return r.cutOnLoad ? value.left(r.moduleWidth) : value;
}

bool TooShort(TField f, const QByteArray& value)
{
    return value.size() < Rule(f).leastWidth;
}

bool AddressFits(const QByteArray& host, const QByteArray& port)
{
    return JoinHostPort(host, port).size() <= Rule(TField::Address).moduleWidth;
}

void Show(QLineEdit* e, TField f, const QByteArray& value, bool fromModule)
{
    if (!e)
        return;
    const int width = std::max(Rule(f).typingWidth, static_cast<int>(value.size()));
    if (width > e->maxLength())
        e->setMaxLength(width);
    if (f == TField::Account)
        e->setProperty(kReceivedAccount, fromModule ? QVariant(value) : QVariant());
    e->setText(LangToUnicode(value));
    e->setMaxLength(width);
}

QByteArray ModuleValue(const QLineEdit* e, TField f)
{
    if (!e)
        return {};
    const QByteArray text = LangFromUnicode(e->text());
    if (f == TField::Account) {
        const QVariant received = e->property(kReceivedAccount);
        if (text.size() < AccountWidth && received.isValid() && text == received.toByteArray())
            return text.leftJustified(AccountWidth, ' ');
    }
    return text;
}

} // namespace fields
