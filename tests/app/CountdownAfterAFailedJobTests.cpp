// A page handed over in an interactive run starts a transaction that only the next-page countdown closes. A
// job given up before that countdown comes (Cancel at the empty input bin) hands the run back to the
// operator: the transaction must still close, and the next Write must write it, not wait on it for good. A page
// handed over before it closed joins it: a transaction of its own would be the one the countdown closes.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class CountdownAfterAFailedJob : public OperatorDriver {
protected:
    // An interactive run takes a handed-over page; the robot finds the input bin empty, and the operator gives
    // the wait for a disc up.
    void JobGivenUpForAHandedOverPage()
    {
        OperatorPlan plan;
        plan.failures = {"KTROBOTS20.LoadDrive = 1:430"};
        ASSERT_NO_FATAL_FAILURE(Begin(plan));
        ASSERT_TRUE(WaitUntil([&] { return WhyNotUsable().empty(); }, 30000)) << Log();
        HandOver("good");
        ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "bin"; }, 30000))
            << "the empty input bin was not told:\n" << Log();
        AnswerAlert(Answer::Cancel);
    }
};

TEST_F(CountdownAfterAFailedJob, StillClosesTheHandedOverTransactionForWrite)
{
    ASSERT_NO_FATAL_FAILURE(JobGivenUpForAHandedOverPage());
    auto backWithOne = [&] {
        if (AlertKind() == "countdown")
            AnswerAlert(Answer::Finish);
        return Transactions(Main()).size() == 1 && WhyNotUsable().empty() &&
               Log().find("Total 1 pages scanned in current transaction.") != std::string::npos;
    };
    ASSERT_TRUE(WaitUntil(backWithOne, 30000))
        << "the handed-over transaction was not closed: " << WhyNotUsable() << "\n" << TreeText() << Log();
    Act(OperatorAction::Write, 0);
    ASSERT_TRUE(WaitUntil([&] { return Transactions(Main()).empty() && WhyNotUsable().empty(); }, 60000))
        << "Write did not write the handed-over page: " << WhyNotUsable() << "\n" << TreeText() << Log();
    ASSERT_NO_FATAL_FAILURE(WriteEverythingAndExit());
    CheckDiscs();
    CheckPages();
}

TEST_F(CountdownAfterAFailedJob, APageHandedOverBeforeItClosesJoinsTheHandedOverTransaction)
{
    ASSERT_NO_FATAL_FAILURE(JobGivenUpForAHandedOverPage());
    ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << Log();
    AnswerAlert(Answer::Hold);  // however long the second start takes to hand its page over
    HandOver("good");
    ASSERT_TRUE(WaitUntil([&] { return handOvers_.back().Wait(0).has_value(); }, 30000))
        << "the second page was not taken:\n" << Log();
    EXPECT_TRUE(WaitUntil([&] {
        if (AlertKind() == "countdown")
            AnswerAlert(Answer::Finish);
        return Transactions(Main()).empty() && WhyNotUsable().empty();
    }, 60000)) << "the pages were not written: " << WhyNotUsable() << "\n" << TreeText() << Log();
    ASSERT_NO_FATAL_FAILURE(WriteEverythingAndExit());
    CheckDiscs();
    CheckPages();
}

}  // namespace
