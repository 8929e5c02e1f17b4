// A scan that fails shows its reason and waits for the operator to read it before its end is taken. A page
// handed over meanwhile waits for that end like one handed over during the scan: taken at once, it would make
// its own transaction current, and the scan's transaction, left without a page, would stay in the tree where
// nothing can write or abort it.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class HandOverDuringAScanFailure : public OperatorDriver {};

TEST_F(HandOverDuringAScanFailure, LeavesNoEmptyTransactionBehind)
{
    OperatorPlan plan;
    plan.scanner = {"PaperJam = 1"};
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    Act(OperatorAction::Start, 1);
    ASSERT_TRUE(WaitUntil([&] { return DialogOf(L"TForm") != nullptr; }, 30000))
        << "the paper jam was not told:\n" << Log();
    HandOver("good");
    // The page's two lines are written one after the other: the second is the one to wait for.
    ASSERT_TRUE(WaitUntil([&] { return Log().find("Page handed over") != std::string::npos; }, 30000)) << Log();
    auto held = [&] { return Log().find("The page waits for the scan under way to end.") != std::string::npos; };
    EXPECT_TRUE(WaitUntil(held, 10000)) << Log();
    AnswerMessageBoxes();
    ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << Log();
    AnswerAlert(Answer::Finish);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("discs written in current session.") != std::string::npos; }, 90000))
        << Log();
    AnswerMessageBoxes();
    EXPECT_TRUE(WaitUntil([&] { return Transactions(Main()).empty() && WhyNotUsable().empty(); }, 30000))
        << Transactions(Main()).size() << " transactions left, " << WhyNotUsable() << "\n" << Log();
    FinishAndCheck();
}

}  // namespace
