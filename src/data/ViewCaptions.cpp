#include "ViewCaptions.h"

namespace ViewCaptions {

QString Station(int station) {
    return QStringLiteral("#%1").arg(station);
}

QString ChannelName(int channel) {
    return channel < 8 ? QStringLiteral("CH0%1").arg(channel)
                       : QStringLiteral("CH%1").arg(channel + 2);
}

QString Plain(const char* caption) {
    QString text = QString::fromLatin1(caption);
    text.remove(u'&');
    if (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

} // namespace ViewCaptions
