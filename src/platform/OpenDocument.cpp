#include "platform/OpenDocument.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

std::function<bool(const QString&)> OpenDocumentHook;

bool OpenDocument(const QString& path)
{
    if (OpenDocumentHook)
        return OpenDocumentHook(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace platform
