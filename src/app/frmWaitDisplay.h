#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPrinter;
class ViewContext;

// The small "Please Standby" window of the print command: shown while the
// report is built on the printer, closed when the job is done. It is not
// modal; the job runs once, right after the window is on screen.
class frmWaitDisplay final : public QDialog {
    Q_OBJECT
public:
    frmWaitDisplay(ViewContext& context, std::unique_ptr<QPrinter> printer, QWidget* parent);
    ~frmWaitDisplay() override;

    // Shows the window and starts the report when ReportRequest is 1.
    void Form_Load();

signals:
    // The job is over (printed, or failed and abandoned); the window is gone.
    void reportDone(bool printed);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}

private:
    void RunReport();

    ViewContext& m_context;
    std::unique_ptr<QPrinter> m_printer;
    QLabel* m_lblWaitDisplay = nullptr;
    bool m_running = false;
};
