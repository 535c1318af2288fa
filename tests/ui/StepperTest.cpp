// The stepper that runs transfers and downloads: one step per event-loop
// turn, held still by modal windows other than its owner.
#include "Stepper.h"
#include "AppFixture.h"
#include "LinkFixture.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>

namespace {

class StepperTest : public LinkFixture {
protected:
    StepperTest() { EnsureApplication(); }
    bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = WaitLimitMs) {
        return PumpUntil(condition, timeoutMs);
    }
    void pump(int ms) {
        pumpUntil([] { return false; }, ms);
    }
};

TEST_F(StepperTest, RunsOneStepPerTurnUntilTheJobSaysItIsDone) {
    int steps = 0;
    int finished = 0;
    Stepper stepper(link, [&] { return ++steps < 5; });
    QObject::connect(&stepper, &Stepper::finished, [&] { ++finished; });
    stepper.Start();
    EXPECT_EQ(steps, 0); // the first step runs from the event loop
    ASSERT_TRUE(pumpUntil([&] { return finished == 1; }));
    EXPECT_EQ(steps, 5);
    EXPECT_FALSE(stepper.Running());
    pump(30);
    EXPECT_EQ(steps, 5);
}

TEST_F(StepperTest, RunsUnderItsOwnerButWaitsForAModalWindowOverIt) {
    QDialog owner;
    owner.setModal(true);
    owner.show();
    int steps = 0;
    Stepper stepper(link, [&] {
        ++steps;
        return true;
    });
    stepper.setOwner(&owner);
    stepper.Start();
    ASSERT_TRUE(pumpUntil([&] { return steps >= 3; }));
    QDialog box(&owner);
    box.setModal(true);
    box.show();
    pump(30);
    const int before = steps;
    pump(100);
    EXPECT_EQ(steps, before);
    box.close();
    ASSERT_TRUE(pumpUntil([&] { return steps > before; }));
    // Stopped from inside a step: no step runs again and nothing says finished.
    bool finished = false;
    QObject::connect(&stepper, &Stepper::finished, [&] { finished = true; });
    stepper.Stop();
    const int stopped = steps;
    pump(50);
    EXPECT_EQ(steps, stopped);
    EXPECT_FALSE(finished);
}

TEST_F(StepperTest, AStepperWithoutOwnerWaitsForAnyModalWindow) {
    QDialog modal;
    modal.setModal(true);
    modal.show();
    int steps = 0;
    Stepper stepper(link, [&] { return ++steps < 100; });
    stepper.Start();
    pump(80);
    EXPECT_EQ(steps, 0);
    modal.close();
    ASSERT_TRUE(pumpUntil([&] { return steps > 0; }));
}

} // namespace
