// Window tests of the application and forms: exceptions, modal loops, the main-thread queue, timers.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

// Records what reaches the application's exception handler, and restores the handler afterwards.
struct ExceptionRecorder {
    ExceptionRecorder()
    {
        Application->OnException = MakeEvent<TObject*, Exception*>(this, [this](TObject* sender, Exception* e) {
            Senders.push_back(sender);
            Messages.push_back(e->Message);
        });
    }
    ~ExceptionRecorder() { Application->OnException = TExceptionEvent(); }
    std::vector<TObject*> Senders;
    std::vector<AnsiString> Messages;
};

struct FormsFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(80, 80, 320, 200);
        form->SetCaption("Forms test");
    }
    void TearDown() override
    {
        form.reset();
        Application->OnMessage = TMessageEvent();
        Application->ProcessMessages();
    }
    std::unique_ptr<TForm> form;
};

}  // namespace

TEST_F(FormsFixture, ExceptionInClickHandlerReachesHandleExceptionAndTheLoopGoesOn)
{
    ExceptionRecorder recorder;
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->OnClick = MakeEvent<TObject*>(nullptr, [](TObject*) { throw EConvertError("'x' is not a valid integer value"); });
    form->Show();
    PostMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    bool afterwards = false;
    Application->Queue([&] { afterwards = true; });
    ASSERT_TRUE(PumpUntil([&] { return afterwards; }));
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0], "'x' is not a valid integer value");
    EXPECT_TRUE(dynamic_cast<TWinControl*>(recorder.Senders[0])) << "the control whose window procedure caught it";
}

TEST_F(FormsFixture, AbortIsSilentAndForeignExceptionsAreWrapped)
{
    ExceptionRecorder recorder;
    int step = 0;
    Application->Queue([&] {
        ++step;
        throw EAbort("quiet");
    });
    Application->Queue([&] {
        ++step;
        throw std::runtime_error("standard");
    });
    Application->Queue([&] { ++step; });
    ASSERT_TRUE(PumpUntil([&] { return step == 3; }));
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0], "standard");
}

TEST_F(FormsFixture, OnMessageSeesMessagesDuringShowModal)
{
    std::vector<UINT> seen;
    const UINT probe = WM_APP + 17;
    Application->OnMessage = MakeEvent<TMsg&, bool&>(nullptr, [&](TMsg& msg, bool& handled) {
        seen.push_back(msg.message);
        if (msg.message == probe)
            handled = true;
    });
    bool visibleInLoop = false;
    Application->Queue([&] {
        visibleInLoop = form->GetVisible() && IsWindowVisible(form->WindowHandle);
        PostMessageA(Application->GetHandle(), probe, 0, 0);
        Application->Queue([&] { form->SetModalResult(mrOk); });
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_TRUE(visibleInLoop);
    EXPECT_NE(std::find(seen.begin(), seen.end(), probe), seen.end()) << "the posted message passed OnMessage";
    EXPECT_FALSE(form->GetVisible());
    EXPECT_FALSE(IsWindowVisible(form->WindowHandle));
}

TEST_F(FormsFixture, ShowModalAsksOnCloseQueryAndDisablesOtherWindows)
{
    auto other = std::make_unique<TForm>(Application, 0);
    other->SetCaption("Other");
    other->Show();
    int queries = 0;
    form->OnCloseQuery = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool& canClose) {
        canClose = ++queries > 1;  // refuse the first time
    });
    bool otherDisabled = false;
    Application->Queue([&] {
        otherDisabled = !IsWindowEnabled(other->WindowHandle);
        form->Close();  // refused
        Application->Queue([&] { form->Close(); });
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(IsWindowEnabled(other->WindowHandle));
}

TEST_F(FormsFixture, ModalFormsNestFromATimerAndOtherTimersKeepFiring)
{
    auto inner = std::make_unique<TForm>(Application, 0);
    inner->SetCaption("Inner");
    auto* opener = new TTimer(form.get());
    auto* ticker = new TTimer(form.get());
    int ticks = 0;
    int innerResult = -1;
    opener->SetInterval(20);
    opener->SetOnTimer(MakeEvent<TObject*>(nullptr, [&](TObject*) {
        opener->SetEnabled(false);
        innerResult = inner->ShowModal();
        form->SetModalResult(mrYes);
    }));
    ticker->SetInterval(15);
    ticker->SetOnTimer(MakeEvent<TObject*>(nullptr, [&](TObject*) {
        if (++ticks == 5 && inner->GetModal())
            inner->SetModalResult(mrNo);
    }));
    EXPECT_EQ(form->ShowModal(), mrYes);
    EXPECT_EQ(innerResult, mrNo);
    EXPECT_GE(ticks, 5);
}

TEST_F(FormsFixture, TimerSemanticsEnableKeepsIntervalRestarts)
{
    auto* timer = new TTimer(form.get());
    timer->SetEnabled(false);
    int fired = 0;
    timer->SetOnTimer(MakeEvent<TObject*>(nullptr, [&](TObject*) { ++fired; }));
    EXPECT_FALSE(timer->Running());
    timer->SetInterval(0);
    timer->SetEnabled(true);
    EXPECT_FALSE(timer->Running()) << "an interval of 0 keeps the timer off";
    timer->SetInterval(10);
    EXPECT_TRUE(timer->Running());
    ASSERT_TRUE(PumpUntil([&] { return fired >= 2; }));
    timer->SetEnabled(false);
    int stopped = fired;
    // A timer of the same interval started after the stop fires meanwhile, twice.
    auto* later = new TTimer(form.get());
    int laterFired = 0;
    later->SetOnTimer(MakeEvent<TObject*>(nullptr, [&](TObject*) { ++laterFired; }));
    later->SetInterval(10);
    later->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return laterFired >= 2; }));
    later->SetEnabled(false);
    EXPECT_EQ(fired, stopped);
}

TEST_F(FormsFixture, WorkerThreadPostsCaptionChangeAndTimerArmToTheMainThread)
{
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    auto* timer = new TTimer(form.get());
    timer->SetEnabled(false);
    timer->SetInterval(10);
    DWORD mainThread = GetCurrentThreadId();
    std::atomic<DWORD> captionThread{0}, timerThread{0};
    timer->SetOnTimer(MakeEvent<TObject*>(nullptr, [&](TObject*) {
        timerThread = GetCurrentThreadId();
        timer->SetEnabled(false);
    }));
    form->Show();
    std::thread worker([&] {
        Application->Queue([&] {
            captionThread = GetCurrentThreadId();
            label->SetCaption("from the worker");
        });
        timer->SetEnabled(true);  // marshalled by the timer itself
    });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return timerThread != 0 && captionThread != 0; }));
    EXPECT_EQ(captionThread.load(), mainThread);
    EXPECT_EQ(timerThread.load(), mainThread);
    EXPECT_EQ(label->GetCaption(), "from the worker");
}

TEST_F(FormsFixture, QueuedClosuresAllRunInOrderEvenWhenTheMessageQueueIsFull)
{
    // Fill the main thread's message queue until a post fails (or far beyond the usual limit of 10000).
    int posted = 0;
    while (posted < 20000 && PostMessageA(Application->GetHandle(), WM_NULL, 0, 0))
        ++posted;
    std::vector<int> ran;
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i)
            Application->Queue([&ran, i] { ran.push_back(i); });
    });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return ran.size() == 1000; }, 20000)) << ran.size() << " of 1000 ran";
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(ran[size_t(i)], i);
}

TEST_F(FormsFixture, ClosureRunningAModalLoopKeepsTheOrderOfTheLaterOnes)
{
    std::vector<int> ran;
    Application->Queue([&] {
        ran.push_back(1);
        Application->Queue([&] { form->SetModalResult(mrOk); });
        form->ShowModal();  // runs the closures queued below
        ran.push_back(4);
    });
    Application->Queue([&] { ran.push_back(2); });
    Application->Queue([&] { ran.push_back(3); });
    ASSERT_TRUE(PumpUntil([&] { return ran.size() == 4; }));
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(FormsFixture, SynchronizeRunsOnTheMainThreadAndWaits)
{
    std::atomic<bool> done{false};
    DWORD ranOn = 0;
    std::thread worker([&] {
        Application->Synchronize([&] { ranOn = GetCurrentThreadId(); });
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(ranOn, GetCurrentThreadId());
}

TEST_F(FormsFixture, ClosingAFormHidesItAndCaFreeReleasesIt)
{
    int before = Screen->GetFormCount();
    auto* released = new TForm(Application, 0);
    released->OnClose = MakeEvent<TObject*, TCloseAction&>(nullptr, [](TObject*, TCloseAction& a) {
        a = TCloseAction::caFree;
    });
    released->Show();
    EXPECT_EQ(Screen->GetFormCount(), before + 1);
    released->Close();
    ASSERT_TRUE(PumpUntil([&] { return Screen->GetFormCount() == before; })) << "released after its message";
    form->Show();
    form->Close();
    EXPECT_FALSE(form->GetVisible()) << "a secondary form hides by default";
}

TEST_F(FormsFixture, TitleIsTheApplicationWindowText)
{
    Application->SetTitle("Pagorin test");
    char text[64] = {};
    GetWindowTextA(Application->GetHandle(), text, sizeof text);
    EXPECT_STREQ(text, "Pagorin test");
    EXPECT_FALSE(IsWindowVisible(Application->GetHandle()));
}

TEST_F(FormsFixture, MainWindowHooksSeeApplicationMessagesFirst)
{
    int hooked = 0;
    Application->HookMainWindow(this, [&](TMessage& m) {
        if (m.Msg != WM_APP + 9)
            return false;
        ++hooked;
        m.Result = 77;
        return true;
    });
    EXPECT_EQ(SendMessageA(Application->GetHandle(), WM_APP + 9, 0, 0), 77);
    Application->UnhookMainWindow(this);
    EXPECT_EQ(SendMessageA(Application->GetHandle(), WM_APP + 9, 0, 0), 0);
    EXPECT_EQ(hooked, 1);
}
