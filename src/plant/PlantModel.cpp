#include "PlantModel.h"

#include "CodeTable.h"
#include "DisplayFormat.h"
#include "RegisterNames.h"

#include <QBrush>
#include <algorithm>

namespace {

// The main display's registers, in the columns' order from Speed on.
const QString SpeedRegister = QStringLiteral("W182");
const QString PositionRegister = QStringLiteral("W180");
const QString StrokesRegister = QStringLiteral("D1100");
const QString DieJamsRegister = QStringLiteral("W1104");
const QString NoValue = QStringLiteral("-");

bool hasFault(const std::optional<Plant::PressStatus>& s) {
    return s && s->fault && s->fault->code != 0;
}

QString ago(qint64 seconds) {
    seconds = std::max<qint64>(seconds, 0);
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min").arg(seconds / 60);
    if (seconds < 86400)
        return QStringLiteral("%1 h").arg(seconds / 3600);
    return QStringLiteral("%1 d").arg(seconds / 86400);
}

} // namespace

PlantModel::PlantModel(QObject* parent) : QAbstractTableModel(parent) {}

int PlantModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PlantModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlantModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const auto& main = RegisterNames::mainDisplay();
    switch (section) {
    case Press:
        return QStringLiteral("Press");
    case State:
        return QStringLiteral("State");
    case Speed:
    case Position:
    case Strokes:
    case DieJams:
        return RegisterNames::plainText(main[size_t(section - Speed)].text);
    case Fault:
        return QStringLiteral("Fault");
    case LastHeard:
        return QStringLiteral("Last Heard");
    }
    return {};
}

QString PlantModel::lastHeard(const Row& row) const {
    if (!row.heard.isValid() || !m_now.isValid())
        return NoValue;
    return ago(row.heard.secsTo(m_now));
}

QString PlantModel::text(const Row& row, int column) const {
    const auto value = [&row](const QString& address) -> std::optional<qint64> {
        if (!row.sample || !row.sample->values.contains(address))
            return std::nullopt;
        return row.sample->values.value(address);
    };
    const auto shown = [&](const QString& address, RegisterNames::Format format) {
        const auto v = value(address);
        return v ? RegisterNames::format(format, QString::number(*v)) : NoValue;
    };
    switch (column) {
    case Press:
        return row.press;
    case State:
        return row.status ? Plant::stateText(row.status->state) : NoValue;
    case Speed:
        return shown(SpeedRegister, RegisterNames::Format::Plain);
    case Position: {
        // As the main display: a press turning fast has no position to read.
        const auto speed = value(SpeedRegister);
        if (speed && *speed > DisplayFormat::ReadablePositionSpeed && value(PositionRegister))
            return DisplayFormat::Degrees(QStringLiteral("888"));
        return shown(PositionRegister, RegisterNames::Format::Degrees);
    }
    case Strokes:
        return shown(StrokesRegister, RegisterNames::Format::Grouped);
    case DieJams:
        return shown(DieJamsRegister, RegisterNames::Format::Grouped);
    case Fault:
        if (!hasFault(row.status))
            return row.status && row.status->fault ? QStringLiteral("none") : NoValue;
        return QStringLiteral("Fault Code (%1H): %2")
            .arg(CodeTable::codeText(row.status->fault->code), row.status->fault->text);
    case LastHeard:
        return lastHeard(row);
    }
    return {};
}

QVariant PlantModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row& row = m_rows[index.row()];
    const auto state = row.status ? row.status->state : Plant::State::Online;
    switch (role) {
    case Qt::DisplayRole:
        return text(row, index.column());
    case Qt::ToolTipRole:
        if (index.column() == Fault)
            return text(row, Fault);
        if (row.status && !row.status->reason.isEmpty())
            return row.status->device + QStringLiteral(": ") + row.status->reason;
        return row.status ? row.status->device : QString();
    // An offline press's values and fault are old news: grey before red.
    case Qt::BackgroundRole:
        if (state == Plant::State::Offline)
            return QBrush(QColor(215, 215, 215));
        if (hasFault(row.status))
            return QBrush(QColor(255, 200, 200));
        if (state == Plant::State::Reconnecting)
            return QBrush(QColor(255, 228, 170));
        return {};
    case Qt::ForegroundRole:
        if (state == Plant::State::Offline)
            return QBrush(QColor(90, 90, 90));
        if (hasFault(row.status))
            return QBrush(QColor(150, 0, 0));
        return {};
    default:
        return {};
    }
}

PlantModel::Row& PlantModel::row(const QString& press) {
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), press,
                                     [](const Row& r, const QString& p) { return r.press < p; });
    if (at != m_rows.end() && at->press == press)
        return *at;
    const int index = int(at - m_rows.begin());
    beginInsertRows({}, index, index);
    m_rows.insert(index, Row{press, {}, {}, {}});
    endInsertRows();
    return m_rows[index];
}

void PlantModel::rowChanged(Row& r, const QDateTime& time) {
    if (time.isValid() && (!r.heard.isValid() || time > r.heard))
        r.heard = time;
    const int index = int(&r - m_rows.data());
    emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void PlantModel::statusArrived(const QString& press, const Plant::PressStatus& status) {
    Row& r = row(press);
    r.status = status;
    rowChanged(r, status.time);
}

void PlantModel::sampleArrived(const QString& press, const Plant::PressSample& sample) {
    Row& r = row(press);
    r.sample = sample;
    rowChanged(r, sample.time);
}

void PlantModel::setNow(const QDateTime& now) {
    m_now = now;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, LastHeard), index(int(m_rows.size()) - 1, LastHeard));
}

void PlantModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}
