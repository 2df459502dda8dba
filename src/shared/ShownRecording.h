#pragma once

#include <optional>
#include <QStringList>

class Database;

// A recording as a row of the display shows it, read afresh from the catalogue: the texts of its
// eight cells, or none when the catalogue no longer holds it. Compared with the row's texts it
// tells whether another program changed the recording since the display was read.
std::optional<QStringList> ReadShownRecording(Database& catalogue, qint64 id);
