#include "SetupCompare.h"

#include "DataTransfer.h"
#include "RegisterNames.h"
#include "SharedState.h"

#include <QHash>
#include <algorithm>

namespace SetupCompare {
namespace {

// The set-up group as the Set-up Parameters view shows it: running speeds,
// brake wear compensation, lubricator speed references; then the DF1 link.
constexpr int SetupOrder[] = {42, 43, 38, 39, 40, 41, 44, 45, 46, 47, 48};

// The program's own register table.
const QList<QString>& programAddresses() {
    static const QList<QString> addresses = [] {
        SharedState state;
        InitRegisterMap(state);
        return state.DefaultData.AddressTable;
    }();
    return addresses;
}

// How the views name and show the register at an entry of the program's table.
// The shift counts are named by the shift data view, not the main display.
std::optional<RegisterNames::Known> known(int index) {
    if (index < 0 || index >= programAddresses().size())
        return std::nullopt;
    if (index < RegisterNames::ShiftEntries * 2)
        return RegisterNames::shiftEntry(index);
    return RegisterNames::find(programAddresses()[index]);
}

QString entryName(int index) {
    const auto named = known(index);
    return named ? named->name : QStringLiteral("Entry %1").arg(index);
}

// What a register's value counts, where the views say so with its form.
QString entryUnit(int index) {
    const auto named = known(index);
    return named && named->format == RegisterNames::Format::Degrees ? QStringLiteral("deg")
                                                                    : QString();
}

QString entryText(int index, qint32 value) {
    const QString address =
        index < programAddresses().size() ? programAddresses()[index] : QString();
    const bool zeroOrOne = value == 0 || value == 1;
    if (address == RegisterNames::setupSwitch().address && zeroOrOne)
        return value ? QStringLiteral("On") : QStringLiteral("Off");
    if (address == RegisterNames::df1Setup()[0].address && zeroOrOne)
        return QString::fromLatin1(RegisterNames::PlcTypes[size_t(value)]);
    const auto named = known(index);
    return RegisterNames::format(named ? named->format : RegisterNames::Format::Plain,
                                 QString::number(value));
}

// Where an entry's row goes: the set-up group first, the shift data last.
int rank(int index) {
    const auto* at = std::find(std::begin(SetupOrder), std::end(SetupOrder), index);
    return at != std::end(SetupOrder) ? int(at - std::begin(SetupOrder)) : 100 + index;
}

// The entry a register address has in the program's own table, if any.
const QHash<QString, int>& knownAddresses() {
    static const QHash<QString, int> known = [] {
        QHash<QString, int> map;
        for (int i = 0; i < programAddresses().size(); ++i)
            map.insert(programAddresses()[i], i);
        return map;
    }();
    return known;
}

struct Entry {
    int index;
    QString address;
    qint32 value;
};

// The register entries of the groups that carry an address, each keyed by
// its address (a repeated address by its occurrence too).
QList<QPair<QString, Entry>> entries(const SetupRecord& r, int groups) {
    QList<QPair<QString, Entry>> out;
    QHash<QString, int> seen;
    const qsizetype size = std::min(r.AddressTable.size(), r.ValueTable.size());
    for (int i = 0; i < size; ++i) {
        const bool setup = i >= RegisterGroup::SetupFirst && i <= RegisterGroup::SetupLast;
        const bool wanted =
            setup ? groups & DataTransfer::SetupGroup
                  : i <= RegisterGroup::ShiftDataLast && (groups & DataTransfer::ShiftGroup);
        const QString address = r.AddressTable[i].trimmed().toUpper();
        if (!wanted || address.isEmpty())
            continue;
        const int occurrence = seen[address]++;
        out.append({address + u'#' + QString::number(occurrence), {i, address, r.ValueTable[i]}});
    }
    return out;
}

struct Ranked {
    int rank;
    Row row;
};

QList<Ranked> registerRows(const SetupRecord& left, const SetupRecord& right, int groups) {
    const auto l = entries(left, groups);
    const auto r = entries(right, groups);
    QHash<QString, Entry> rightByKey;
    for (const auto& [key, entry] : r)
        rightByKey.insert(key, entry);
    QList<Ranked> rows;
    auto add = [&rows](const Entry& named, const Entry* a, const Entry* b) {
        const int index = knownAddresses().value(named.address, named.index);
        const auto number = [](const Entry* e) {
            return e ? QString::number(e->value) : QString();
        };
        rows.append(
            {rank(index),
             {entryName(index), named.address, a ? entryText(index, a->value) : QString(),
              b ? entryText(index, b->value) : QString(), number(a), number(b), entryUnit(index)}});
    };
    for (const auto& [key, entry] : l) {
        const auto found = rightByKey.constFind(key);
        if (found == rightByKey.constEnd())
            add(entry, &entry, nullptr);
        else if (found->value != entry.value)
            add(entry, &entry, &*found);
        rightByKey.remove(key);
    }
    for (const auto& [key, entry] : r)
        if (rightByKey.contains(key))
            add(entry, nullptr, &entry);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Ranked& a, const Ranked& b) { return a.rank < b.rank; });
    return rows;
}

// The PLS values that differ, or every one of the left side's (every).
void plsRows(const SetupRecord& left, const SetupRecord& right, bool every, QList<Row>& rows) {
    // The window shows these as plain numbers.
    auto add = [&rows, every](const QString& name, qint16 a, qint16 b, const QString& unit = {}) {
        if (every)
            rows.append({name, QString(), QString::number(a), QString(), QString::number(a),
                         QString(), unit});
        else if (a != b)
            rows.append({name, QString(), QString::number(a), QString::number(b),
                         QString::number(a), QString::number(b), unit});
    };
    const QString degrees = QStringLiteral("deg");
    const auto items = [](const SetupRecord& r) {
        QList<qint16> v{r.PlsConfig0, r.PlsConfig1};
        for (const qint16 item : r.PlsConfig2to9)
            v.append(item);
        return v;
    };
    const QList<qint16> a = items(left), b = items(right);
    for (int n = 0; n < a.size(); ++n)
        add(RegisterNames::plsConfigName(n), a[n], b[n], n >= 2 ? QStringLiteral("ms") : QString());
    add(QString::fromLatin1(RegisterNames::PlsScaleFactor), left.PlsScale, right.PlsScale);
    add(RegisterNames::plainText(QString::fromLatin1(RegisterNames::ResolverOffset)),
        left.PlsOffset, right.PlsOffset, degrees);
    for (int ch = 0; ch < SetupRecord::ChannelCount; ++ch)
        for (int which = 0; which < 2; ++which)
            add(RegisterNames::timingChannelName(ch) +
                    (which == 0 ? QStringLiteral(" ON") : QStringLiteral(" OFF")),
                left.ChannelSetpoint[size_t(ch)][size_t(which)],
                right.ChannelSetpoint[size_t(ch)][size_t(which)], degrees);
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

int DefaultGroups() {
    return DataTransfer::SetupGroup | DataTransfer::TimingGroup;
}

std::optional<int> ParseGroups(const QString& text) {
    int groups = 0;
    for (const QString& word : text.split(u',')) {
        if (word == u"setup")
            groups |= DataTransfer::SetupGroup;
        else if (word == u"timing")
            groups |= DataTransfer::TimingGroup;
        else if (word == u"shift")
            groups |= DataTransfer::ShiftGroup;
        else if (word == u"all")
            groups |= DataTransfer::AllGroups;
        else
            return std::nullopt;
    }
    return groups;
}

namespace {

QList<Row> rowsOf(const SetupRecord& left, const SetupRecord& right, int groups, bool every) {
    QList<Row> rows;
    const QList<Ranked> registers = registerRows(left, right, groups);
    auto isSetup = [](const Ranked& r) { return r.rank < 100; };
    for (const Ranked& r : registers)
        if (isSetup(r))
            rows.append(r.row);
    if (groups & DataTransfer::TimingGroup)
        plsRows(left, right, every, rows);
    for (const Ranked& r : registers)
        if (!isSetup(r))
            rows.append(r.row);
    return rows;
}

} // namespace

QList<Row> Compare(const SetupRecord& left, const SetupRecord& right, int groups) {
    return rowsOf(left, right, groups, false);
}

QList<Row> Values(const SetupRecord& record, int groups) {
    // Against a record without registers every register is on one side only.
    return rowsOf(record, SetupRecord{}, groups, true);
}

QByteArray Csv(const QList<Row>& rows, const QString& leftName, const QString& rightName) {
    QString text = QStringLiteral("name,address,") + csvField(leftName) + u',' +
                   csvField(rightName) + QStringLiteral(",unit\r\n");
    for (const Row& row : rows)
        text += QStringList{csvField(row.name), csvField(row.address), row.leftNumber,
                            row.rightNumber, row.unit}
                    .join(u',') +
                QStringLiteral("\r\n");
    return text.toUtf8();
}

} // namespace SetupCompare
