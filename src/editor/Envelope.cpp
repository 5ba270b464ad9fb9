#include "editor/Envelope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <nettle/arcfour.h>
#include <nettle/sha1.h>

QByteArray RC4WithPassPhrase(const QByteArray& data, const QByteArray& passPhrase)
{
    uint8_t digest[SHA1_DIGEST_SIZE];
    sha1_ctx sha;
    sha1_init(&sha);
    sha1_update(&sha, static_cast<size_t>(passPhrase.size()),
                reinterpret_cast<const uint8_t*>(passPhrase.constData()));
    sha1_digest(&sha, sizeof digest, digest);

    arcfour_ctx rc4;
    arcfour_set_key(&rc4, sizeof digest, digest);
    QByteArray out(data.size(), '\0');
    if (!data.isEmpty())
        arcfour_crypt(&rc4, static_cast<size_t>(data.size()), reinterpret_cast<uint8_t*>(out.data()),
                      reinterpret_cast<const uint8_t*>(data.constData()));
    return out;
}

bool SaveStringsEncrypted(const QString& fileName, const QByteArray& passPhrase,
                          const QList<QByteArray>& lines)
{
    const QFileInfo info(fileName);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QByteArray plain;
    for (const QByteArray& l : lines) {
        plain += l;
        plain += "\r\n";
    }
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray cipher = RC4WithPassPhrase(plain, passPhrase);
    if (f.write(cipher) != cipher.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool LoadEncryptedStrings(const QString& fileName, const QByteArray& passPhrase,
                          QList<QByteArray>& lines)
{
    QFile f(fileName);
    if (!f.exists() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray plain = RC4WithPassPhrase(f.readAll(), passPhrase);
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
    lines = out;
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
