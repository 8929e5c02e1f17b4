// A transaction that wants only its PDF has its pages written as images when the PDF cannot be made. A page
// that comes after the PDF was given up belongs on the disc too: it must not wait unticked, to be dropped
// when the transaction's disc is done while the run reports success.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class LatePagesOfAFailedPdf : public OperatorDriver {};

TEST_F(LatePagesOfAFailedPdf, AreWrittenAsImagesWithTheOthers)
{
    OperatorPlan plan;
    plan.hotKey = true;
    plan.compiledPdf = 2;
    plan.discs = "1*4";
    plan.failures = {"PDFLIBRARY.RURARO_Create = 1:1"};
    ASSERT_NO_FATAL_FAILURE(Begin(plan));
    // The countdown is held until the late page is in.
    ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << Log();
    AnswerAlert(Answer::Hold);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("was not made") != std::string::npos; }, 30000)) << Log();
    HandOver("good");
    ASSERT_TRUE(WaitUntil([&] { return Log().find("Page handed over") != std::string::npos; }, 30000)) << Log();
    FinishAndCheck();
    for (const auto& [path, bytes] : offered_)
        EXPECT_TRUE(ReachedADisc(bytes)) << ToUtf8(path) << " is not on the disc:\n" << Log();
}

}  // namespace
