#pragma once

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
// the link when the program was online. Shown modally.
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
    // The device the settings name; empty: the port number's own device.
    QString ChosenDevice() const;

private:
    void Form_Load();
    void buildLayout();
    void FillDeviceList(const QString& device);
    void ShowAccessHint();
    void SaveError(int number, const QString& description);

    ViewContext& m_context;
    SerialPortLister m_listPorts;
    QList<SerialPortEntry> m_ports;
    bool m_wasOnline = false;
    QStringList m_boardProgramFolders;

    QLineEdit* txtCommPort = nullptr;
    UpDown* updCommPort = nullptr;
    std::array<QRadioButton*, 2> optPortSpeed{};
    QComboBox* cboDevice = nullptr;
    QLabel* lblDeviceHint = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* m_focusButton = nullptr;
    FieldEditor* m_editor = nullptr;
};
