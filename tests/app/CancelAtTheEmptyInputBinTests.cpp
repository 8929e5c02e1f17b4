// The empty input bin asks the operator to refill it. Cancel gives the wait for a disc up: the job must end
// with its pages kept in the queue, not wait for a disc nobody will bring (a hot-key run that never ends, an
// interactive one whose controls stay off).
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class CancelAtTheEmptyInputBin : public OperatorDriver {
protected:
    void CancelTheAlert()
    {
        ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "bin"; }, 60000))
            << "the empty input bin was not told:\n" << Log();
        AnswerAlert(Answer::Cancel);
    }
};

TEST_F(CancelAtTheEmptyInputBin, EndsAHotKeyRunWithItsPageInTheQueue)
{
    OperatorPlan plan;
    plan.hotKey = true;
    plan.failures = {"KTROBOTS20.LoadDrive = 1:430"};
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << Log();
    AnswerAlert(Answer::Finish);
    ASSERT_TRUE(WaitUntil([&] { return AlertKind().empty(); }, 30000)) << Log();
    ASSERT_NO_FATAL_FAILURE(CancelTheAlert());
    ASSERT_TRUE(WaitUntil([&] { return first_.Wait(0).has_value(); }, 30000)) << "the hot-key run waits on:\n" << Log();
    EXPECT_EQ(*first_.Wait(0), 1u) << Log();
    FinishAndCheck();
}

TEST_F(CancelAtTheEmptyInputBin, GivesAnInteractiveRunItsControlsBack)
{
    OperatorPlan plan;
    plan.failures = {"KTROBOTS20.LoadDrive = 1:430"};
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    Act(OperatorAction::Start, 1);
    ASSERT_TRUE(WaitUntil([&] { return Transactions(Main()).size() == 1 && WhyNotUsable().empty(); }, 30000)) << Log();
    Act(OperatorAction::Write, 0);
    ASSERT_NO_FATAL_FAILURE(CancelTheAlert());
    EXPECT_TRUE(WaitUntil([&] { return Transactions(Main()).size() == 1 && WhyNotUsable().empty(); }, 30000))
        << "Cancel left the job waiting: " << WhyNotUsable() << "\n" << Log();
    FinishAndCheck();
}

}  // namespace
