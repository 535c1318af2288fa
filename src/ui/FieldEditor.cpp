#include "FieldEditor.h"

#include "DisplayFormat.h"
#include "EntryChecks.h"
#include "NumberText.h"
#include "Prompt.h"
#include "RSComm.h"
#include "SharedRoutines.h"
#include "UpDown.h"
#include "ViewContext.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

const char* const CausesValidationProperty = "causesValidation";

// Focus that leaves for a menu, a message box or another window, and comes
// back from one, is no move between the window's controls.
bool movesBetweenControls(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

// A number as plain decimal text: whole numbers without a decimal point.
QString DecimalText(double value) {
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

} // namespace

FieldEditor::FieldEditor(Prompt& prompt, QWidget* focusButton, QObject* parent)
    : QObject(parent), m_prompt(prompt), m_focusButton(focusButton) {
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

FieldEditor::FieldEditor(ViewContext& context, QWidget* focusButton, QObject* parent)
    : FieldEditor(context.prompt(), focusButton, parent) {
    m_link = &context.link();
}

int FieldEditor::addField(QLineEdit* text, UpDown* upDown, const FieldSettings& settings) {
    const int index = int(m_fields.size());
    Field field;
    field.text = text;
    field.upDown = upDown;
    field.settings = settings;
    m_fields.append(field);
    text->installEventFilter(this);
    upDown->setRange(settings.min, settings.max);
    if (settings.value == FieldValue::Committed)
        upDown->bind([this, index] { return m_fields[index].committed; },
                     [this, index](const QString& value) { m_fields[index].committed = value; });
    else
        upDown->bind([text] { return text->text(); },
                     [text](const QString& value) { text->setText(value); });
    connect(upDown, &UpDown::arrowClicked, this,
            [this, index](int direction) { ArrowClicked(index, direction); });
    return index;
}

int FieldEditor::indexOf(const QObject* object) const {
    if (!object)
        return -1;
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].text == object)
            return i;
    return -1;
}

QString FieldEditor::shown(const Field& field, const QString& value) const {
    return field.settings.degreeSign ? value + DisplayFormat::DegreeSign : value;
}

bool FieldEditor::showValue(int index, const QString& value) {
    Field& field = m_fields[index];
    if (field.editActive)
        return false;
    if (field.settings.value == FieldValue::Committed)
        field.committed = value;
    const QString text = shown(field, value);
    // Setting the same text again would move the caret under the user's hand.
    if (field.text->text() != text)
        field.text->setText(text);
    return true;
}

void FieldEditor::showText(int index, const QString& text) {
    m_fields[index].text->setText(text);
}

QString FieldEditor::committed(int index) const {
    return m_fields[index].committed;
}

qint32 FieldEditor::wholeValue(int index) const {
    const Field& field = m_fields[index];
    return WholeValue(field.settings.value == FieldValue::Committed ? field.committed
                                                                    : field.text->text());
}

bool FieldEditor::EditActive(int index) const {
    return m_fields[index].editActive;
}

qint32 FieldEditor::EditStartValue(int index) const {
    return m_fields[index].editStartValue;
}

qint32 FieldEditor::WholeValue(const QString& text) {
    return NumberText::wholeInt32(text);
}

bool FieldEditor::IsPlaceholder(const QString& text) {
    return text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("---") ||
           text == QLatin1String("****");
}

bool FieldEditor::linkBusy() const {
    return m_link && m_link->Busy();
}

// A committed value kept apart from the text is a value whatever shows; a
// value kept in the shown text is none while a placeholder shows.
bool FieldEditor::hasValue(const Field& field) const {
    if (field.settings.value == FieldValue::Committed)
        return !field.committed.isEmpty();
    return !IsPlaceholder(field.text->text());
}

// What Esc and a refusal bring back: the start value, or the placeholder of
// a field entered without one (never a 0 nobody chose).
QString FieldEditor::startText(const Field& field) const {
    return field.enteredBlank ? field.entryText : QString::number(field.editStartValue);
}

QString FieldEditor::RangeMessage(int min, int max) {
    return EntryChecks::RangeMessage({min, max});
}

void FieldEditor::setCausesValidation(QWidget* control, bool causes) {
    control->setProperty(CausesValidationProperty, causes);
}

bool FieldEditor::causesValidation(const QWidget* control) {
    if (!control)
        return false;
    const QVariant causes = control->property(CausesValidationProperty);
    return !causes.isValid() || causes.toBool();
}

bool FieldEditor::eventFilter(QObject* watched, QEvent* event) {
    const int index = indexOf(watched);
    if (index < 0 || !isLive())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // Back from a menu, or from a message box or another window to a
        // field still being edited: the edit goes on.
        if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason ||
            (reason == Qt::ActiveWindowFocusReason && m_fields[index].editActive))
            break;
        // Back from a container that took the focus for a click on the
        // window's background: the edit goes on.
        if (m_parked == index) {
            m_parked = -1;
            break;
        }
        // While a refused field takes the focus back, the control the focus
        // passes through is not entered.
        if (m_validating || (m_refocus >= 0 && m_refocus != index))
            break;
        // A field left through a container is left now.
        if (m_parked >= 0 && !Leave(std::exchange(m_parked, -1), m_fields[index].text))
            break;
        m_refocus = -1;
        GotFocus(index);
        break;
    }
    case QEvent::FocusOut:
        if (movesBetweenControls(static_cast<QFocusEvent*>(event)->reason()))
            LostFocus(index);
        break;
    case QEvent::MouseButtonRelease:
        // A click into the field enters it again: the whole text is selected.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
            m_fields[index].text->hasFocus() && m_refocus < 0)
            GotFocus(index);
        break;
    case QEvent::ShortcutOverride: {
        // A field would take Ctrl+X for Cut; the main window's command of
        // that key comes first.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_X)) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        return KeyPress(index, static_cast<QKeyEvent*>(event));
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FieldEditor::GotFocus(int index) {
    Field& field = m_fields[index];
    field.editActive = true;
    m_escPending = false;
    const bool committedValue = field.settings.value == FieldValue::Committed;
    field.editStartValue = WholeValue(committedValue ? field.committed : field.text->text());
    field.enteredBlank = !hasValue(field);
    field.entryText = field.text->text();
    if (field.settings.rewriteOnEntry && !field.enteredBlank)
        field.text->setText(QString::number(field.editStartValue));
    SelectAllText(field.text);
}

bool FieldEditor::KeyPress(int index, QKeyEvent* key) {
    Field& field = m_fields[index];
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_escPending = false;
        if (field.settings.enterTarget) {
            field.settings.enterTarget->setFocus(Qt::TabFocusReason);
        } else {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(field.text, &tab);
        }
        return true;
    case Qt::Key_Escape:
        field.text->setText(startText(field));
        if (m_escPending) {
            m_escPending = false;
            field.editActive = false;
            m_focusButton->setFocus(Qt::OtherFocusReason);
        } else {
            m_escPending = true;
            SelectAllText(field.text);
        }
        return true;
    default:
        if (!key->text().isEmpty())
            m_escPending = false;
        return false;
    }
}

void FieldEditor::LostFocus(int index) {
    // The range message takes the focus itself; a focus button move while
    // edits are abandoned commits nothing; a control passed through on the
    // way back to a refused field was never entered.
    if (m_validating || m_abandoning || m_refocus >= 0)
        return;
    Field& field = m_fields[index];
    // Disabled under the user's hand (a change of mode): the edit ends
    // uncommitted. Hidden (its tab page changed) it is left as any field is.
    if (!field.text->isEnabled()) {
        field.editActive = false;
        return;
    }
    // A click on the window's background gives the focus to a container
    // (the child window), which hands it back: no move between controls.
    QWidget* next = QApplication::focusWidget();
    if (next && next->isAncestorOf(field.text)) {
        m_parked = index;
        return;
    }
    Leave(index, next);
}

// The focus left a field for another control: validation, unless the field
// validates only for controls that cause it. False when the field keeps it.
bool FieldEditor::Leave(int index, const QWidget* next) {
    Field& field = m_fields[index];
    if (!field.settings.validateOnEveryLeave && !causesValidation(next)) {
        // Checked when a control that causes validation uses the value.
        field.editActive = false;
        return true;
    }
    if (linkBusy()) {
        TakeBack(index);
        return false;
    }
    return Validate(index);
}

// The focus left a field while a transaction runs. Only a timer moves it
// then (the user's input waits for the link), and a commit now would be
// stored but never written: the field takes the focus back and its edit goes
// on, so that nothing accepted is ever left unwritten.
void FieldEditor::TakeBack(int index) {
    m_refused = true;
    m_refocus = index;
    QTimer::singleShot(0, m_fields[index].text, [this, index] { Refocus(index, Resume::Edit); });
}

// A container kept the focus it took from a field, and the focus has now
// gone on to a control other than a field of this editor.
void FieldEditor::FocusChanged(QWidget* now) {
    if (m_parked < 0 || !now || !isLive() || indexOf(now) >= 0)
        return;
    QLineEdit* parked = m_fields[m_parked].text;
    if (now == parked || now->isAncestorOf(parked) || now->window() != parked->window())
        return;
    Leave(std::exchange(m_parked, -1), now);
}

bool FieldEditor::Validate(int index) {
    if (m_validating)
        return false;
    QScopedValueRollback<bool> validating(m_validating, true);
    Field& field = m_fields[index];
    // Every way out but a refusal ends the edit, so that refreshes show the
    // field's value again.
    const auto ended = [&field] {
        field.editActive = false;
        return true;
    };
    const QString text = field.text->text();
    // Nothing typed over a placeholder, or a marker: no edit, and nothing to say.
    if ((IsPlaceholder(text) && !field.text->isModified()) || field.settings.markers.contains(text))
        return ended();
    const int min = field.upDown->Min();
    const int max = field.upDown->Max();
    const bool committedValue = field.settings.value == FieldValue::Committed;
    QString candidate = text;
    if (committedValue && text.contains(DisplayFormat::DegreeSign))
        candidate = DecimalText(NumberText::leadingNumber(text));
    const double typed = NumberText::leadingNumber(text);
    if (typed > max || typed < min || !NumberText::isNumeric(candidate)) {
        m_prompt.message(field.settings.messageTitle, RangeMessage(min, max),
                         Prompt::Icon::Information, Prompt::Buttons::Ok);
        Refuse(index);
        return false;
    }
    if (committedValue)
        field.committed = candidate;
    const qint32 value = WholeValue(candidate);
    if (field.settings.rewriteAccepted)
        field.text->setText(QString::number(value));
    if (field.settings.unchangedIsNoEdit && value == field.editStartValue)
        return ended();
    if (accept && !accept(index, value, candidate)) {
        Refuse(index);
        return false;
    }
    return ended();
}

// The focus move is refused: the start value comes back and the field takes
// the focus again once the move under way has ended.
void FieldEditor::Refuse(int index) {
    Field& field = m_fields[index];
    m_refused = true;
    const QString start = startText(field);
    if (field.enteredBlank) {
        if (field.settings.value == FieldValue::Committed)
            field.committed.clear();
        field.text->setText(start);
    } else if (field.settings.value == FieldValue::Committed) {
        field.committed = start;
        field.text->setText(shown(field, start));
    } else {
        field.text->setText(start);
    }
    SelectAllText(field.text);
    if (field.text->hasFocus())
        return; // no move to undo (a button validated the field)
    m_refocus = index;
    QTimer::singleShot(0, field.text, [this, index] { Refocus(index, Resume::Entry); });
}

void FieldEditor::Refocus(int index, Resume resume) {
    if (m_refocus != index)
        return; // edits were abandoned meanwhile
    QLineEdit* text = m_fields[index].text;
    const bool canTakeFocus = isLive() && text->isEnabled() && text->isVisible();
    // Still marked while the focus moves, so that the control it leaves
    // counts as never entered. An edit that goes on comes back as from
    // another window: its start value and text stay.
    if (canTakeFocus)
        text->setFocus(resume == Resume::Edit ? Qt::ActiveWindowFocusReason : Qt::OtherFocusReason);
    m_refocus = -1;
    // A field that cannot take the focus back ends its edit: refreshes
    // show its value again.
    if (!canTakeFocus)
        m_fields[index].editActive = false;
    if (resume == Resume::Entry)
        SelectAllText(text);
}

void FieldEditor::AbandonEdits() {
    for (Field& field : m_fields)
        field.editActive = false;
    m_escPending = false;
    m_refocus = -1;
    m_parked = -1;
    if (indexOf(QApplication::focusWidget()) >= 0) {
        QScopedValueRollback<bool> abandoning(m_abandoning, true);
        m_focusButton->setFocus(Qt::OtherFocusReason);
    }
}

bool FieldEditor::EndEdit() {
    if (indexOf(QApplication::focusWidget()) < 0)
        return true;
    m_refused = false;
    m_focusButton->setFocus(Qt::OtherFocusReason);
    return !m_refused;
}

void FieldEditor::ArrowClicked(int index, int direction) {
    // Inside another transaction a step would be stored but not written.
    if (!isLive() || linkBusy())
        return;
    // A placeholder is no value to step from: the arrows do nothing.
    if (!hasValue(m_fields[index]))
        return;
    // The up-down takes the click as a control that takes the focus would:
    // the edit in progress is validated first, and a refusal keeps the user
    // in that field with nothing stepped.
    if (!EndEdit())
        return;
    if (!m_fields[index].upDown->step(direction))
        return;
    UpDownChange(index);
}

void FieldEditor::UpDownChange(int index) {
    m_fields[index].editActive = false;
    m_escPending = false;
    if (m_fields[index].settings.arrowEndsEdit)
        m_focusButton->setFocus(Qt::OtherFocusReason);
    if (change)
        change(index);
}
