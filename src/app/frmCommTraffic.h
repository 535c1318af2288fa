#pragma once

#include "CommTrafficLog.h"

#include <QAbstractScrollArea>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;
class ViewContext;

// The lines of a CommTrafficLog, painted as they come into view: only the
// rows on screen are ever formatted.
class TrafficView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    TrafficView(const CommTrafficLog& log, QWidget* parent);
    // Follows the log: the scroll range, and the newest line while the view
    // shows the end.
    void refresh();
    QString lineAt(int row) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int visibleRows() const;

    const CommTrafficLog& m_log;
    int m_rowHeight;
};

// Comm Traffic: every exchange of the link live, with its time, the byte
// sent and the byte answered, and what it means; resends, time-outs, wrong
// echoes and lost connections in colour; the last minute's counts. It
// watches the link only while it is open.
class frmCommTraffic final : public QWidget {
    Q_OBJECT
public:
    static constexpr int RefreshMs = 200;

    frmCommTraffic(ViewContext& context, QWidget* parent);
    ~frmCommTraffic() override;

    const CommTrafficLog& log() const { return m_log; }
    QString CountsText() const;

    void cmdPause_Click();
    void cmdClear_Click();
    void cmdSaveAs_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Refresh();
    void Watch(bool on);

    ViewContext& m_context;
    CommTrafficLog m_log;
    bool m_watching = false;
    quint64 m_shownKept = ~quint64(0);
    TrafficView* lstTraffic = nullptr;
    QLabel* lblCounts = nullptr;
    QPushButton* cmdPause = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdSaveAs = nullptr;
    QTimer m_refresh;
};
