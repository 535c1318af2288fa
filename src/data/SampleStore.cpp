#include "SampleStore.h"

#include <algorithm>
#include <cmath>

std::optional<qint32> SampleStore::value(int column, int index) const {
    const qint32 v = m_columns[size_t(column)][size_t(index)];
    return v == Missing ? std::nullopt : std::optional<qint32>(v);
}

void SampleStore::addColumn() {
    m_columns.emplace_back(m_times.size(), Missing);
}

void SampleStore::removeColumn(int column) {
    if (column >= 0 && column < columns())
        m_columns.erase(m_columns.begin() + column);
}

void SampleStore::append(qint64 timeMs, const std::vector<std::optional<qint32>>& values) {
    m_times.push_back(timeMs);
    for (size_t c = 0; c < m_columns.size(); ++c)
        m_columns[c].push_back(c < values.size() && values[c] ? *values[c] : Missing);
    dropOlderThan(timeMs - m_keepMs);
}

void SampleStore::clear() {
    m_times.clear();
    for (auto& column : m_columns)
        column.clear();
}

void SampleStore::dropOlderThan(qint64 timeMs) {
    while (!m_times.empty() && m_times.front() < timeMs) {
        m_times.pop_front();
        for (auto& column : m_columns)
            column.pop_front();
    }
    // A deque returns its blocks as it empties from the front; only a long
    // idle store keeps one spare block per column.
}

QList<QPointF> SampleStore::points(int column, qint64 fromMs, qint64 toMs, int buckets) const {
    QList<QPointF> out;
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
    while (i < m_times.size() && m_times[i] <= toMs) {
        const int bucket = bucketOf(m_times[i]);
        size_t low = i, high = i;
        bool found = false;
        for (; i < m_times.size() && m_times[i] <= toMs && bucketOf(m_times[i]) == bucket; ++i) {
            if (values[i] == Missing)
                continue;
            if (!found)
                low = high = i;
            found = true;
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        if (!found)
            continue;
        const size_t a = std::min(low, high), b = std::max(low, high);
        out.append(QPointF(double(m_times[a]), values[a]));
        if (b != a)
            out.append(QPointF(double(m_times[b]), values[b]));
    }
    return out;
}
