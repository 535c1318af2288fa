#pragma once

#include <QString>

// The folder the program's files live in: the executable's folder, or the one
// named by TELVANE_HOME. Sub-paths resolve case-insensitively, so that
// "Support" and "support" name one folder on every file system.
namespace ProgramFolder {

QString path();

// Absolute path of relativePath below folder (components separated by '/' or
// '\\'), matching existing entries without regard to case. Components that do
// not exist keep the spelling given.
QString resolve(const QString& folder, const QString& relativePath);

} // namespace ProgramFolder
