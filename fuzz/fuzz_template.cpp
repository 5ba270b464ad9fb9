// Arbitrary template file contents through the envelope and the template reader. The input
// is taken as an enciphered file: deciphered, split into lines and every key read in
// every form the loader uses. Checks: the cipher gives its input back and keeps its length;
// the first line of a key wins whatever its case; a number read back prints as it reads;
// a Contact ID is always five bytes; a value written on one line reads back unchanged.
#include "editor/Envelope.h"
#include "editor/TemplateFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

QByteArray Lower(QByteArray s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray plain = RC4WithPassPhrase(file, TemplatePassPhrase);
    Check(plain.size() == file.size());
    Check(RC4WithPassPhrase(plain, TemplatePassPhrase) == file);

    // Both the deciphered text and the input itself as plain text: the second lets the
    // fuzzer shape the lines directly.
    for (const QByteArray& text : {plain, file}) {
        const QList<QByteArray> lines = SplitEnvelopeLines(text);
        const tpl::TTemplateReader reader(lines);
        for (const QByteArray& line : lines) {
            const qsizetype eq = line.indexOf('=');
            if (eq < 0)
                continue;
            const QByteArray key = line.left(eq);
            // The first line whose key matches without regard to case.
            QByteArray first;
            for (const QByteArray& l : lines) {
                const qsizetype e = l.indexOf('=');
                if (e >= 0 && Lower(l.left(e)) == Lower(key)) {
                    first = l.mid(e + 1);
                    break;
                }
            }
            Check(reader.Has(key) && reader.Text(key) == first);
            try {
                const std::int32_t n = reader.Number(key);
                std::int32_t again = 0;
                Check(tpl::ParseDecimal(QByteArray::number(n), again) && again == n);
            } catch (const tpl::ETemplateValue&) {
            }
            try {
                // A word as the template writes it reads back as the same word.
                const std::uint32_t w = reader.Word(key);
                std::uint32_t again = 0;
                Check(tpl::ParseWord(QByteArray::number(w), again) && again == w);
            } catch (const tpl::ETemplateValue&) {
            }
            try {
                (void)reader.Boolean(key);
            } catch (const tpl::ETemplateValue&) {
            }
            try {
                Check(reader.ContactID(key).size() == 5);
            } catch (const tpl::ETemplateValue&) {
            }
            // Written as a template line, any value stays on its line and reads back.
            const QByteArray written = tpl::TextLine(key, first);
            const QList<QByteArray> back = SplitEnvelopeLines(JoinEnvelopeLines({written}));
            Check(back.size() == 1 && tpl::TTemplateReader(back).Text(key) == tpl::OneLine(first));
        }
    }
    return 0;
}
