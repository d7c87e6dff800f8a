#pragma once

#include <QString>

class QMimeData;

namespace kz {

// The first file of a drop from the file manager, as a native path; empty
// when the drop carries no file.
QString FirstDroppedFile(const QMimeData* data);

} // namespace kz
