// The field editing protocol with the settings of the windows that use it
// differently: values kept in the shown text, markers, rounding, Enter to a
// button, validation only for controls that cause it.
#include "FieldEditor.h"
#include "AppFixture.h"
#include "ScriptedPrompt.h"
#include "UpDown.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

class FieldEditorWindow : public ::testing::Test {
protected:
    FieldEditorWindow() {
        auto* box = new QVBoxLayout(&window);
        for (QLineEdit*& text : fields) {
            text = new QLineEdit;
            box->addWidget(text);
        }
        for (UpDown*& upDown : upDowns) {
            upDown = new UpDown;
            box->addWidget(upDown);
        }
        box->addWidget(setButton);
        box->addWidget(passive);
        box->addWidget(focusButton);
        editor.accept = [this](int index, qint32 value, const QString& text) {
            accepted << QStringLiteral("%1:%2:%3").arg(index).arg(value).arg(text);
            return acceptAnswer;
        };
        editor.change = [this](int index) { changed << index; };
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        focusButton->setFocus(); // not in a field when the test begins
    }
    void add(const FieldSettings& settings, const QString& a, const QString& b) {
        editor.addField(fields[0], upDowns[0], settings);
        editor.addField(fields[1], upDowns[1], settings);
        fields[0]->setText(a);
        fields[1]->setText(b);
    }
    void pumpEvents() { QTest::qWait(5); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void type(int field, const QString& text) {
        QTest::mouseClick(fields[field], Qt::LeftButton);
        QTest::keyClicks(fields[field], text);
    }

    bool applicationReady = (EnsureApplication(), true); // before any widget
    QWidget window;
    std::array<QLineEdit*, 2> fields{};
    std::array<UpDown*, 2> upDowns{};
    QPushButton* setButton = new QPushButton("Set &Offset");
    QPushButton* passive = new QPushButton("passive");
    QPushButton* focusButton = new QPushButton("-");
    ScriptedPrompt prompt;
    FieldEditor editor{prompt, focusButton};
    QStringList accepted;
    QList<int> changed;
    bool acceptAnswer = true;
};

// The target board and DF1 windows: no committed value, the up-down steps
// the shown text, a range message title of their own.
TEST_F(FieldEditorWindow, ShownTextFieldsStepAndRestoreTheirText) {
    FieldSettings settings;
    settings.max = 255;
    settings.value = FieldValue::ShownText;
    settings.messageTitle = "R8470DF1 Set-up";
    add(settings, "12", "7");
    QTest::mouseClick(upDowns[0]->upButton(), Qt::LeftButton);
    EXPECT_EQ(fields[0]->text(), "13");
    EXPECT_EQ(changed, QList<int>{0});
    EXPECT_EQ(focused(), focusButton);
    type(0, "300");
    QTest::keyClick(fields[0], Qt::Key_Tab);
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "R8470DF1 Set-up");
    EXPECT_EQ(prompt.shown()[0].text, "Only a Number Between 0 and 255 can be Entered");
    EXPECT_EQ(fields[0]->text(), "13");
    EXPECT_TRUE(accepted.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == fields[0]; }));
    QTest::keyClicks(fields[0], "14");
    QTest::keyClick(fields[0], Qt::Key_Escape);
    EXPECT_EQ(fields[0]->text(), "13");
    QTest::keyClicks(fields[0], "200");
    QTest::keyClick(fields[0], Qt::Key_Enter);
    EXPECT_EQ(focused(), fields[1]);
    EXPECT_EQ(accepted, QStringList{"0:200:200"});
    QTest::mouseClick(upDowns[1]->downButton(), Qt::LeftButton); // leaves field 1: "7" accepted
    EXPECT_EQ(fields[1]->text(), "6");
    EXPECT_EQ(accepted.back(), "1:7:7");
}

// The timing view's setpoint boxes: a marker is left alone, an unchanged
// value is no edit, accepted text is rounded, and the owner may refuse.
TEST_F(FieldEditorWindow, SetpointBoxesKeepMarkersRoundAndMayBeRefused) {
    FieldSettings settings;
    settings.max = 359;
    settings.value = FieldValue::ShownText;
    settings.markers = {"****"};
    settings.rewriteAccepted = true;
    settings.unchangedIsNoEdit = true;
    add(settings, "****", "120");
    QTest::mouseClick(fields[0], Qt::LeftButton);
    QTest::keyClick(fields[0], Qt::Key_Tab);
    EXPECT_EQ(focused(), fields[1]);
    EXPECT_TRUE(prompt.shown().isEmpty());
    QTest::keyClicks(fields[1], "120.4");
    QTest::keyClick(fields[1], Qt::Key_Tab);
    EXPECT_EQ(fields[1]->text(), "120");
    EXPECT_TRUE(accepted.isEmpty()); // the value did not change
    // Neither way out leaves a field in edit, where refreshes would pass it by.
    EXPECT_FALSE(editor.EditActive(0));
    EXPECT_FALSE(editor.EditActive(1));
    type(0, "****");
    QTest::keyClick(fields[0], Qt::Key_Tab);
    EXPECT_FALSE(editor.EditActive(0));
    type(1, "100.5");
    acceptAnswer = false; // as for ON equal to OFF
    QTest::keyClick(fields[1], Qt::Key_Tab);
    EXPECT_EQ(accepted, QStringList{"1:100:100.5"});
    EXPECT_EQ(fields[1]->text(), "120");
    EXPECT_TRUE(QTest::qWaitFor([&] { return focused() == fields[1]; }));
}

// The resolver offset box: entering cleans the text, Enter goes to its
// button, and only controls that cause validation validate it.
TEST_F(FieldEditorWindow, OffsetBoxEntersCleanlyAndEnterGoesToItsButton) {
    FieldSettings settings;
    settings.max = 359;
    settings.value = FieldValue::ShownText;
    settings.messageTitle = "Resolver Offset";
    settings.rewriteOnEntry = true;
    settings.enterTarget = setButton;
    settings.validateOnEveryLeave = false;
    settings.arrowEndsEdit = false;
    add(settings, "007abc", "0");
    FieldEditor::setCausesValidation(passive, false);
    QTest::mouseClick(fields[0], Qt::LeftButton);
    EXPECT_EQ(fields[0]->text(), "7");
    EXPECT_EQ(editor.EditStartValue(0), 7);
    QTest::keyClick(fields[0], Qt::Key_Return);
    EXPECT_EQ(focused(), setButton);
    EXPECT_EQ(accepted, QStringList{"0:7:7"});
    type(0, "400");
    passive->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(prompt.shown().isEmpty());
    EXPECT_FALSE(editor.Validate(0)); // a button that uses the box checks it first
    ASSERT_EQ(prompt.shown().size(), 1);
    EXPECT_EQ(prompt.shown()[0].title, "Resolver Offset");
    EXPECT_EQ(fields[0]->text(), "7");
}

} // namespace
