#pragma once

#include <QString>
#include <array>
#include <functional>

class ViewBase;
class ViewContext;

// The views of the main window's window list, in list order: index,
// caption of the list item, and how to make the view. The six views of the
// machine come first; the Trend view follows them, so that their indices
// stay as they are. Each layer registers the views it builds; an index
// nobody registered stays disabled.
class ViewTable {
public:
    static constexpr int Count = 7;
    static constexpr int MainDisplay = 0;
    static constexpr int SetupParameters = 1;
    static constexpr int SerialCommunications = 2;
    static constexpr int MachineTiming = 3;
    static constexpr int ShiftData = 4;
    static constexpr int IOStates = 5;
    static constexpr int Trend = 6;

    using Factory = std::function<ViewBase*(ViewContext&)>;
    struct Entry {
        int index = 0;
        QString caption;
        Factory factory;
    };

    ViewTable();

    void Register(int index, Factory factory);
    const Entry& entry(int index) const { return m_entries[size_t(index)]; }
    bool has(int index) const;
    // A new view n, or nullptr when none is registered there.
    ViewBase* make(int index, ViewContext& context) const;

private:
    std::array<Entry, Count> m_entries;
};
