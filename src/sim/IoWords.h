#pragma once

#include "BoardMemory.h"

class PlsBoard;

// The board's inputs, outputs and analog values as the running machine
// drives them: the processor board's inputs IN0/IN1 (F80, F81), two analog
// inputs and outputs, the resolver's period, scale and offset, and the
// three I/O slots (W100, W110, W120). The alarm bits, the station words and
// the PLS outputs they mirror are read from memory as they stand.
class IoWords {
public:
    // What the machine is doing at the moment of publishing.
    struct Machine {
        double speed = 0; // strokes per minute
        double angle = 0; // degrees
        bool clutch = false;
        bool inching = false; // at the inching speed
    };

    static constexpr int InputFlags = 42; // F80..F87
    static constexpr int AnalogInput0 = 162;
    static constexpr int AnalogInput1 = 164;
    static constexpr int AnalogOutput0 = 166;
    static constexpr int AnalogOutput1 = 167;
    static constexpr int ResolverPeriod = 184; // milliseconds per stroke
    static constexpr int ScaleFactor = 186;
    static constexpr int Offset = 188;
    static constexpr int Slot0Inputs = 100;  // B100, B101
    static constexpr int Slot1Outputs = 110; // B110, B111 (B110.6 is the all-clear bit)
    static constexpr int Slot2Inputs = 120;  // B120, B121: cup drop sensors
    // Where in the stroke the cups drop, degrees.
    static constexpr double CupDropFrom = 150;
    static constexpr double CupDropTo = 230;

    IoWords(BoardMemory& memory, const PlsBoard& pls) : m_memory(memory), m_pls(pls) {}

    void publish(const Machine& machine);

private:
    void publishSlot0(const Machine& machine);
    void publishSlot1(const Machine& machine);
    void publishSlot2(const Machine& machine);

    BoardMemory& m_memory;
    const PlsBoard& m_pls;
};
