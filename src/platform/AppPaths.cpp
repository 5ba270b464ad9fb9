#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

namespace {
QString& overrideDir()
{
    static QString dir;
    return dir;
}
} // namespace

QString ProgramDir()
{
    if (!overrideDir().isEmpty())
        return overrideDir();
    return QCoreApplication::applicationDirPath();
}

QString ProgramFile(const QString& relative)
{
    return ProgramDir() + QLatin1Char('/') + relative;
}

void SetProgramDirForTests(const QString& dir)
{
    QString d = dir;
    while (d.size() > 1 && d.endsWith(QLatin1Char('/')))
        d.chop(1);
    overrideDir() = d;
}

} // namespace platform
