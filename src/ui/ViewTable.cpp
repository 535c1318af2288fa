#include "ViewTable.h"

ViewTable::ViewTable() {
    const char* const captions[Count] = {
        "&1 Main Display",   "&2 Set-up Parameters", "&3 Serial Communications",
        "&4 Machine Timing", "&5 Shift Data",        "&6 I/O States",
        "&7 Trend"};
    for (int i = 0; i < Count; ++i)
        m_entries[size_t(i)] = {i, QString::fromLatin1(captions[i]), {}};
}

void ViewTable::Register(int index, Factory factory) {
    if (index >= 0 && index < Count)
        m_entries[size_t(index)].factory = std::move(factory);
}

bool ViewTable::has(int index) const {
    return index >= 0 && index < Count && bool(m_entries[size_t(index)].factory);
}

ViewBase* ViewTable::make(int index, ViewContext& context) const {
    return has(index) ? m_entries[size_t(index)].factory(context) : nullptr;
}
