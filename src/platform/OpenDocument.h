#pragma once
// Opens a document with the program the desktop associates with it (the manual PDF).
#include <QString>

#include <functional>

namespace platform {

// False when the desktop could not open it; the caller does not look at the result.
bool OpenDocument(const QString& path);

// Tests: when set, called instead of the desktop.
extern std::function<bool(const QString&)> OpenDocumentHook;

} // namespace platform
