#pragma once

#include "PlantMessages.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <optional>

// Every press seen on the plant's broker, one row each in the order of
// their names: state, the main display's values from its last sample, its
// fault, and how long ago it was last heard of. Faults, presses offline and
// presses reconnecting stand out by colour.
class PlantModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Press, State, Speed, Position, Strokes, DieJams, Fault, LastHeard, ColumnCount };

    explicit PlantModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void statusArrived(const QString& press, const Plant::PressStatus& status);
    void sampleArrived(const QString& press, const Plant::PressSample& sample);
    // The time "last heard" counts to.
    void setNow(const QDateTime& now);
    void clear();

    QString press(int row) const { return m_rows.value(row).press; }
    const std::optional<Plant::PressStatus>& status(int row) const { return m_rows[row].status; }

private:
    struct Row {
        QString press;
        std::optional<Plant::PressStatus> status;
        std::optional<Plant::PressSample> sample;
        QDateTime heard;
    };
    Row& row(const QString& press);
    // The row shows anew; time: when the press was heard of.
    void rowChanged(Row& row, const QDateTime& time);
    QString text(const Row& row, int column) const;
    QString lastHeard(const Row& row) const;

    QList<Row> m_rows;
    QDateTime m_now;
};
