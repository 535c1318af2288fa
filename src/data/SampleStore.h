#pragma once

#include <QList>
#include <QPointF>
#include <QtGlobal>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

// The samples a chart can show: a time and one value per register column,
// for as far back as keepMs. Older samples are dropped as new ones arrive,
// so that memory stays bounded however long sampling runs. Values are the
// registers' whole numbers (a double word in base 10000 fits), four bytes
// each; a value that could not be read is kept as missing.
//
// A chart must not draw a line across a stretch where nothing was read, so
// the store keeps where sampling broke off: a sample can come after a gap,
// and a missing value breaks its column's line.
class SampleStore {
public:
    using Segment = QList<QPointF>;

    explicit SampleStore(qint64 keepMs) : m_keepMs(keepMs) {}

    qint64 keepMs() const { return m_keepMs; }
    int columns() const { return int(m_columns.size()); }
    int size() const { return int(m_times.size()); }
    bool isEmpty() const { return m_times.empty(); }
    qint64 time(int index) const { return m_times[size_t(index)]; }
    std::optional<qint32> value(int column, int index) const;
    // The newest value of the column; nullopt when its newest sample is missing.
    std::optional<qint32> newest(int column) const;
    qint64 newestTime() const { return m_times.empty() ? 0 : m_times.back(); }
    bool afterGap(int index) const { return m_afterGap[size_t(index)]; }

    // A new column, missing in every sample so far.
    void addColumn();
    void removeColumn(int column);
    // values: one per column. afterGap: sampling broke off before this one.
    // Times are the wall clock's: a time before the newest (the clock was
    // set back) drops the samples later than it and follows a gap.
    void append(qint64 timeMs, const std::vector<std::optional<qint32>>& values,
                bool afterGap = false);
    void clear();

    // The column's samples from fromMs to toMs as lines (x: time, y: value)
    // for a chart that many buckets wide, one line for each stretch without a
    // gap or a missing value. Where a stretch of at most one bucket holds more
    // than two samples, only its lowest and highest stand for it, in time
    // order.
    QList<Segment> segments(int column, qint64 fromMs, qint64 toMs, int buckets) const;

private:
    static constexpr qint32 Missing = std::numeric_limits<qint32>::min();
    void dropOlderThan(qint64 timeMs);

    qint64 m_keepMs;
    std::deque<qint64> m_times;
    std::deque<bool> m_afterGap;
    std::vector<std::deque<qint32>> m_columns;
};
