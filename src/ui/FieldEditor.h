#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class Prompt;
class QKeyEvent;
class RSComm;
class ViewContext;
class QLineEdit;
class QWidget;
class UpDown;

// Where a field's value lives, and so what its up-down steps.
enum class FieldValue {
    // A committed value kept apart from the shown text: the last accepted or
    // last read value as plain decimal, without the degree sign. Refreshes
    // set both; typing changes only the shown text.
    Committed,
    // The shown text alone: the start value is read from it on entering.
    ShownText,
};

// How one field follows the field editing protocol. The defaults are those
// of the set-up parameters view; other windows change what differs for them.
struct FieldSettings {
    int min = 0;
    int max = 0;
    FieldValue value = FieldValue::Committed;
    bool degreeSign = false; // shown after the value; never part of it
    QString messageTitle = QStringLiteral("Set-up");
    // Enter moves the focus here; null: to the next control, as Tab does.
    QWidget* enterTarget = nullptr;
    // False: leaving validates only when the focus moves to a control that
    // causes validation (FieldEditor::setCausesValidation).
    bool validateOnEveryLeave = true;
    // Texts that validation leaves alone (a marker such as "****").
    QStringList markers;
    // Entering rewrites the text as its whole value in plain decimal.
    bool rewriteOnEntry = false;
    // An accepted text is rewritten as its whole value.
    bool rewriteAccepted = false;
    // An accepted value equal to the start value is no edit: the owner is
    // not told.
    bool unchangedIsNoEdit = false;
    // An up-down click moves the focus to the focus button before the owner
    // hears of it.
    bool arrowEndsEdit = true;
};

// The field editing protocol for the numeric fields of one window: entering
// selects the text and remembers the start value; Enter moves on as Tab
// does; Esc restores the start value and a second Esc leaves the field;
// leaving validates against the up-down's limits, with the range message and
// the start value restored on failure; an accepted entry or an up-down click
// is handed to the owner to store and write. While a field is being edited,
// refreshes leave it alone. A field that shows a placeholder and has no
// value is no value to step or commit: its arrows do nothing, and leaving it
// untyped is no edit. A field the focus leaves while the link is busy (only
// a timer run inside a long wait moves it then) takes the focus back with its
// edit, so that what the owner stores is always also written.
class FieldEditor final : public QObject {
    Q_OBJECT
public:
    // focusButton takes the focus whenever an edit is ended by Esc or by an
    // up-down click, so that the field loses it.
    FieldEditor(Prompt& prompt, QWidget* focusButton, QObject* parent = nullptr);
    // A window's editor: its commits wait while the link is busy.
    FieldEditor(ViewContext& context, QWidget* focusButton, QObject* parent = nullptr);

    // Returns the field's index. The up-down gets the field's limits and is
    // bound to its value.
    int addField(QLineEdit* text, UpDown* upDown, const FieldSettings& settings);
    int count() const { return int(m_fields.size()); }

    // The owner's part of an accepted entry: store it and write it. False
    // refuses it (the owner has said why): the start value comes back.
    std::function<bool(int index, qint32 value, const QString& text)> accept;
    // The owner's part of an up-down click: the value has been stepped.
    std::function<void(int index)> change;
    // Focus and key events count only while this holds (the window is live).
    std::function<bool()> live;

    // A refresh: the value becomes the committed value and is shown (with
    // its degree sign), unless the user is editing the field. False when the
    // edit kept it.
    bool showValue(int index, const QString& value);
    // Shows a text that is no value ("-"), leaving the committed value.
    void showText(int index, const QString& text);
    QString committed(int index) const;
    qint32 wholeValue(int index) const;

    bool EditActive(int index) const;
    qint32 EditStartValue(int index) const;
    bool EscPending() const { return m_escPending; }

    // Ends every edit without validating or committing it (a change of mode):
    // the focus, if in a field, goes to the focus button.
    void AbandonEdits();
    // Ends the edit in progress as a control that causes validation would by
    // taking the focus. False when validation kept the user in the field.
    bool EndEdit();
    // Validation and commit of a field. False when it was refused.
    bool Validate(int index);
    // A field refused the focus move under way and is about to take the
    // focus back: the control that got it must not act (a button's click).
    bool RefocusPending() const { return m_refocus >= 0; }

    // Whether a control causes validation of the field it takes the focus
    // from (all do unless marked).
    static void setCausesValidation(QWidget* control, bool causes);
    static bool causesValidation(const QWidget* control);

    // The text's leading number, rounded half to even, within 32 bits.
    static qint32 WholeValue(const QString& text);
    static QString RangeMessage(int min, int max);
    // A text a field shows in place of a value: none yet, a read that
    // failed, a channel not programmed.
    static bool IsPlaceholder(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QLineEdit* text = nullptr;
        UpDown* upDown = nullptr;
        FieldSettings settings;
        QString committed;
        bool editActive = false;
        qint32 editStartValue = 0;
        // Entered without a value: Esc and a refusal bring back this text.
        bool enteredBlank = false;
        QString entryText;
    };

    int indexOf(const QObject* object) const;
    bool isLive() const { return !live || live(); }
    bool linkBusy() const;
    bool hasValue(const Field& field) const;
    QString startText(const Field& field) const;
    void TakeBack(int index);
    QString shown(const Field& field, const QString& value) const;
    void GotFocus(int index);
    bool KeyPress(int index, QKeyEvent* key);
    void LostFocus(int index);
    bool Leave(int index, const QWidget* next);
    void FocusChanged(QWidget* now);
    void Refuse(int index);
    // How a field that takes the focus back goes on: entered anew with its
    // start value restored, or with the edit under way.
    enum class Resume { Entry, Edit };
    void Refocus(int index, Resume resume);
    void ArrowClicked(int index, int direction);
    void UpDownChange(int index);

    Prompt& m_prompt;
    QWidget* m_focusButton;
    QList<Field> m_fields;
    bool m_escPending = false;
    bool m_validating = false;
    bool m_abandoning = false;
    bool m_refused = false;
    // The field that refused a focus move and takes the focus back: until
    // then the control that got the focus was never entered.
    int m_refocus = -1;
    // The field whose focus a container took (a click on the background).
    int m_parked = -1;
    const RSComm* m_link = nullptr;
};
