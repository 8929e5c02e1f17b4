// The operator asks a hot-key run to close while its last disc is being written. The question holds the
// program's own end back meanwhile; answered with Cancel once that disc is written, it must not keep the run
// open with nothing left to do: the run ends by itself, its page on the disc. A page handed over while the
// question is up opens the run again: it is written before the run ends.
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class CloseQuestionOverTheLastDisc : public OperatorDriver {
protected:
    bool Logged(const char* text) const { return Log().find(text) != std::string::npos; }

    // The operator asks to close during the only disc's burn; the question is still up when it is written.
    void CloseQuestionUpAfterTheLastDisc()
    {
        OperatorPlan plan;
        plan.hotKey = true;
        plan.delays = {"KAVO.ProjectWrite = 1500"};
        ASSERT_NO_FATAL_FAILURE(Begin(plan));
        ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << Log();
        AnswerAlert(Answer::Finish);
        ASSERT_TRUE(WaitUntil([&] { return Logged("Start the Disc Writing Session."); }, 30000)) << Log();
        Act(OperatorAction::Exit, 0);
        ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "close"; }, 30000)) << "no close question:\n" << Log();
        ASSERT_TRUE(WaitUntil([&] { return Logged("discs written in current session."); }, 60000)) << Log();
    }
};

TEST_F(CloseQuestionOverTheLastDisc, CancelledAfterTheDiscIsWrittenStillLetsTheHotKeyRunEnd)
{
    ASSERT_NO_FATAL_FAILURE(CloseQuestionUpAfterTheLastDisc());
    AnswerAlert(Answer::Cancel);
    ASSERT_TRUE(WaitUntil([&] { return first_.Wait(0).has_value(); }, 30000)) << "the run stayed open:\n" << Log();
    EXPECT_EQ(*first_.Wait(0), 0u) << Log();
    FinishAndCheck();
}

TEST_F(CloseQuestionOverTheLastDisc, APageHandedOverMeanwhileIsWrittenBeforeTheRunEnds)
{
    ASSERT_NO_FATAL_FAILURE(CloseQuestionUpAfterTheLastDisc());
    HandOver("good");
    ASSERT_TRUE(WaitUntil([&] { return handOvers_[0].Wait(0).has_value(); }, 30000)) << Log();
    AnswerAlert(Answer::Cancel);
    ASSERT_TRUE(WaitUntil([&] { return AlertKind() == "countdown"; }, 30000)) << "the run ended:\n" << Log();
    AnswerAlert(Answer::Finish);
    ASSERT_TRUE(WaitUntil([&] { return first_.Wait(0).has_value(); }, 60000)) << "the run stayed open:\n" << Log();
    EXPECT_EQ(*first_.Wait(0), 0u) << Log();
    FinishAndCheck();
}

}  // namespace
