#pragma once

#include "Address.h"
#include "LongWait.h"
#include "Prompt.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

class Clock;

// The one object through which the program talks to the target board: a
// byte-by-byte echo protocol over one serial port. Synchronous: each call
// returns when its transaction is over. Failures leave CommError set.
class RSComm {
public:
    static constexpr int NoReply = 9999;
    // A reply awaited this long makes a long wait: from then on the link waits
    // in slices and gives the program a turn between them.
    static constexpr int LongWaitMs = 100;
    static constexpr int LongWaitSliceMs = 50;

    // programFolder holds Support/RSPort.cfg and support/FaultErrCodes.txt.
    RSComm(Prompt& prompt, Clock& clock, QString programFolder);
    ~RSComm();
    RSComm(const RSComm&) = delete;
    RSComm& operator=(const RSComm&) = delete;

    // --- state -------------------------------------------------------------
    bool OnlineMode() const { return m_onlineMode; }
    void setOnlineMode(bool on) { m_onlineMode = on; }
    bool CommError() const { return m_commError; }
    void setCommError(bool error) { m_commError = error; }
    bool CommErrorAlert() const { return m_commErrorAlert; }
    void setCommErrorAlert(bool alert) { m_commErrorAlert = alert; }
    int TargetboardType() const { return m_targetboardType; }
    void setTargetboardType(int type) { m_targetboardType = type; }
    QString CommSettingsFile() const { return PortSettingsPath(); }

    // A transaction is running (message boxes inside it run nested event
    // loops; timers and pollers that find the link busy skip their turn).
    bool Busy() const { return m_busyDepth > 0; }
    // Told of every long wait for a reply (none: the link just waits).
    void setLongWait(LongWait* longWait) { m_longWait = longWait; }

    // The last RSRead / RSWrite finally failed (after its one repeat): a
    // time-out, a wrong echo twice, a failed handshake or a bad address.
    bool LastReadFailed() const { return m_lastReadFailed; }
    bool LastWriteFailed() const { return m_lastWriteFailed; }
    // The last RSWrite was refused with an entry alert; nothing was sent.
    bool LastWriteRefused() const { return m_lastWriteRefused; }

    // --- link --------------------------------------------------------------
    void OpenRSComm(SerialPort& commObj);
    // The same with settings the caller chose: the port settings file is
    // neither read nor written.
    void OpenRSComm(SerialPort& commObj, const PortSettings& settings);
    void CloseRSComm();
    QString RSRead(const QString& add);
    void RSWrite(const QString& add, const QString& dataValue);

    // --- board identity and faults ------------------------------------------
    static QString TargetboardName(int boardType);
    static QString LCFBoardIndex(int boardType);
    int FaultCode();
    QString FaultDescription(int fltCode);
    int FirmwareRev();

    // --- program transfer status ---------------------------------------------
    bool ValidProgram() const { return m_validProgram; }
    bool InProgramMode() const { return m_inProgramMode; }
    bool InUploadMode() const { return m_inUploadMode; }
    void setInUploadMode(bool uploadMode) { m_inUploadMode = uploadMode; }
    bool WritingIdent() const { return m_writingIdent; }
    bool ReadingIdent() const { return m_readingIdent; }
    QString CurrentProgramAdd() const { return m_currentProgramAdd; }
    // The whole download of the selected project into the board, or upload of
    // the board's program into it (if InUploadMode), reported by message
    // boxes; true after "Program Download Complete!" / "Program Upload
    // Complete!". Windows run the same job step by step (ProgramTransfer).
    bool DumpProgram();
    bool UploadProgram();

    // --- addresses and numbers (no link traffic) ------------------------------
    static QString EquateAdd(const QString& var, int targetBoardIndex);
    static bool ValidAdd(const QString& var, int targetBoardIndex);
    // nullopt where the result leaves the 16-bit signed range.
    static std::optional<int> Dec2Octal(int decNum);
    static std::optional<int> Octal2Dec(int octNum);

    // The board mode of the last handshake: 0 none, 1 read, 2 write, 3..8 PLS.
    int BoardMode() const { return m_boardMode; }

    // Runs reads that belong together as one transaction: timers and pollers
    // that run inside its waits find the link busy until all are done.
    template <typename Reads> auto AsOneTransaction(Reads reads) {
        BusyGuard busy(*this);
        return reads();
    }

    // --- PLS ------------------------------------------------------------------
    // Word reads: the value in decimal, "-9999" when the read failed.
    QString PLSScaleFactor();
    QString PLSOffset();
    QString PLSPos();
    QString PLSRpm();
    // The setpoint of the last RecallChannel and what it is: 1 ON, 0 OFF,
    // another value when the channel is not programmed.
    int ChannelRecallPos() const { return m_channelRecallPos; }
    int ChannelRecallState() const { return m_channelRecallState; }
    bool SingleSetpoint(int Chan, int OnSetpoint, int OffSetpoint, bool ClearChan);
    bool PulseTrain(int Chan, int ON_Division, int OFF_Division, int START_Division);
    bool ClearPLSChan(int Chan);
    bool RecallChannel(int Chan);
    // Sets the offset so that the present position reads as Position.
    bool SetPLSOffset(int Position);
    static constexpr int PLSConfigValues = 24;
    static constexpr int PLSConfigBytes = 19;
    bool PLSConfigDownload(const std::array<int, PLSConfigValues>& CfgParam, int ScaleFactor);
    std::array<int, PLSConfigBytes> PLSConfigUpload();
    // The last PLSConfigUpload broke off (its array is partly old).
    bool LastPLSConfigUploadFailed() const { return m_lastPlsConfigUploadFailed; }

    // --- program files (no link traffic) ----------------------------------------
    // Selects a project (.kvl) for the download and checks it; sets ValidProgram.
    void setDownloadFile(const QString& KVL_FileName);
    // Selects the project the upload writes into; no checks.
    void setUploadFile(const QString& KVL_FileName);
    // MarkHEX digits ":" ";" "<" "=" ">" "?" to "A".."F" and back; the argument
    // is changed too.
    static QString MarkHex2HEX(QString& MarkHEX);
    static QString HEX2MarkHEX(QString& HexCode);
    // The selected project: its four files, board code and model name.
    QString ProjectFile() const { return m_projectFile; }
    QString RevisionFile() const { return m_revisionFile; }
    QString ProgramFile() const { return m_programFile; }
    QString ConfigurationFile() const { return m_configurationFile; }
    int BoardCode() const { return m_boardCode; }
    QString ProgramTargetboardName() const { return m_programTargetboardName; }
    // From the revision file ("Unknown" until read); checksum and revision in decimal.
    QString FileIdent() const { return m_fileIdent; }
    QString FileChecksum() const { return m_fileChecksum; }
    QString FileRevision() const { return m_fileRevision; }
    // Configuration digits A, B, C from the configuration file (defaults 3, 0, 3).
    std::array<int, 3> ConfigDigits() const { return m_configDigits; }

private:
    // Program loading, for the program transfer alone.
    friend class ProgramLoading;

    // Marks the link busy for the length of a transaction, so that timers and
    // pollers running inside its message boxes leave the port alone.
    class BusyGuard {
    public:
        explicit BusyGuard(RSComm& link) : m_link(link) { ++m_link.m_busyDepth; }
        ~BusyGuard() { --m_link.m_busyDepth; }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

    private:
        RSComm& m_link;
    };

    // Returned by ExchangeByte for a reply that came only after an attention
    // resend: it answers the 255, not the byte sent, so it is never data.
    static constexpr int Resynced = -1;

    QString PortSettingsPath() const;
    QString SupportFile(const QString& name) const;
    bool ConfigurePort(SerialPort& commObj, const PortSettings& settings);
    // The question after a reply did not come; on Retry a lost connection
    // is made again (false when the user cancelled).
    bool AskToRetry();
    PortSettings SettingsFromFile() const;
    int ExchangeByte(int byte, bool noWait = false, bool discard = false);
    // Sends 255 for its answer's own sake: a reply after a resent 255 answers
    // the same byte, so here it is the answer, not only a resync.
    int ExchangeAttention();
    // Waits for a byte until deadline (false: none came). A wait that began at
    // waitStart turns long after LongWaitMs; longWait tracks that.
    class LongWaitScope;
    bool WaitForReply(qint64 deadline, qint64 waitStart, LongWaitScope& longWait);
    // One byte the board sends unasked (a program record's sum); -1 when none
    // came within timeoutMs.
    int AwaitByte(int timeoutMs);
    bool EnterBoardMode(int modeNumber, int modeByte);
    enum class Outcome { Done, WrongEcho, Failed, Refused };
    Outcome ReadRegister(const QString& add, qint64& value);
    Outcome WriteRegister(const QString& add, const QString& dataValue);
    std::optional<quint64> ScanValueText(const QString& dataValue);
    void EntryAlert(const QString& reason);

    // PLS commands: a handshake into a PLS board mode, a few bytes, and for
    // commands that change the PLS the ready poll. Each leaves board mode 0.
    int PlsReadWord(int command);
    bool PlsSendWord(int command, int value);
    bool PlsSendChannelRecord(int command, int channel, int firstWord, int secondWord,
                              int lastByte);
    bool PlsSendParameterGroup(int command, const std::array<int, 6>& values);
    bool PlsSendBytes(int mode, int command, const std::array<int, 6>& bytes);
    bool WaitPlsReady();

    // Program files.
    void DeriveProjectPaths(const QString& kvlFileName);
    bool ReadBoardCode(const QString& kvlFileName, const QString& errorTitle);
    bool ReadRevisionFile(const QString& path);
    bool ReadConfigurationFile(const QString& path);
    void ShowFileError(const QString& title, Prompt::Icon icon, int number,
                       const QString& description);

    Prompt& m_prompt;
    Clock& m_clock;
    QString m_programFolder;
    SerialPort* m_port = nullptr;
    PortSettings m_portSettings; // as the port was opened, for a reconnection
    LongWait* m_longWait = nullptr;

    bool m_onlineMode = false;
    bool m_commError = false;
    bool m_commErrorAlert = false;
    int m_targetboardType = 0;

    int m_boardMode = 0;
    bool m_portSetupFailed = false;
    bool m_lastReadFailed = false;
    int m_resyncReply = 0; // the byte behind ExchangeByte's last Resynced
    bool m_lastWriteFailed = false;
    bool m_lastWriteRefused = false;
    int m_busyDepth = 0;

    struct ReadCache {
        QString address;
        ParsedAddress parsed;
        std::array<quint8, 4> buffer{};
    } m_readCache;

    // Program transfer state.
    bool m_validProgram = false;
    bool m_inProgramMode = false;
    bool m_inUploadMode = false;
    bool m_writingIdent = false;
    bool m_readingIdent = false;
    QString m_currentProgramAdd = QStringLiteral(" ");

    // The selected project (program files).
    QString m_projectFile;
    QString m_revisionFile;
    QString m_programFile;
    QString m_configurationFile;
    QString m_programTargetboardName;
    int m_boardCode = 0;
    QString m_fileIdent = QStringLiteral("Unknown");
    QString m_fileRevision = QStringLiteral("Unknown");
    QString m_fileChecksum = QStringLiteral("Unknown");
    std::array<int, 3> m_configDigits{3, 0, 3};

    // PLS.
    int m_channelRecallPos = 0;
    int m_channelRecallState = 0;
    std::array<int, PLSConfigBytes> m_plsConfig{};
    bool m_lastPlsConfigUploadFailed = false;
};
