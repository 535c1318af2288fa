#pragma once

#include "Address.h"
#include "BoardIdentity.h"
#include "BoardLink.h"
#include "PlsOperations.h"
#include "ProgramLoading.h"
#include "ProgramProject.h"
#include "SerialPort.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

class Clock;
class LongWait;
class Prompt;

// The one object through which the program talks to the target board, with
// the members, texts and properties the program has always used. It stands
// on the link core (BoardLink) and adds what belongs to the program: the
// questions asked when the board is silent, the entry alerts, CommError and
// OnlineMode, the port settings file, and answers in text. PLS commands,
// program projects and the board's identity are classes of their own that
// its members forward to.
class RSComm final : public QObject, private ExchangeObserver {
    Q_OBJECT
public:
    static constexpr int NoReply = 9999;
    // A reply awaited this long makes a long wait (see setLongWait).
    static constexpr int LongWaitMs = BoardLink::LongWaitMs;
    static constexpr int LongWaitSliceMs = BoardLink::LongWaitSliceMs;

    // programFolder holds Support/RSPort.cfg and support/FaultErrCodes.txt;
    // commControl is the port GoOnline opens (none: the one OpenRSComm had).
    RSComm(Prompt& prompt, Clock& clock, QString programFolder, SerialPort* commControl = nullptr);
    ~RSComm() override;

    // The core the link stands on: its transactions, its observers.
    BoardLink& core() { return m_core; }

    // --- state -------------------------------------------------------------
    bool OnlineMode() const { return m_onlineMode; }
    // Sets the mode as such (the program download keeps polling off the link
    // this way); GoOnline and GoOffline make the link follow.
    void setOnlineMode(bool on);
    bool CommError() const { return m_core.failed(); }
    void setCommError(bool error) { m_core.setFailed(error); }
    bool CommErrorAlert() const { return m_commErrorAlert; }
    void setCommErrorAlert(bool alert) { m_commErrorAlert = alert; }
    int TargetboardType() const { return m_targetboardType; }
    void setTargetboardType(int type) { m_targetboardType = type; }
    QString CommSettingsFile() const;

    // Going online opens the link on the comm control with the port settings
    // file and greets the board; going offline closes it. True when online.
    bool GoOnline();
    void GoOffline();

    // A transaction is running (message boxes inside it run nested event
    // loops; timers and pollers that find the link busy skip their turn).
    bool Busy() const { return m_core.busy(); }
    // Runs transactions that belong together as one: timers and pollers that
    // run inside their waits find the link busy until all are done.
    template <typename Transactions> auto AsOneTransaction(Transactions transactions) {
        BoardLink::Transaction transaction(m_core);
        return transactions();
    }
    // Told of every long wait for a reply (none: the link just waits).
    void setLongWait(LongWait* longWait);

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
    // The board mode of the last handshake: 0 none, 1 read, 2 write, 3..8 PLS.
    int BoardMode() const { return m_core.mode(); }

    // --- board identity and faults ------------------------------------------
    static QString TargetboardName(int boardType) {
        return BoardIdentity::TargetboardName(boardType);
    }
    static QString LCFBoardIndex(int boardType) { return BoardIdentity::LCFBoardIndex(boardType); }
    int FaultCode();
    QString FaultDescription(int fltCode) { return m_identity.FaultDescription(fltCode); }
    int FirmwareRev();

    // --- program files and transfer -------------------------------------------
    // Selects a project (.kvl) for the download and checks it; sets ValidProgram.
    void setDownloadFile(const QString& KVL_FileName) { m_project.setDownloadFile(KVL_FileName); }
    // Selects the project the upload writes into; no checks.
    void setUploadFile(const QString& KVL_FileName) { m_project.setUploadFile(KVL_FileName); }
    bool ValidProgram() const { return m_project.ValidProgram(); }
    // The selected project: its files, board code, ident and configuration.
    const ProgramProject& Project() const { return m_project; }
    static QString MarkHex2HEX(QString& MarkHEX) { return ProgramProject::MarkHex2HEX(MarkHEX); }
    static QString HEX2MarkHEX(QString& HexCode) { return ProgramProject::HEX2MarkHEX(HexCode); }
    bool InProgramMode() const { return m_loading.InProgramMode(); }
    bool InUploadMode() const { return m_loading.InUploadMode(); }
    void setInUploadMode(bool uploadMode) { m_loading.setInUploadMode(uploadMode); }
    bool WritingIdent() const { return m_loading.WritingIdent(); }
    bool ReadingIdent() const { return m_loading.ReadingIdent(); }
    QString CurrentProgramAdd() const { return m_loading.CurrentProgramAdd(); }
    // The program transfer works through this.
    ProgramLoading& Loading() { return m_loading; }
    // The whole download of the selected project into the board, or upload of
    // the board's program into it (if InUploadMode), reported by message
    // boxes; true after "Program Download Complete!" / "Program Upload
    // Complete!". Windows run the same job step by step (ProgramTransfer).
    bool DumpProgram();
    bool UploadProgram();

    // --- addresses and numbers (no link traffic) ------------------------------
    static QString EquateAdd(const QString& var, int targetBoardIndex) {
        return Address::equateAdd(var, targetBoardIndex);
    }
    static bool ValidAdd(const QString& var, int targetBoardIndex) {
        return Address::validAdd(var, targetBoardIndex);
    }
    // nullopt where the result leaves the 16-bit signed range.
    static std::optional<int> Dec2Octal(int decNum) { return Address::dec2Octal(decNum); }
    static std::optional<int> Octal2Dec(int octNum) { return Address::octal2Dec(octNum); }

    // --- PLS ------------------------------------------------------------------
    // Word reads: the value in decimal, "-9999" when the read failed.
    QString PLSScaleFactor() { return PlsWord(BoardProtocol::PlsReadScale); }
    QString PLSOffset() { return PlsWord(BoardProtocol::PlsReadOffset); }
    QString PLSPos() { return PlsWord(BoardProtocol::PlsReadPosition); }
    QString PLSRpm() { return PlsWord(BoardProtocol::PlsReadSpeed); }
    // The setpoint of the last RecallChannel and what it is: 1 ON, 0 OFF,
    // another value when the channel is not programmed.
    int ChannelRecallPos() const { return m_pls.ChannelRecallPos(); }
    int ChannelRecallState() const { return m_pls.ChannelRecallState(); }
    bool SingleSetpoint(int Chan, int OnSetpoint, int OffSetpoint, bool ClearChan) {
        return m_pls.SingleSetpoint(Chan, OnSetpoint, OffSetpoint, ClearChan);
    }
    bool PulseTrain(int Chan, int ON_Division, int OFF_Division, int START_Division) {
        return m_pls.PulseTrain(Chan, ON_Division, OFF_Division, START_Division);
    }
    bool ClearPLSChan(int Chan) { return m_pls.ClearPLSChan(Chan); }
    bool RecallChannel(int Chan) { return m_pls.RecallChannel(Chan); }
    // Sets the offset so that the present position reads as Position.
    bool SetPLSOffset(int Position) { return m_pls.SetPLSOffset(Position); }
    static constexpr int PLSConfigValues = PlsOperations::ConfigValues;
    static constexpr int PLSConfigBytes = PlsOperations::ConfigBytes;
    bool PLSConfigDownload(const std::array<int, PLSConfigValues>& CfgParam, int ScaleFactor) {
        return m_pls.PLSConfigDownload(CfgParam, ScaleFactor);
    }
    std::array<int, PLSConfigBytes> PLSConfigUpload() { return m_pls.PLSConfigUpload(); }
    // The last PLSConfigUpload broke off (its array is partly old).
    bool LastPLSConfigUploadFailed() const { return m_pls.LastPLSConfigUploadFailed(); }

signals:
    // OnlineMode changed, whoever changed it; or a go-online ended offline
    // (goOnlineFailed), where the mode stays what it was.
    void onlineModeChanged(bool online, bool goOnlineFailed);

private:
    void exchanged(const Exchange& exchange) override;
    void setOnline(bool online);
    BoardLink::Answer OnSilence(BoardLink::Silence silence, const QString& reason);
    QString PlsWord(int command);

    Prompt& m_prompt;
    QString m_programFolder;
    SerialPort* m_commControl;
    BoardLink m_core;
    ProgramProject m_project;
    ProgramLoading m_loading;
    PlsOperations m_pls;
    BoardIdentity m_identity;

    bool m_onlineMode = false;
    bool m_commErrorAlert = false;
    int m_targetboardType = 0;
    bool m_lastReadFailed = false;
    bool m_lastWriteFailed = false;
    bool m_lastWriteRefused = false;
    // Consecutive reads of one address text parse it once.
    QString m_readCacheText;
    ParsedAddress m_readCacheAddress;
};
