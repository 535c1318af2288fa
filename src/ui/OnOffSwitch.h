#pragma once

#include <QCheckBox>

// A check box for an on/off register whose third, grayed state means "value
// not known yet". Only the program shows it: a click always turns the switch
// on or off.
class OnOffSwitch final : public QCheckBox {
    Q_OBJECT
public:
    explicit OnOffSwitch(const QString& caption, QWidget* parent = nullptr);

    // 0 off, 1 on; any other value shows grayed. Never emits clicked.
    void showValue(qint64 value);
    void showGrayed() { setCheckState(Qt::PartiallyChecked); }
    bool isGrayed() const { return checkState() == Qt::PartiallyChecked; }

protected:
    void nextCheckState() override;
};
