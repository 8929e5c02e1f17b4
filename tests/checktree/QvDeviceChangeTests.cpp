// The device-change handler: WM_DEVICECHANGE sent to its hidden window reaches the registered methods in
// order, after the message was answered, also when methods come and go during the broadcast.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <vector>

#include "QvShellUtils.h"

using namespace vcl;

namespace {

struct Heard {
    int listener;
    WPARAM wParam;
    LPARAM lParam;
    bool answered;  // the system's message had returned when the method ran
};

class Listener : public TObject {
public:
    Listener(int id, std::vector<Heard>& log, const bool& answered) : id_(id), log_(log), answered_(answered) {}
    void DeviceChanged(TObject*, TMessage& Msg) { log_.push_back({id_, Msg.WParam, Msg.LParam, answered_}); }
    TQvDeviceChangeEvent Event() { return TQvDeviceChangeEvent(this, &Listener::DeviceChanged); }

private:
    int id_;
    std::vector<Heard>& log_;
    const bool& answered_;
};

void Pump()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
}

class QvDeviceChange : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (handler->GetCount() > 0) handler->DeleteItem(0);
    }
    LRESULT SendDeviceChange(WPARAM wParam, LPARAM lParam)
    {
        answered = false;
        const LRESULT result = SendMessage(handler->GetHandle(), WM_DEVICECHANGE, wParam, lParam);
        answered = true;
        Pump();
        return result;
    }

    TQvDeviceChangeHandler* handler = QvDeviceChangeHandler();
    std::vector<Heard> log;
    bool answered = false;
};

TEST_F(QvDeviceChange, TwoListenersHearInOrderAfterTheAnswer)
{
    Listener first(1, log, answered), second(2, log, answered);
    handler->Add(first.Event());
    handler->Add(second.Event());
    SendDeviceChange(DBT_DEVICEARRIVAL, 0x1234);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].listener, 1);
    EXPECT_EQ(log[1].listener, 2);
    for (const Heard& h : log) {
        EXPECT_EQ(h.wParam, static_cast<WPARAM>(DBT_DEVICEARRIVAL));
        EXPECT_EQ(h.lParam, 0x1234);
        EXPECT_TRUE(h.answered);
    }
}

TEST_F(QvDeviceChange, RemovingATwiceAddedMethodRemovesOneEntry)
{
    Listener first(1, log, answered), second(2, log, answered);
    handler->Add(first.Event());
    handler->Add(second.Event());
    handler->Add(first.Event());
    handler->Remove(first.Event());
    EXPECT_EQ(handler->GetCount(), 2);
    SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, 7);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].listener, 2);
    EXPECT_EQ(log[1].listener, 1);
}

TEST_F(QvDeviceChange, WithoutListenersTheMessageIsStillAnswered)
{
    SendDeviceChange(DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(log.empty());
}

// Removes another listener and adds a new one while the broadcast runs.
class Meddler : public TObject {
public:
    Meddler(TQvDeviceChangeHandler* handler, TQvDeviceChangeEvent victim, TQvDeviceChangeEvent newcomer)
        : handler_(handler), victim_(victim), newcomer_(newcomer)
    {
    }
    void DeviceChanged(TObject*, TMessage&)
    {
        ++calls;
        handler_->Remove(victim_);
        handler_->Remove(TQvDeviceChangeEvent(this, &Meddler::DeviceChanged));
        handler_->Add(newcomer_);
    }
    int calls = 0;

private:
    TQvDeviceChangeHandler* handler_;
    TQvDeviceChangeEvent victim_, newcomer_;
};

TEST_F(QvDeviceChange, ListenersMayComeAndGoDuringTheBroadcast)
{
    Listener removed(1, log, answered), added(2, log, answered), last(3, log, answered);
    Meddler meddler(handler, removed.Event(), added.Event());
    handler->Add(TQvDeviceChangeEvent(&meddler, &Meddler::DeviceChanged));
    handler->Add(removed.Event());
    handler->Add(last.Event());
    SendDeviceChange(DBT_DEVICEARRIVAL, 1);
    EXPECT_EQ(meddler.calls, 1);
    ASSERT_EQ(log.size(), 1u);  // the removed one is skipped, the new one waits for the next message
    EXPECT_EQ(log[0].listener, 3);
    log.clear();
    SendDeviceChange(DBT_DEVICEARRIVAL, 2);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].listener, 3);
    EXPECT_EQ(log[1].listener, 2);
}

}  // namespace
