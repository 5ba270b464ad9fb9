#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>
#include <vector>

namespace platform {

namespace {

// One line of the text: its content runs from Begin to End, its line end (none on a
// last line without one) from End to Next.
struct Line {
    qsizetype Begin = 0;
    qsizetype End = 0;
    qsizetype Next = 0;
};

std::vector<Line> SplitLines(const QByteArray& text)
{
    std::vector<Line> lines;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        Line l;
        l.Begin = pos;
        qsizetype i = pos;
        while (i < n && text[i] != '\r' && text[i] != '\n')
            ++i;
        l.End = i;
        if (i < n && text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
            i += 2;
        else if (i < n)
            i += 1;
        l.Next = i;
        lines.push_back(l);
        pos = i;
    }
    return lines;
}

// The line end the text uses already (the first one it holds); CR LF when it has none.
QByteArray LineEndOf(const QByteArray& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            return QByteArrayLiteral("\n");
        if (text[i] == '\r')
            return (i + 1 < text.size() && text[i + 1] == '\n') ? QByteArrayLiteral("\r\n")
                                                                  : QByteArrayLiteral("\r");
    }
    return QByteArrayLiteral("\r\n");
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Text[b, e) equals Name without regard to ASCII letter case.
bool SameName(const QByteArray& text, qsizetype b, qsizetype e, const QByteArray& name)
{
    if (e - b != name.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i)
        if (AsciiLower(text[b + i]) != AsciiLower(name[i]))
            return false;
    return true;
}

void TrimRange(const QByteArray& text, qsizetype& b, qsizetype& e)
{
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
}

// Same comparison for a name given by the caller, which may itself carry blanks.
QByteArray TrimmedName(const QByteArray& name)
{
    qsizetype b = 0;
    qsizetype e = name.size();
    TrimRange(name, b, e);
    return name.mid(b, e - b);
}

// A leading UTF-8 byte-order mark (left by some editors) is not part of the first line.
qsizetype ContentStart(const QByteArray& text)
{
    return text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

// Where a key was found: its line, and where the text after its "=" starts.
struct KeyPlace {
    std::size_t LineIndex = 0;
    qsizetype ValueBegin = 0;
};

struct Lookup {
    std::vector<Line> Lines;
    std::optional<KeyPlace> Key;
    // Index of the last non-blank line of the first section of that name (the header
    // itself when the section is empty); absent when there is no such section.
    std::optional<std::size_t> SectionLast;
};

Lookup Find(const QByteArray& text, const QByteArray& sectionIn, const QByteArray& keyIn)
{
    const QByteArray section = TrimmedName(sectionIn);
    const QByteArray key = TrimmedName(keyIn);
    Lookup r;
    r.Lines = SplitLines(text);
    const qsizetype start = ContentStart(text);
    bool inSection = false;
    bool firstSectionOpen = false; // still inside the first section of that name
    for (std::size_t li = 0; li < r.Lines.size(); ++li) {
        const Line& l = r.Lines[li];
        qsizetype b = std::max(l.Begin, start);
        qsizetype e = l.End;
        TrimRange(text, b, e);
        if (b == e)
            continue;
        if (text[b] == '[') {
            qsizetype ne = b + 1;
            while (ne < e && text[ne] != ']')
                ++ne;
            qsizetype nb = b + 1;
            TrimRange(text, nb, ne);
            const bool match = SameName(text, nb, ne, section);
            if (firstSectionOpen)
                firstSectionOpen = false;
            if (match && !r.SectionLast) {
                r.SectionLast = li;
                firstSectionOpen = true;
            }
            inSection = match;
            continue;
        }
        if (firstSectionOpen)
            r.SectionLast = li;
        if (!inSection || r.Key || text[b] == ';')
            continue;
        const qsizetype eq = text.indexOf('=', b);
        if (eq < 0 || eq >= e)
            continue;
        qsizetype kb = b;
        qsizetype ke = eq;
        TrimRange(text, kb, ke);
        if (SameName(text, kb, ke, key))
            r.Key = KeyPlace{li, eq + 1};
    }
    return r;
}

} // namespace

QByteArray IniFindValue(const QByteArray& Content, const QByteArray& Section,
                        const QByteArray& Key, bool* Found)
{
    const Lookup r = Find(Content, Section, Key);
    if (Found)
        *Found = r.Key.has_value();
    if (!r.Key)
        return {};
    qsizetype b = r.Key->ValueBegin;
    qsizetype e = r.Lines[r.Key->LineIndex].End;
    TrimRange(Content, b, e);
    if (e - b >= 2 && (Content[b] == '"' || Content[b] == '\'') && Content[e - 1] == Content[b]) {
        ++b;
        --e;
    }
    return Content.mid(b, e - b);
}

QByteArray IniSetValue(const QByteArray& Content, const QByteArray& Section,
                       const QByteArray& Key, const QByteArray& Value)
{
    QByteArray value = Value;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            value.truncate(i);
            break;
        }
    }
    const QByteArray section = TrimmedName(Section);
    const QByteArray key = TrimmedName(Key);
    const Lookup r = Find(Content, section, key);
    const QByteArray eol = LineEndOf(Content);

    if (r.Key) {
        const Line& l = r.Lines[r.Key->LineIndex];
        QByteArray out = Content.left(r.Key->ValueBegin);
        out += value;
        out += Content.mid(l.End);
        return out;
    }
    const QByteArray newLine = key + '=' + value;
    if (r.SectionLast) {
        const Line& l = r.Lines[*r.SectionLast];
        QByteArray out = Content.left(l.End);
        if (l.Next == l.End) { // the last line of the text, without a line end
            out += eol + newLine;
            return out;
        }
        out += Content.mid(l.End, l.Next - l.End); // that line's own line end
        out += newLine + eol;
        out += Content.mid(l.Next);
        return out;
    }
    QByteArray out = Content;
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
        out += eol;
    out += '[' + section + ']' + eol + newLine + eol;
    return out;
}

QByteArray ReadProfileString(const QString& FileName, const QByteArray& Section,
                             const QByteArray& Key, const QByteArray& Default)
{
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly))
        return Default;
    const QByteArray content = f.readAll();
    f.close();
    bool found = false;
    QByteArray v = IniFindValue(content, Section, Key, &found);
    return found ? v : Default;
}

bool WriteProfileString(const QString& FileName, const QByteArray& Section,
                        const QByteArray& Key, const QByteArray& Value)
{
    QByteArray content;
    QFile in(FileName);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly))
            return false; // never replace a file that could not be read
        content = in.readAll();
        in.close();
    }
    const QByteArray updated = IniSetValue(content, Section, Key, Value);
    if (updated == content && in.exists())
        return true;
    QSaveFile out(FileName);
    out.setDirectWriteFallback(true); // a folder we may not create files in
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace platform
