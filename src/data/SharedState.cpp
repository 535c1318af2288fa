#include "SharedState.h"

#ifndef TELVANE_VERSION_MAJOR
#error "the build passes the program version (TELVANE_VERSION_MAJOR/MINOR/PATCH)"
#endif

QString BuildVersionNumber() {
    return QStringLiteral("%1.%2.%3")
        .arg(TELVANE_VERSION_MAJOR)
        .arg(TELVANE_VERSION_MINOR)
        .arg(TELVANE_VERSION_PATCH);
}

QString BuildVersionTag() {
    return QStringLiteral("TELVANE_R") + BuildVersionNumber();
}

bool HasUnsavedChanges(const SharedState& state) {
    const SetupRecord& current = state.CurrentData;
    const SetupRecord& saved = state.SavedData;
    // The whole PLS part counts too: a timing upload changes only that.
    const bool samePls =
        current.PlsConfig0 == saved.PlsConfig0 && current.PlsScale == saved.PlsScale &&
        current.PlsOffset == saved.PlsOffset && current.PlsConfig1 == saved.PlsConfig1 &&
        current.PlsConfig2to9 == saved.PlsConfig2to9 &&
        current.ChannelSetpoint == saved.ChannelSetpoint;
    return current.ValueTable != saved.ValueTable ||
           current.VersionTag != state.ProgramVersionTag || !samePls;
}

void InitRegisterMap(SharedState& state) {
    SetupRecord& d = state.DefaultData;
    d.AddressTable = QList<QString>(LastIndex + 1);
    d.ValueTable = QList<qint32>(LastIndex + 1, 0);

    state.ProgramVersionTag = BuildVersionTag();
    d.VersionTag = state.ProgramVersionTag;

    const qint32 setupDefaults[] = {0, 0, 0, 300, 100, 250, 250, 75, 0, 1, 10};
    for (int i = RegisterGroup::SetupFirst; i <= RegisterGroup::SetupLast; ++i)
        d.ValueTable[i] = setupDefaults[i - RegisterGroup::SetupFirst];

    d.PlsConfig0 = 16;
    d.PlsScale = 360;
    d.PlsOffset = 0;
    d.PlsConfig1 = 0;
    d.PlsConfig2to9.fill(0);
    const qint16 on[8] = {120, 160, 200, 120, 140, 150, 140, 0};
    const qint16 off[8] = {140, 180, 220, 200, 220, 230, 120, 20};
    for (int ch = 0; ch < SetupRecord::ChannelCount; ++ch)
        d.ChannelSetpoint[size_t(ch)] =
            ch < 8 ? std::array<qint16, 2>{on[ch], off[ch]} : std::array<qint16, 2>{0, 0};

    d.AddressTable[0] = QStringLiteral("D1100");
    d.AddressTable[1] = QStringLiteral("W1104");
    for (int i = 2; i <= 17; ++i)
        d.AddressTable[i] = QStringLiteral("W%1").arg(2 * i + 1104);
    d.AddressTable[18] = QStringLiteral("D1200");
    d.AddressTable[19] = QStringLiteral("W1204");
    for (int i = 20; i <= 35; ++i)
        d.AddressTable[i] = QStringLiteral("W%1").arg(2 * i + 1168);
    const char* const rest[] = {"W1040", "W1042", "B1018.0", "W1020",   "W1022", "W1024", "W1026",
                                "W1028", "W1032", "W1034",   "B4001.0", "B4050", "B4011"};
    for (int i = 36; i <= LastIndex; ++i)
        d.AddressTable[i] = QString::fromLatin1(rest[i - 36]);

    // QList copies share their data only until one of them is written to.
    state.CurrentData = d;
    state.SavedData = d;
    state.Untitled = true;
}
