#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

// The text of telvane-cli --help. Its manual page is made from it, so it
// keeps a form the page's maker reads: the usage line, a paragraph, then
// sections, each a heading at the left ending in ':' and lines indented by
// two, either entries ("  TERM  TEXT", TEXT wrapped in a column of its own)
// or a paragraph. No line is wider than 79 characters.
namespace CliHelp {

QString text(const QList<QCommandLineOption>& options);

} // namespace CliHelp
