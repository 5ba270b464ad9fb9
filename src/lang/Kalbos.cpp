#include "lang/Kalbos.h"

#include "lang/asciiTOunicode.h"

#include <QFile>
#include <QFileInfo>

#include <limits>
#include <vector>

QList<TLanguage> Languages;
int32_t CurrentLanguage = 0;
int32_t CurrentCodeTable = 0;
int32_t CurrentCharset = 0;
bool LanguageApplied = false;

namespace {

enum class LineResult { Good, Bad, NoRecord };

// Moves the text before the first TAB into the result and leaves what follows the TAB in
// rest; without a TAB the whole rest is the field and nothing remains.
QByteArray takeField(QByteArray& rest)
{
    const qsizetype tab = rest.indexOf('\t');
    QByteArray head;
    if (tab < 0) {
        head = rest;
        rest.clear();
    } else {
        head = rest.left(tab);
        rest = rest.mid(tab + 1);
    }
    return head;
}

// A decimal integer that fits 32 bits: optional leading blanks, an optional sign, digits.
bool parseInt32(const QByteArray& s, int32_t& value)
{
    qsizetype i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size())
        return false;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

LineResult parseLanguage(const QByteArray& line)
{
    QByteArray rest = line.mid(1);
    Languages.append(TLanguage{});
    TLanguage& lang = Languages.last();
    lang.Name = takeField(rest).left(LangNameWidth);
    int32_t charset = 0;
    int32_t smsTable = 0;
    if (!parseInt32(takeField(rest), charset) || !parseInt32(takeField(rest), smsTable)) {
        // A bad number drops every language read so far, not only this one.
        Languages.clear();
        return LineResult::Bad;
    }
    lang.Charset = charset;
    lang.SmsTable = smsTable;
    return LineResult::Good;
}

LineResult parseForm(const QByteArray& line)
{
    if (Languages.isEmpty())
        return LineResult::NoRecord;
    QByteArray rest = line.mid(1);
    TLangForm form;
    form.Name = takeField(rest).left(LangNameWidth);
    form.Caption = takeField(rest).left(LangCaptionWidth);
    if (form.Name.isEmpty())
        return LineResult::Bad;
    Languages.last().Forms.append(form);
    return LineResult::Good;
}

LineResult parseComponent(const QByteArray& line)
{
    if (Languages.isEmpty() || Languages.last().Forms.isEmpty())
        return LineResult::NoRecord;
    QByteArray rest = line.mid(1);
    // The component is added before its texts are read, so a bad line leaves it behind
    // at the end of its form (the load does not go past that line).
    QList<TLangComponent>& list = Languages.last().Forms.last().Components;
    list.append(TLangComponent{});
    TLangComponent& c = list.last();
    c.Name = takeField(rest).left(LangNameWidth);
    c.ClassName = takeField(rest).left(LangNameWidth);
    if (c.Name.isEmpty() || c.ClassName.isEmpty())
        return LineResult::Bad;
    const QByteArray cls = c.ClassName.toLower();
    if (cls == "tcombobox" || cls == "ttntcombobox") {
        c.Caption = rest; // the whole item list
    } else if (cls == "tradiogroup" || cls == "ttntradiogroup") {
        c.Caption = takeField(rest);
        c.Hint = rest; // the whole item list
    } else {
        c.Caption = takeField(rest);
        c.Hint = takeField(rest);
    }
    return LineResult::Good;
}

LineResult parseMessage(const QByteArray& line)
{
    if (Languages.isEmpty())
        return LineResult::NoRecord;
    QByteArray rest = line.mid(1);
    const QByteArray text = takeField(rest);
    if (text.isEmpty())
        return LineResult::Bad;
    Languages.last().Messages.append(text);
    return LineResult::Good;
}

// The lines of the file; CR LF, a lone CR and a lone LF each end a line. A last line
// without an end counts; an end at the very end of the data adds no empty line.
std::vector<QByteArray> splitLines(const QByteArray& data)
{
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(data.mid(start, i - start));
        if (c == '\r' && i + 1 < n && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.push_back(data.mid(start));
    return lines;
}

QByteArray notFound(const QByteArray& fileName)
{
    return QByteArrayLiteral("Not found ") + fileName;
}

} // namespace

bool SelectLanguage(int32_t index)
{
    if (index < 0 || index >= Languages.size())
        return false;
    CurrentLanguage = index;
    CurrentCharset = Languages[index].Charset;
    CurrentCodeTable = CharsetToCodeTable(CurrentCharset);
    LanguageApplied = true;
    return true;
}

const TLanguage* CurrentLanguageRecord()
{
    if (CurrentLanguage < 0 || CurrentLanguage >= Languages.size())
        return nullptr;
    return &Languages[CurrentLanguage];
}

int CurrentSmsTable()
{
    const TLanguage* lang = CurrentLanguageRecord();
    if (!lang || lang->SmsTable < 0)
        return 0;
    return lang->SmsTable;
}

void ClearLanguages()
{
    Languages.clear();
    CurrentLanguage = 0;
    CurrentCodeTable = 0;
    CurrentCharset = 0;
    LanguageApplied = false;
}

bool ParseLanguageLine(const QByteArray& line) { return parseLanguage(line) == LineResult::Good; }
bool ParseFormLine(const QByteArray& line) { return parseForm(line) == LineResult::Good; }
bool ParseComponentLine(const QByteArray& line) { return parseComponent(line) == LineResult::Good; }
bool ParseMessageLine(const QByteArray& line) { return parseMessage(line) == LineResult::Good; }

bool LoadLanguageData(const QByteArray& data, const QByteArray& fileName, QByteArray& errorText)
{
    const std::vector<QByteArray> lines = splitLines(data);
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.isEmpty())
            continue;
        LineResult r = LineResult::Good;
        switch (line[0]) {
        case '%': r = parseLanguage(line); break;
        case '=': r = parseForm(line); break;
        case '&': r = parseComponent(line); break;
        case '$': r = parseMessage(line); break;
        default: break; // a comment
        }
        if (r == LineResult::NoRecord) {
            errorText = notFound(fileName);
            return false;
        }
        if (r == LineResult::Bad) {
            errorText = QByteArray::number(qulonglong(i + 1)) + " bloga eilute PUXcomps.txt";
            return false;
        }
    }
    return true;
}

bool LoadLanguageFile(const QString& path, QByteArray& errorText)
{
    const QByteArray fileName = QFileInfo(path).fileName().toLocal8Bit();
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        errorText = notFound(fileName);
        return false;
    }
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        errorText = notFound(fileName);
        return false;
    }
    return LoadLanguageData(data, fileName, errorText);
}

void GetLangMessage(int32_t n, QByteArray& text)
{
    text.clear();
    const TLanguage* lang = CurrentLanguageRecord();
    if (!lang || n < 1 || n > lang->Messages.size())
        return;
    text = lang->Messages[n - 1];
}

QByteArray GetLangMessage(int32_t n)
{
    QByteArray text;
    GetLangMessage(n, text);
    return text;
}

QList<QByteArray> CheckLanguageTable()
{
    QList<QByteArray> findings;
    qsizetype formCount = 0;
    qsizetype messageCount = 0;
    // One reference count per form position, as many as the languages have forms.
    std::vector<qsizetype> componentCounts;
    for (const TLanguage& lang : Languages) {
        if (formCount == 0)
            formCount = lang.Forms.size();
        else if (lang.Forms.size() != formCount)
            findings.append(lang.Name + " turi skirtinga kieki formu");
        if (componentCounts.size() < size_t(lang.Forms.size()))
            componentCounts.resize(size_t(lang.Forms.size()), 0);
        for (qsizetype f = 0; f < lang.Forms.size(); ++f) {
            const TLangForm& form = lang.Forms[f];
            qsizetype& ref = componentCounts[size_t(f)];
            if (ref == 0)
                ref = form.Components.size();
            else if (form.Components.size() != ref)
                findings.append(form.Name + " turi skirtinga kieki komponentu");
        }
        if (messageCount == 0)
            messageCount = lang.Messages.size();
        else if (lang.Messages.size() != messageCount)
            findings.append(lang.Name + " turi skirtinga kieki zinuciu");
    }
    return findings;
}
