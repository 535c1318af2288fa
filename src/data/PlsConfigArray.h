#pragma once

#include "RSComm.h"
#include "SetupRecord.h"

#include <array>

// The configuration the board's PLS takes, built from memory: the program
// number first, the speed compensations of channels 0..3 and 4..7 in two
// runs of four, the number of channels in entry 18, zeros elsewhere.
inline std::array<int, RSComm::PLSConfigValues> PlsConfigArray(const SetupRecord& data) {
    std::array<int, RSComm::PLSConfigValues> cfg{};
    cfg[0] = data.PlsConfig1;
    for (int i = 0; i < 4; ++i) {
        cfg[size_t(1 + i)] = data.PlsConfig2to9[size_t(i)];
        cfg[size_t(6 + i)] = data.PlsConfig2to9[size_t(4 + i)];
    }
    cfg[18] = data.PlsConfig0;
    return cfg;
}
