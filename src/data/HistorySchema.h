#pragma once

#include <QStringList>
#include <span>

// The set-up history's tables, version by version. The file's user_version
// says which it has; a file of version N is brought to the present one by
// the steps from N on, each a list of statements run in one transaction
// with the new version number. A step, once shipped, never changes: files
// in the field were made by it.
namespace HistorySchema {

// Step i brings a file of version i to version i + 1 (version 0: empty).
std::span<const QStringList> Steps();

} // namespace HistorySchema
