#pragma once

#include <Qt>

// The roles a grid's model answers beside Qt's own.
namespace ItemRoles {

// The recording a row shows (qint64), or an invalid value for a row that shows none.
constexpr int RecordingId = Qt::UserRole + 1;

} // namespace ItemRoles
