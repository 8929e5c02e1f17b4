// A scan's end gives the operator the controls back before its transaction is closed. A Start in that moment
// must not leave the scanned transaction open for good, with the next Write waiting on it.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class StartRightAfterAScan : public OperatorDriver {};

TEST_F(StartRightAfterAScan, LeavesNoTransactionOpenForWriteToWaitOn)
{
    OperatorPlan plan;
    plan.sheets = 1;
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    const DWORD toolButton = 1;
    Act(OperatorAction::Start, toolButton);
    ASSERT_TRUE(WaitUntil([&] {
        return Log().find("A Scan-To-Disc transaction started.") != std::string::npos && ToolEnabled(Main(), L"Start");
    }, 30000)) << Log();
    Act(OperatorAction::Start, toolButton);
    ASSERT_TRUE(WaitUntil([&] { return Transactions(Main()).size() == 2 && WhyNotUsable().empty(); }, 30000)) << Log();
    Act(OperatorAction::Write, 0);
    ASSERT_TRUE(WaitUntil([&] { return Transactions(Main()).empty() && WhyNotUsable().empty(); }, 90000))
        << "Write did not write both scans: " << WhyNotUsable() << "\n" << Log();
    FinishAndCheck();
}

}  // namespace
