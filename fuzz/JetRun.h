#pragma once

#include <QString>

namespace Fuzz {

// Runs a Selection through the translator and on the fuzz catalogue, reading every cell.
void runSelection(const QString& where, const QString& order);

} // namespace Fuzz
