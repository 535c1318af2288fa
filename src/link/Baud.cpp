#include "Baud.h"

Baud Baud::fromText(const QString& text) {
    return text.trimmed() == u"19200" ? Baud(Fast) : Baud(Slow);
}

std::optional<Baud> Baud::parse(const QString& text) {
    if (text == u"9600")
        return Baud(Slow);
    if (text == u"19200")
        return Baud(Fast);
    return std::nullopt;
}
