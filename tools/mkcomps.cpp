// Builds the 8-bit language file comps.txt from the UTF-8 sources in data/lang/, so that
// nobody edits code-page bytes by hand.
//
//   mkcomps <source folder> <output file>
//
// Source folder:
//   languages.txt             the language folders, one per line, in the order of the file
//   <Language>/language.txt   "%<name><TAB><charset><TAB><SMS table>"
//   <Language>/messages.txt   "<number><TAB><text>", one message per line, any order
//   <Language>/forms/<Form>.txt         "=<Form><TAB><caption>", then component lines
//   <Language>/forms/<Form>.<part>.txt  more component lines of that form
//   cid/<name>.txt            more "<number><TAB><text>" messages of the language <name>
// A component line is written as in comps.txt: "&<name><TAB><class><TAB><texts>".
// Lines starting with "#" or "//" and empty lines are skipped. Forms are written in the order of
// their names; a form's main file comes before its part files, parts in name order.
// Message numbers that no source gives are filled with "-", up to the highest number of
// any language, so that every language has the same number of messages.
#include "lang/Kalbos.h"
#include "lang/asciiTOunicode.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString& where, const QString& what)
{
    throw Failure((where + QStringLiteral(": ") + what).toStdString());
}

struct SourceLine {
    QString text;
    QString where; // file:line
};

// The lines of a UTF-8 file (BOM, CR LF and CR allowed), without comments and empty lines.
std::vector<SourceLine> readLines(const QString& path, bool required)
{
    QFile f(path);
    if (!f.exists()) {
        if (required)
            fail(path, QStringLiteral("missing"));
        return {};
    }
    if (!f.open(QIODevice::ReadOnly))
        fail(path, QStringLiteral("cannot be read"));
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QString text = QString::fromUtf8(data);
    if (text.contains(QChar::ReplacementCharacter))
        fail(path, QStringLiteral("is not valid UTF-8"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::vector<SourceLine> lines;
    const QStringList all = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString& l = all[i];
        if (l.isEmpty() || l.startsWith(QLatin1Char('#')) || l.startsWith(QLatin1String("//")))
            continue;
        lines.push_back({l, QStringLiteral("%1:%2").arg(path).arg(i + 1)});
    }
    return lines;
}

// Unicode text to the language's code page; every character must exist there.
QByteArray encode(const QString& text, int codeTable, const QString& where)
{
    const QByteArray bytes = UnicodeToAnsi(text, codeTable);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (MapAnsiChar(static_cast<uint8_t>(bytes[i]), codeTable) != text[i].unicode())
            fail(where, QStringLiteral("character U+%1 has no byte in code page %2")
                            .arg(text[i].unicode(), 4, 16, QLatin1Char('0'))
                            .arg(codeTable));
    return bytes;
}

QString field(const QString& s, int index)
{
    return s.section(QLatin1Char('\t'), index, index);
}

struct Component {
    QString name;
    QString line; // the whole source line ("&...")
    QString where;
};

struct Form {
    QString name;
    QString caption;
    QString where;
    std::vector<Component> components;
};

struct Language {
    QString folder;
    QString name;
    int32_t charset = 0;
    int32_t smsTable = 0;
    int codeTable = 0;
    std::vector<Form> forms;
    std::map<int, std::pair<QString, QString>> messages; // number -> text, where
};

int toInt(const QString& s, const QString& where)
{
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    if (!ok)
        fail(where, QStringLiteral("\"%1\" is not a number").arg(s));
    return v;
}

void readMessages(Language& lang, const QString& path, bool required)
{
    for (const SourceLine& l : readLines(path, required)) {
        const qsizetype tab = l.text.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            fail(l.where, QStringLiteral("expected <number><TAB><text>"));
        const int n = toInt(l.text.left(tab), l.where);
        const QString text = l.text.mid(tab + 1);
        if (n < 1)
            fail(l.where, QStringLiteral("message numbers start at 1"));
        if (text.isEmpty())
            fail(l.where, QStringLiteral("a message cannot be empty"));
        if (text.contains(QLatin1Char('\t')))
            fail(l.where, QStringLiteral("a message cannot hold a TAB"));
        if (lang.messages.count(n))
            fail(l.where, QStringLiteral("message %1 given twice (also %2)")
                              .arg(n)
                              .arg(lang.messages[n].second));
        lang.messages[n] = {text, l.where};
    }
}

void readForms(Language& lang, const QString& folder)
{
    QDir dir(folder);
    if (!dir.exists())
        return;
    QStringList files = dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    // Group by form: the name before the first ".", main file first, then the parts.
    std::map<QString, QStringList> byForm;
    for (const QString& f : files)
        byForm[f.section(QLatin1Char('.'), 0, 0)].append(f);
    for (auto& [formName, list] : byForm) {
        const QString mainFile = formName + QStringLiteral(".txt");
        if (!list.contains(mainFile))
            fail(dir.filePath(list.first()),
                 QStringLiteral("form %1 has no main file %2 with its \"=\" line")
                     .arg(formName, mainFile));
        list.removeAll(mainFile);
        list.prepend(mainFile);
        Form form;
        form.name = formName;
        for (const QString& file : list) {
            const bool isMain = file == mainFile;
            for (const SourceLine& l : readLines(dir.filePath(file), true)) {
                if (l.text.startsWith(QLatin1Char('='))) {
                    if (!isMain || !form.where.isEmpty())
                        fail(l.where, QStringLiteral("one \"=\" line per form, in its main file"));
                    if (field(l.text.mid(1), 0) != formName)
                        fail(l.where, QStringLiteral("the form line must name %1").arg(formName));
                    form.caption = field(l.text.mid(1), 1);
                    form.where = l.where;
                    if (form.caption.isEmpty())
                        fail(l.where, QStringLiteral("a form needs a caption"));
                } else if (l.text.startsWith(QLatin1Char('&'))) {
                    if (form.where.isEmpty())
                        fail(l.where, QStringLiteral("component before the form's \"=\" line"));
                    const QString name = field(l.text.mid(1), 0);
                    if (name.isEmpty() || field(l.text.mid(1), 1).isEmpty())
                        fail(l.where, QStringLiteral("a component needs a name and a class name"));
                    for (const Component& c : form.components)
                        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                            fail(l.where, QStringLiteral("component %1 given twice (also %2)")
                                              .arg(name, c.where));
                    form.components.push_back({name, l.text, l.where});
                } else {
                    fail(l.where, QStringLiteral("expected a \"=\", \"&\" or \"#\" line"));
                }
            }
        }
        if (form.where.isEmpty())
            fail(dir.filePath(mainFile), QStringLiteral("no \"=\" line"));
        lang.forms.push_back(std::move(form));
    }
}

Language readLanguage(const QDir& root, const QString& folder)
{
    Language lang;
    lang.folder = folder;
    const QString base = root.filePath(folder);
    const auto header = readLines(base + QStringLiteral("/language.txt"), true);
    if (header.size() != 1 || !header[0].text.startsWith(QLatin1Char('%')))
        fail(base + QStringLiteral("/language.txt"),
             QStringLiteral("expected one line %<name><TAB><charset><TAB><SMS table>"));
    const QString h = header[0].text.mid(1);
    lang.name = field(h, 0);
    lang.charset = toInt(field(h, 1), header[0].where);
    lang.smsTable = toInt(field(h, 2), header[0].where);
    lang.codeTable = CharsetToCodeTable(lang.charset);
    if (lang.name.isEmpty())
        fail(header[0].where, QStringLiteral("the language needs a name"));
    readMessages(lang, base + QStringLiteral("/messages.txt"), true);
    readMessages(lang, root.filePath(QStringLiteral("cid/") + lang.name + QStringLiteral(".txt")),
                 false);
    readForms(lang, base + QStringLiteral("/forms"));
    return lang;
}

// Every language must list the same forms and, in each, the same components in the same
// order: the program finds them by name, but the language file check compares counts.
void compareLanguages(const std::vector<Language>& langs)
{
    const Language& ref = langs.front();
    for (const Language& lang : langs) {
        if (lang.forms.size() != ref.forms.size())
            fail(lang.folder, QStringLiteral("has %1 forms, %2 has %3")
                                  .arg(lang.forms.size())
                                  .arg(ref.folder)
                                  .arg(ref.forms.size()));
        for (size_t f = 0; f < ref.forms.size(); ++f) {
            const Form& a = ref.forms[f];
            const Form& b = lang.forms[f];
            if (a.name != b.name)
                fail(b.where,
                     QStringLiteral("form %1 where %2 has %3").arg(b.name, ref.folder, a.name));
            for (size_t c = 0; c < std::max(a.components.size(), b.components.size()); ++c) {
                const QString an = c < a.components.size() ? a.components[c].name : QString();
                const QString bn = c < b.components.size() ? b.components[c].name : QString();
                if (an != bn)
                    fail(c < b.components.size() ? b.components[c].where : b.where,
                         QStringLiteral("component %1 of form %2 is \"%3\" here and \"%4\" in %5")
                             .arg(c + 1)
                             .arg(a.name, bn, an, ref.folder));
            }
        }
        for (const auto& [n, m] : ref.messages)
            if (!lang.messages.count(n))
                std::fprintf(stderr, "mkcomps: warning: %s has no message %d (%s has)\n",
                             qPrintable(lang.folder), n, qPrintable(ref.folder));
        for (const auto& [n, m] : lang.messages)
            if (!ref.messages.count(n))
                std::fprintf(stderr, "mkcomps: warning: %s has no message %d (%s has)\n",
                             qPrintable(ref.folder), n, qPrintable(lang.folder));
    }
}

QByteArray build(const std::vector<Language>& langs)
{
    int last = 0;
    for (const Language& lang : langs)
        if (!lang.messages.empty())
            last = std::max(last, lang.messages.rbegin()->first);
    const QByteArray eol("\r\n");
    QByteArray out;
    for (const Language& lang : langs) {
        const int t = lang.codeTable;
        const QByteArray name = encode(lang.name, t, lang.folder);
        if (name.size() > LangNameWidth)
            fail(lang.folder, QStringLiteral("language name longer than %1").arg(LangNameWidth));
        out += '%' + name + '\t' + QByteArray::number(lang.charset) + '\t' +
               QByteArray::number(lang.smsTable) + eol;
        for (const Form& form : lang.forms) {
            const QByteArray caption = encode(form.caption, t, form.where);
            if (form.name.size() > LangNameWidth || caption.size() > LangCaptionWidth)
                fail(form.where, QStringLiteral("form name or caption too long"));
            out += '=' + encode(form.name, t, form.where) + '\t' + caption + eol;
            for (const Component& c : form.components) {
                if (c.name.size() > LangNameWidth || field(c.line.mid(1), 1).size() > LangNameWidth)
                    fail(c.where, QStringLiteral("component or class name longer than %1")
                                      .arg(LangNameWidth));
                out += encode(c.line, t, c.where) + eol;
            }
        }
        for (int n = 1; n <= last; ++n) {
            const auto it = lang.messages.find(n);
            const QByteArray text = it == lang.messages.end()
                                        ? QByteArray("-")
                                        : encode(it->second.first, t, it->second.second);
            out += '$' + text + eol;
        }
    }
    return out;
}

int run(const QString& source, const QString& output)
{
    const QDir root(source);
    std::vector<Language> langs;
    for (const SourceLine& l : readLines(root.filePath(QStringLiteral("languages.txt")), true))
        langs.push_back(readLanguage(root, l.text.trimmed()));
    if (langs.empty())
        fail(root.filePath(QStringLiteral("languages.txt")), QStringLiteral("names no language"));
    compareLanguages(langs);
    const QByteArray data = build(langs);

    // What the program will read must load and be consistent.
    QByteArray error;
    ClearLanguages();
    if (!LoadLanguageData(data, "comps.txt", error))
        fail(output,
             QStringLiteral("the generated file does not load: ") + QString::fromLatin1(error));
    if (!CheckLanguageTable().isEmpty())
        fail(output, QStringLiteral("the generated languages differ"));

    QSaveFile f(output);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        fail(output, QStringLiteral("cannot be written"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkcomps <source folder> <output comps.txt>\n");
        return 2;
    }
    try {
        return run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mkcomps: %s\n", e.what());
        return 1;
    }
}
