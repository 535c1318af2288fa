#pragma once

#include "SetupHistory.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class DataTransfer;
class FileDialogs;
class HistoryKeeper;
class Prompt;
class RSComm;
struct SetupRecord;
struct SharedState;

// What every view and modal window works with: the one link to the board,
// the program-wide data, the prompt, the file dialogs and the way back to
// offline mode. Windows get this instead of the main window, so that none
// of them depends on it.
class ViewContext final : public QObject {
    Q_OBJECT
public:
    ViewContext(RSComm& link, SharedState& shared, Prompt& prompt, FileDialogs& fileDialogs,
                QString programFolder, QObject* parent = nullptr);

    RSComm& link() const { return m_link; }
    SharedState& shared() const { return m_shared; }
    Prompt& prompt() const { return m_prompt; }
    FileDialogs& fileDialogs() const { return *m_fileDialogs; }
    void setFileDialogs(FileDialogs& dialogs) { m_fileDialogs = &dialogs; }
    const QString& programFolder() const { return m_programFolder; }
    // The folder of the set-up file in memory: where file dialogs start.
    QString setupFolder() const;

    // A window's write to the board: only online, with no comm error, and
    // never inside another transaction's message box (it would interleave
    // with it). False when nothing was written.
    bool WriteIfOnline(const QString& address, const QString& value) const;

    // After a failed transaction: the link goes offline.
    void GoOffline() const;
    // Offline, asks "Program is Currently OFFLINE ... Do You Wish to Switch
    // to ONLINE MODE to Continue?" and on Yes goes online. True when online
    // already or the answer was Yes, whether or not the board then answered.
    bool OfferToGoOnline() const;

    // Before memory gives way to another board: "Save Changes to File?" where
    // the data changed; true when the command may go on. The main window
    // says how (without it: always).
    bool SaveOrDiscardChanges() const { return !m_saveOrDiscard || m_saveOrDiscard(); }
    void setSaveOrDiscardChanges(std::function<bool()> ask) { m_saveOrDiscard = std::move(ask); }

    // Commands that layers above the main window add to its menus: File
    // Print, the target board window for a checked project file, and the
    // Plant window. The
    // menu item of each is available once its command is given.
    void setPrintCommand(std::function<void()> command);
    const std::function<void()>& printCommand() const { return m_printCommand; }
    void setTargetBoardOpener(std::function<void(const QString&)> open);
    const std::function<void(const QString&)>& targetBoardOpener() const {
        return m_targetBoardOpener;
    }
    // Window, Plant: every press on the plant's broker.
    void setPlantOpener(std::function<void()> open);
    const std::function<void()>& plantOpener() const { return m_plantOpener; }

    // The set-up history the windows keep their snapshots in (none: they
    // keep none), and the device the link talks through.
    void setHistory(HistoryKeeper* keeper, std::function<QString()> boardDevice);
    HistoryKeeper* history() const { return m_history; }
    QString boardDevice() const { return m_boardDevice ? m_boardDevice() : QString(); }
    // What the board said it is on this connection, as far as a window read
    // it anyway (the target board window's ident block); a snapshot keeps it.
    const SnapshotBoard& knownBoard() const { return m_knownBoard; }
    void setKnownBoard(const SnapshotBoard& board) { m_knownBoard = board; }
    // A snapshot of the record, taken by a window (action: "compare",
    // "snapshot"); its number, or nullopt when none was kept.
    std::optional<qint64> TakeSnapshot(const QString& action, int groups,
                                       const SetupRecord& record) const;
    // The snapshot after a group transfer of the record, if one is due.
    void TakeSnapshotAfter(const DataTransfer& transfer, const SetupRecord& record) const;

    // CurrentData was replaced as a whole (New, Open, Upload): DataReplaced
    // is set, every edit in progress is dropped and the views show the new
    // values.
    void NotifyDataReplaced();

signals:
    void dataReplaced();
    void commandsChanged();

private:
    RSComm& m_link;
    SharedState& m_shared;
    Prompt& m_prompt;
    FileDialogs* m_fileDialogs;
    QString m_programFolder;
    std::function<void()> m_printCommand;
    std::function<void(const QString&)> m_targetBoardOpener;
    std::function<void()> m_plantOpener;
    std::function<bool()> m_saveOrDiscard;
    HistoryKeeper* m_history = nullptr;
    std::function<QString()> m_boardDevice;
    SnapshotBoard m_knownBoard;
};
