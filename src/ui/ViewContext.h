#pragma once

#include <QObject>
#include <QString>
#include <functional>

class FileDialogs;
class Prompt;
class RSComm;
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

    // Commands that layers above the main window add to its menus: File
    // Print, and the target board window for a checked project file. The
    // menu item of each is available once its command is given.
    void setPrintCommand(std::function<void()> command);
    const std::function<void()>& printCommand() const { return m_printCommand; }
    void setTargetBoardOpener(std::function<void(const QString&)> open);
    const std::function<void(const QString&)>& targetBoardOpener() const {
        return m_targetBoardOpener;
    }

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
};
