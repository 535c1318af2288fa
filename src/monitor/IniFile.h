#pragma once

#include <QList>
#include <QString>
#include <variant>

// An INI file read strictly: "[section]" lines, "key = value" lines, blank
// lines and comments ('#' or ';' first). QSettings is not used: it sorts
// sections, merges a section given twice, splits values at commas and
// names no line where the text is wrong, and a monitor's configuration must
// be refused with the place of its fault.
namespace IniFile {

struct Entry {
    QString key;
    QString value;
    int line = 0;
};
struct Section {
    QString name;
    int line = 0;
    QList<Entry> entries; // in file order
};
struct SyntaxError {
    int line = 0;
    QString section; // the section the line is in; empty before the first
    QString why;
};

std::variant<QList<Section>, SyntaxError> parse(const QString& text);

} // namespace IniFile
