#pragma once

#include <QString>

// The folder the program's files live in: the one named by TELVANE_HOME, or
// the executable's folder, or, for an installed program, the folder
// share/telvane of its install prefix (beside its bin folder). Sub-paths resolve
// case-insensitively, so that "Support" and "support" name one folder on every file system.
namespace ProgramFolder {

QString path();

// The program folder of a program in folder bin whose installed files would
// lie in installed: bin itself when it holds the support folder (a build, an
// unpacked copy), installed when that one does, bin otherwise.
QString forProgramIn(const QString& bin, const QString& installed);

// Absolute path of relativePath below folder (components separated by '/' or
// '\\'), matching existing entries without regard to case. Components that do
// not exist keep the spelling given.
QString resolve(const QString& folder, const QString& relativePath);

} // namespace ProgramFolder
