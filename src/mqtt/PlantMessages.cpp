#include "PlantMessages.h"

#include "SampleCsv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace Plant {
namespace {

QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QJsonObject> objectOf(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QJsonValue codeJson(const std::optional<Code>& code) {
    if (!code)
        return QJsonValue::Null;
    return QJsonObject{{"code", code->code}, {"text", code->text}};
}

std::optional<Code> codeFrom(const QJsonValue& value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    return Code{o.value("code").toInt(), o.value("text").toString()};
}

QDateTime timeFrom(const QJsonValue& value) {
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

} // namespace

QString stateText(State state) {
    switch (state) {
    case State::Online:
        return QStringLiteral("online");
    case State::Offline:
        return QStringLiteral("offline");
    case State::Reconnecting:
        return QStringLiteral("reconnecting");
    }
    return {};
}

QByteArray PressStatus::toJson() const {
    QJsonObject o{{"state", stateText(state)}, {"time", SampleCsv::timeText(time)},
                  {"device", device},          {"baud", baud},
                  {"fault", codeJson(fault)},  {"comm_error", codeJson(commError)}};
    if (!reason.isEmpty())
        o.insert("reason", reason);
    QJsonObject b;
    if (board)
        b = {{"firmware", board->firmware},
             {"program", board->program},
             {"checksum", board->checksum},
             {"revision", board->revision}};
    o.insert("board", b);
    return compact(o);
}

std::optional<PressStatus> PressStatus::fromJson(const QByteArray& json) {
    const auto o = objectOf(json);
    if (!o)
        return std::nullopt;
    PressStatus s;
    const QString state = o->value("state").toString();
    if (state == stateText(State::Online))
        s.state = State::Online;
    else if (state == stateText(State::Reconnecting))
        s.state = State::Reconnecting;
    else if (state == stateText(State::Offline))
        s.state = State::Offline;
    else
        return std::nullopt;
    s.time = timeFrom(o->value("time"));
    s.device = o->value("device").toString();
    s.baud = o->value("baud").toInt(9600);
    s.reason = o->value("reason").toString();
    s.fault = codeFrom(o->value("fault"));
    s.commError = codeFrom(o->value("comm_error"));
    const QJsonObject b = o->value("board").toObject();
    if (!b.isEmpty())
        s.board = BoardInfo{b.value("firmware").toInt(), b.value("program").toString(),
                            b.value("checksum").toInt(), b.value("revision").toInt()};
    return s;
}

QByteArray PressSample::toJson() const {
    QJsonObject v;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        v.insert(it.key(), it.value());
    return compact({{"time", SampleCsv::timeText(time)}, {"values", v}});
}

std::optional<PressSample> PressSample::fromJson(const QByteArray& json) {
    const auto o = objectOf(json);
    if (!o || !o->value("values").isObject())
        return std::nullopt;
    PressSample s;
    s.time = timeFrom(o->value("time"));
    const QJsonObject v = o->value("values").toObject();
    for (auto it = v.begin(); it != v.end(); ++it)
        if (it.value().isDouble())
            s.values.insert(it.key(), qint64(it.value().toDouble()));
    return s;
}

QByteArray PressEvent::toJson() const {
    QJsonObject o{{"time", SampleCsv::timeText(time)}};
    switch (kind) {
    case Kind::Online:
        o.insert("event", "online");
        o.insert("device", device);
        break;
    case Kind::Offline:
        o.insert("event", "offline");
        o.insert("reason", reason);
        break;
    case Kind::FaultRaised:
    case Kind::FaultCleared:
        o.insert("event", kind == Kind::FaultRaised ? "fault-raised" : "fault-cleared");
        o.insert("fault", codeJson(fault));
        break;
    }
    return compact(o);
}

namespace Topics {

QString status(const QString& prefix, const QString& press) {
    return prefix + u'/' + press + QStringLiteral("/status");
}
QString sample(const QString& prefix, const QString& press) {
    return prefix + u'/' + press + QStringLiteral("/sample");
}
QString event(const QString& prefix, const QString& press) {
    return prefix + u'/' + press + QStringLiteral("/event");
}
QString monitor(const QString& prefix, const QString& clientId) {
    return prefix + u'/' + MonitorLevel + u'/' + clientId;
}

QStringList pressFilters(const QString& prefix) {
    return {prefix + QStringLiteral("/+/status"), prefix + QStringLiteral("/+/sample")};
}

std::optional<Parsed> parse(const QString& prefix, const QString& topic) {
    if (!topic.startsWith(prefix + u'/'))
        return std::nullopt;
    const QStringList levels = topic.mid(prefix.size() + 1).split(u'/');
    if (levels.size() != 2 || levels[0].isEmpty() || levels[0] == MonitorLevel)
        return std::nullopt;
    return Parsed{levels[0], levels[1]};
}

} // namespace Topics

} // namespace Plant
