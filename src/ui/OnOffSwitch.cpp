#include "OnOffSwitch.h"

OnOffSwitch::OnOffSwitch(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    setTristate(true);
}

void OnOffSwitch::showValue(qint64 value) {
    if (value == 0)
        setCheckState(Qt::Unchecked);
    else if (value == 1)
        setCheckState(Qt::Checked);
    else
        setCheckState(Qt::PartiallyChecked);
}

void OnOffSwitch::nextCheckState() {
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}
