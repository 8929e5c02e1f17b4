// A page handed over during a scan is held until the scan's transaction closes. A Start right after the scan
// takes that close first, and the close hands the held page a job of its own, which takes the controls: the
// Start must not go on with a scan then, or its transaction gets none of the pages, stays open beside the
// hand-over's and leaves a disc waiting in the writer that no job writes.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class StartOverAHeldPage : public OperatorDriver {};

TEST_F(StartOverAHeldPage, LeavesNoEmptyTransactionAndNoDiscWaiting)
{
    OperatorPlan plan;
    plan.delays = {"Scanner.page = 1000"};  // long enough a scan for a hand-over to come during it
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    Act(OperatorAction::Start, 1);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("A Scan-To-Disc transaction started.") != std::string::npos; }, 30000))
        << Log();
    HandOver("good");
    ASSERT_TRUE(WaitUntil([&] { return Log().find("The page waits for the scan under way to end.") != std::string::npos; },
                          30000)) << Log();
    // The scan's end gives the controls back a moment before its transaction closes.
    ASSERT_TRUE(WaitUntil([&] { return ToolEnabled(Main(), L"Start"); }, 30000)) << Log();
    Say("Start");
    ClickTool(Main(), L"Start");
    EXPECT_TRUE(WaitUntil([&] {
        if (AlertKind() == "countdown")
            AnswerAlert(Answer::Finish);
        return Transactions(Main()).size() == 1 && WhyNotUsable().empty();
    }, 90000)) << WhyNotUsable() << "\n" << TreeText() << Log();
    EXPECT_NE(Log().find("The command was not carried out: the pages handed over meanwhile are being written first."),
              std::string::npos) << Log();
    EXPECT_EQ(Log().find("The pages were done without a transaction receiving them."), std::string::npos) << Log();
    FinishAndCheck();
}

}  // namespace
