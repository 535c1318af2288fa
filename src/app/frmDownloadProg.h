#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

class ProgramTransfer;
class QFrame;
class QLabel;
class Stepper;
class ViewContext;

// The small modal window of a program download (transfer mode 0) or upload
// (mode 1): it runs the transfer one record per step once it is shown, says
// every 250 ms which address is being moved, and closes itself at the end.
// The close box and Esc do nothing while the transfer runs.
class frmDownloadProg final : public QDialog {
    Q_OBJECT
public:
    explicit frmDownloadProg(ViewContext& context, QWidget* parent = nullptr);
    ~frmDownloadProg() override;

    // 0 download, 1 upload; set before the window is shown.
    void SetTransferMode(int Mode);
    int TransferMode() const { return m_transferMode; }
    // The transfer ended with its complete message.
    bool Complete() const { return m_complete; }
    const ProgramTransfer* transfer() const { return m_job.get(); }

    void Timer1_Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Activate();
    void TransferFinished();
    bool Running() const;

    ViewContext& m_context;
    QFrame* fraWaitDisplay = nullptr;
    QLabel* lblWaitDisplay = nullptr;
    QTimer Timer1;
    int m_transferMode = 0;
    bool m_shown = false;
    bool m_finished = false;
    bool m_complete = false;
    std::unique_ptr<ProgramTransfer> m_job;
    Stepper* m_stepper = nullptr;
};
