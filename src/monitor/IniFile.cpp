#include "IniFile.h"

#include <QStringList>

namespace IniFile {

std::variant<QList<Section>, SyntaxError> parse(const QString& text) {
    QList<Section> sections;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const QString line = lines[i].trimmed();
        const QString current = sections.isEmpty() ? QString() : sections.last().name;
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return SyntaxError{number, current, QStringLiteral("a section line ends in ']'")};
            sections.append({line.mid(1, line.size() - 2).trimmed(), number, {}});
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            return SyntaxError{
                number, current,
                QStringLiteral("'%1' is neither [SECTION] nor KEY = VALUE").arg(line)};
        const QString key = line.left(equals).trimmed();
        if (key.isEmpty())
            return SyntaxError{number, current, QStringLiteral("a value without a key")};
        if (sections.isEmpty())
            return SyntaxError{number, current,
                               QStringLiteral("'%1' comes before the first [SECTION]").arg(key)};
        sections.last().entries.append({key, line.mid(equals + 1).trimmed(), number});
    }
    return sections;
}

} // namespace IniFile
