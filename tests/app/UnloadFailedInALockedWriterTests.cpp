// The robot cannot take a written disc out of its writer (the tray is locked): the job fails and its pages
// wait to be written again. Here it is a page handed over to an interactive run that writes per transaction,
// which hides Write: the operator must get Write back beside the page, Write must take it although it came
// from another start, and the disc still in the writer must not refuse the next load: it goes to the reject
// bin and the page goes onto a new disc.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class UnloadFailedInALockedWriter : public OperatorDriver {
protected:
    bool Logged(const char* text) const { return Log().find(text) != std::string::npos; }
};

TEST_F(UnloadFailedInALockedWriter, GivesWriteBackAndTheNextWriteTakesTheDiscOutFirst)
{
    OperatorPlan plan;
    plan.writePerTransaction = true;
    plan.failures = {"KTROBOTS20.UnloadDrive = 1:416"};
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    Act(OperatorAction::PerTransaction, 0);
    HandOver("good");
    ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << Log();
    AnswerAlert(Answer::Finish);
    ASSERT_TRUE(WaitUntil([&] { return Logged("The disc job failed: Unloading the written disc failed (416)"); }, 60000))
        << Log();
    ASSERT_TRUE(WaitUntil([&] {
        AnswerMessageBoxes();
        return Transactions(Main()).size() == 1 && WhyNotUsable().empty();
    }, 30000))
        << "the failed unload left the operator no way on: " << WhyNotUsable() << "\n" << TreeText() << Log();
    int leftInWriter = WriterDisc();
    ASSERT_NE(leftInWriter, 0) << "the disc left the locked writer after all:\n" << Log();
    Act(OperatorAction::Write, 0);
    EXPECT_TRUE(WaitUntil([&] { return Transactions(Main()).empty() && WhyNotUsable().empty(); }, 60000))
        << "Write did not write the waiting page: " << WhyNotUsable() << "\n" << TreeText() << Log();
    std::vector<int> rejected;
    {
        lab::StateLock lock;
        rejected = lab::Devices::Load().reject;
    }
    EXPECT_EQ(rejected, std::vector<int>{leftInWriter}) << Log();
    FinishAndCheck();
}

}  // namespace
