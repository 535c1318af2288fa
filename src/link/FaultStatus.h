#pragma once

#include <QString>
#include <array>
#include <optional>

class RSComm;

// The board's fault status as the Target Board Interface shows it: six code
// slots read from the board, their descriptions from the two code text
// tables, and the corrective action chosen by the last fault code. No
// widgets: the window and telvane-cli read it the same way.
struct FaultStatus {
    static constexpr int Slots = 6;
    static constexpr int CoCpuSlot = 2;
    static constexpr int ActionSlot = 3;
    // The registers of the six slots; the last fault is read twice, the
    // second time for the corrective action.
    static constexpr std::array<int, Slots> Registers{8176, 8177, 8175, 8177, 8179, 8178};
    // The code text of a slot the board did not answer for.
    static inline const QString NoAnswer = QStringLiteral("42");

    // Upper-case hexadecimal of two digits at least; "42" when the link
    // failed; empty when not read.
    std::array<QString, Slots> codeText;
    // "CO-CPU Slot: " follows this text (decimal).
    QString coCpuSlot;
    // From the tables; nullopt: no record (or no table), the field keeps
    // what it showed.
    std::array<std::optional<QString>, Slots> description;
    QString correctiveAction;
    bool resetEnabled = false;

    // "Current Fault: Code = 0AH" and the others; empty for slot 3, and for a
    // slot not read yet.
    QString label(int slot) const;
    static QString CorrectiveAction(int lastFault);
    // The slot's code text as a number (0 when empty).
    int code(int slot) const;
};

// Reads the status one transaction per step, so that a window's loop can
// run between them; ReadAll runs every step at once.
class FaultStatusReader {
public:
    FaultStatusReader(RSComm& link, QString programFolder);

    // coCpuShown: the CO-CPU slot label shows (board code "2"), which reads
    // the slot again for it.
    void Begin(bool coCpuShown);
    bool Done() const { return m_phase >= FinishPhase; }
    int Phase() const { return m_phase; }
    // One board transaction at most; the tables are read after the last.
    // False when a code text table could not be read: errorNumber and
    // errorString say why, and the reading ended there.
    bool Step();
    // The link failed: every slot not read yet gets the code text of a board
    // that does not answer, and the reading ends without traffic.
    bool FinishUnread();
    const FaultStatus& status() const { return m_status; }
    int errorNumber() const { return m_errorNumber; }
    const QString& errorString() const { return m_errorString; }

    // Every step at once; false as for Step.
    bool ReadAll(bool coCpuShown);

    QString faultTable() const;
    QString commTable() const;

private:
    static constexpr int CoCpuPhase = FaultStatus::Slots;
    static constexpr int FinishPhase = FaultStatus::Slots + 1;
    void ReadSlot(int slot);
    bool Finish();
    bool Describe(const QString& table, int slot);

    RSComm& m_link;
    QString m_programFolder;
    FaultStatus m_status;
    bool m_coCpuShown = false;
    int m_phase = FinishPhase;
    int m_errorNumber = 0;
    QString m_errorString;
};
