#include "editor/Envelope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <nettle/arcfour.h>
#include <nettle/sha1.h>

QByteArray PassPhraseKey(const QByteArray& passPhrase)
{
    uint8_t digest[SHA1_DIGEST_SIZE];
    sha1_ctx sha;
    sha1_init(&sha);
    sha1_update(&sha, static_cast<size_t>(passPhrase.size()),
                reinterpret_cast<const uint8_t*>(passPhrase.constData()));
    sha1_digest(&sha, sizeof digest, digest);
    return QByteArray(reinterpret_cast<const char*>(digest), sizeof digest);
}

QByteArray RC4WithPassPhrase(const QByteArray& data, const QByteArray& passPhrase)
{
    const QByteArray key = PassPhraseKey(passPhrase);
    arcfour_ctx rc4;
    arcfour_set_key(&rc4, static_cast<size_t>(key.size()), reinterpret_cast<const uint8_t*>(key.constData()));
    QByteArray out(data.size(), '\0');
    if (!data.isEmpty())
        arcfour_crypt(&rc4, static_cast<size_t>(data.size()), reinterpret_cast<uint8_t*>(out.data()),
                      reinterpret_cast<const uint8_t*>(data.constData()));
    return out;
}

bool EncryptStreamRC4(const QByteArray& source, QByteArray& dest, const QByteArray& passPhrase)
{
    try {
        dest = RC4WithPassPhrase(source, passPhrase);
        return true;
    } catch (...) {
        return false;
    }
}

bool DecryptStreamRC4(const QByteArray& source, QByteArray& dest, const QByteArray& passPhrase)
{
    // RC4 is its own inverse.
    return EncryptStreamRC4(source, dest, passPhrase);
}

QByteArray JoinEnvelopeLines(const QList<QByteArray>& lines)
{
    QByteArray plain;
    for (const QByteArray& l : lines) {
        plain += l;
        plain += "\r\n";
    }
    return plain;
}

QList<QByteArray> SplitEnvelopeLines(const QByteArray& plain)
{
    QList<QByteArray> out;
    QByteArray cur;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        if (c == '\r' || c == '\n') {
            out.append(cur);
            cur.clear();
            if (c == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n')
                ++i;
        } else {
            cur.append(c);
        }
    }
    if (!cur.isEmpty())
        out.append(cur);
    return out;
}

bool SaveStringsEncrypted(const QString& fileName, const QByteArray& passPhrase,
                          const QList<QByteArray>& lines, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(fileName);
    // A folder that cannot be made shows in the open below, with the system's reason.
    QDir().mkpath(info.absolutePath());
    // The new contents go to a file of their own first and replace the old one only once
    // they are complete: a failed save leaves no partial file.
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        return fail(f.errorString());
    QByteArray cipher;
    if (!EncryptStreamRC4(JoinEnvelopeLines(lines), cipher, passPhrase)) {
        f.cancelWriting();
        return fail(QStringLiteral("RC4"));
    }
    if (f.write(cipher) != cipher.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return fail(why);
    }
    if (!f.commit())
        return fail(f.errorString());
    return true;
}

bool LoadEncryptedStrings(const QString& fileName, const QByteArray& passPhrase,
                          QList<QByteArray>& lines)
{
    QFile f(fileName);
    if (!f.exists() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    QByteArray plain;
    if (!DecryptStreamRC4(data, plain, passPhrase))
        return false;
    lines = SplitEnvelopeLines(plain);
    return true;
}

QString LogFileName(const QDateTime& start, const QDateTime& end)
{
    auto part = [](const QDateTime& t) {
        return QStringLiteral("%1_%2_%3 %4_%5")
            .arg(t.date().year())
            .arg(t.date().month())
            .arg(t.date().day())
            .arg(t.time().hour())
            .arg(t.time().minute());
    };
    return part(start) + QStringLiteral(" - ") + part(end) + QStringLiteral(".ktl");
}
