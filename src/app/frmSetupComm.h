#pragma once

#include "Baud.h"
#include "BoardSearch.h"
#include "SerialPortList.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <array>

class FieldEditor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UpDown;
class ViewContext;

// "Comm Port Settings": the port number and speed of the link, and the device
// to open for it (a USB adapter has no port number). Saving writes the port
// settings file and the development system's KORVEL.SFG files, and reopens
// the link when the program was online; the press name goes to the set-up
// history. Shown modally.
class frmSetupComm final : public QDialog {
    Q_OBJECT
public:
    // ports lists the serial ports of this computer for the device drop-down.
    explicit frmSetupComm(ViewContext& context, SerialPortLister ports = SystemSerialPorts,
                          QWidget* parent = nullptr);
    ~frmSetupComm() override;

    void LoadPortSettings();
    // False when the window stays open (a write failed, or the board did not
    // answer after going online again).
    bool SaveSettings();
    void cmdSave_Click();
    void cmdCancel_Click() { reject(); }

    bool WasOnline() const { return m_wasOnline; }
    // The device the settings name; empty: the port number's own device. A
    // path typed into the box counts as it is.
    QString ChosenDevice() const;
    // The speed the window's buttons say.
    Baud ChosenSpeed() const;

    // Looks for the board on the listed ports and the settings' port (while
    // offline: online, the link owns the port); a second click stops it.
    void cmdFindBoard_Click();
    // Lists the system's ports again.
    void cmdRefresh_Click();
    // The name of the press the device is connected to, as the set-up
    // history lists it (empty: none); Save gives it to the device saved.
    QString PressName() const;
    bool Searching() const;

private:
    void Form_Load();
    void buildLayout();
    void FillDeviceList(const QString& device);
    void ShowAccessHint();
    void SaveError(int number, const QString& description);
    // Why the device typed into the box cannot be saved; nullopt when it can.
    std::optional<QString> TypedDeviceProblem() const;
    static QString FoundAt(const BoardSearch::Board& board);
    // The device box holds a path the user typed, not one of the list.
    bool DeviceTyped() const;
    void SearchFinished();
    void FillFoundBoard(const QString& device, int baud);
    void ShowPressName(const QString& device);
    void SavePressName(const QString& device);
    void ShowSearchState();

    ViewContext& m_context;
    SerialPortLister m_listPorts;
    QList<SerialPortEntry> m_ports;
    bool m_wasOnline = false;
    QString m_fileDevice; // the device the settings file makes the link open
    BoardSearch* m_search = nullptr;

    QLineEdit* txtCommPort = nullptr;
    UpDown* updCommPort = nullptr;
    std::array<QRadioButton*, 2> optPortSpeed{};
    QComboBox* cboDevice = nullptr;
    QLabel* lblDeviceHint = nullptr;
    QPushButton* cmdFindBoard = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QLabel* lblSearch = nullptr;
    QLineEdit* txtPressName = nullptr;
    QString m_pressDevice; // the device whose press name the box was given
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* m_focusButton = nullptr;
    FieldEditor* m_editor = nullptr;
};
