#pragma once

#include "DataTransfer.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class Stepper;
class ViewContext;

// The small modal window that performs the transfer SharedState::TransferRequest
// names: a status caption, a progress bar and Cancel. The transfer starts once
// the window is on screen and runs one board operation per step; the window
// hides itself when the transfer is over.
class frmProcessing final : public QDialog {
    Q_OBJECT
public:
    explicit frmProcessing(ViewContext& context, QWidget* parent = nullptr);
    // Reads the groups (a set of DataTransfer::Group) from the board into
    // target, with the reads of their upload: memory stays as it is.
    frmProcessing(ViewContext& context, SetupRecord& target, int groups, const QString& caption,
                  QWidget* parent = nullptr);
    ~frmProcessing() override;

    const DataTransfer& transfer() const { return m_transfer; }
    bool Finished() const { return m_finished; }

    void cmdCancel_Click();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    void StartTransfer();
    bool TransferStep();
    void TransferEnded();
    void ShowProgress();

    ViewContext& m_context;
    DataTransfer m_transfer;
    Stepper* m_stepper = nullptr;
    QLabel* m_lblProcessing = nullptr;
    QProgressBar* m_prgProcessing = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    bool m_finished = false;
    bool m_intoMemory = true; // the transfer moves CurrentData
};
