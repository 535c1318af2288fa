#include "SampleStore.h"

#include <algorithm>
#include <cmath>

std::optional<qint32> SampleStore::value(int column, int index) const {
    const qint32 v = m_columns[size_t(column)][size_t(index)];
    return v == Missing ? std::nullopt : std::optional<qint32>(v);
}

std::optional<qint32> SampleStore::newest(int column) const {
    if (m_times.empty() || column < 0 || column >= columns())
        return std::nullopt;
    return value(column, size() - 1);
}

void SampleStore::addColumn() {
    m_columns.emplace_back(m_times.size(), Missing);
}

void SampleStore::removeColumn(int column) {
    if (column >= 0 && column < columns())
        m_columns.erase(m_columns.begin() + column);
}

void SampleStore::append(qint64 timeMs, const std::vector<std::optional<qint32>>& values,
                         bool afterGap) {
    while (!m_times.empty() && m_times.back() > timeMs) {
        m_times.pop_back();
        m_afterGap.pop_back();
        for (auto& column : m_columns)
            column.pop_back();
        afterGap = true;
    }
    m_times.push_back(timeMs);
    m_afterGap.push_back(afterGap);
    for (size_t c = 0; c < m_columns.size(); ++c)
        m_columns[c].push_back(c < values.size() && values[c] ? *values[c] : Missing);
    dropOlderThan(timeMs - m_keepMs);
}

void SampleStore::clear() {
    m_times.clear();
    m_afterGap.clear();
    for (auto& column : m_columns)
        column.clear();
}

void SampleStore::dropOlderThan(qint64 timeMs) {
    while (!m_times.empty() && m_times.front() < timeMs) {
        m_times.pop_front();
        m_afterGap.pop_front();
        for (auto& column : m_columns)
            column.pop_front();
    }
    // A deque returns its blocks as it empties from the front; only a long
    // idle store keeps one spare block per column.
}

QList<SampleStore::Segment> SampleStore::segments(int column, qint64 fromMs, qint64 toMs,
                                                  int buckets) const {
    QList<Segment> out;
    if (column < 0 || column >= columns() || toMs <= fromMs || buckets <= 0)
        return out;
    const auto& values = m_columns[size_t(column)];
    const auto first = std::lower_bound(m_times.begin(), m_times.end(), fromMs);
    const double bucketMs = double(toMs - fromMs) / buckets;
    size_t i = size_t(first - m_times.begin());
    // The bucket of a time; a sample at toMs belongs to the last one.
    const auto bucketOf = [&](qint64 t) {
        return std::min(buckets - 1, int(std::floor(double(t - fromMs) / bucketMs)));
    };
    const auto inRange = [&](size_t k) { return k < m_times.size() && m_times[k] <= toMs; };
    bool broken = true; // the next point starts a new line
    while (inRange(i)) {
        if (values[i] == Missing) {
            broken = true;
            ++i;
            continue;
        }
        if (m_afterGap[i])
            broken = true;
        // A run: samples of one bucket with nothing between them that breaks the line.
        const int bucket = bucketOf(m_times[i]);
        size_t low = i, high = i;
        for (++i;
             inRange(i) && bucketOf(m_times[i]) == bucket && values[i] != Missing && !m_afterGap[i];
             ++i) {
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        if (broken)
            out.append(Segment());
        broken = false;
        const size_t a = std::min(low, high), b = std::max(low, high);
        out.last().append(QPointF(double(m_times[a]), values[a]));
        if (b != a)
            out.last().append(QPointF(double(m_times[b]), values[b]));
    }
    return out;
}
