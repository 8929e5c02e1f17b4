// Application events: one hub on the application's events hands each to every component in turn.
#include "AppEvnts.h"

#include <algorithm>

namespace vcl {

VCL_IMPLEMENT_CLASS(TApplicationEvents, TComponent, {
    m.Publish("OnMessage", &TApplicationEvents::GetOnMessage, &TApplicationEvents::SetOnMessage);
    m.Publish("OnException", &TApplicationEvents::GetOnException, &TApplicationEvents::SetOnException);
    m.Publish("OnIdle", &TApplicationEvents::GetOnIdle, &TApplicationEvents::SetOnIdle);
    m.Publish("OnHint", &TApplicationEvents::GetOnHint, &TApplicationEvents::SetOnHint);
})

// Installed on the application while any TApplicationEvents exists; keeps what was assigned before.
class TApplicationEventsHub {
public:
    static TApplicationEventsHub& Instance()
    {
        static TApplicationEventsHub hub;
        return hub;
    }

    void Add(TApplicationEvents* Events)
    {
        if (FList.empty() && Application) {
            FPreviousMessage = Application->OnMessage;
            FPreviousException = Application->OnException;
            FPreviousIdle = Application->OnIdle;
            FPreviousHint = Application->OnHint;
            Application->OnMessage = TMessageEvent(this, &TApplicationEventsHub::DoMessage);
            Application->OnException = TExceptionEvent(this, &TApplicationEventsHub::DoException);
            Application->OnIdle = TIdleEvent(this, &TApplicationEventsHub::DoIdle);
            Application->OnHint = TNotifyEvent(this, &TApplicationEventsHub::DoHint);
        }
        FList.insert(FList.begin(), Events);
    }

    void Remove(TApplicationEvents* Events)
    {
        FList.erase(std::remove(FList.begin(), FList.end(), Events), FList.end());
        if (!FList.empty() || !Application)
            return;
        // Put back what was there, unless someone replaced the hub meanwhile.
        if (Application->OnMessage == TMessageEvent(this, &TApplicationEventsHub::DoMessage))
            Application->OnMessage = FPreviousMessage;
        if (Application->OnException == TExceptionEvent(this, &TApplicationEventsHub::DoException))
            Application->OnException = FPreviousException;
        if (Application->OnIdle == TIdleEvent(this, &TApplicationEventsHub::DoIdle))
            Application->OnIdle = FPreviousIdle;
        if (Application->OnHint == TNotifyEvent(this, &TApplicationEventsHub::DoHint))
            Application->OnHint = FPreviousHint;
    }

    void Activate(TApplicationEvents* Events)
    {
        Remove(Events);
        Add(Events);
    }

private:
    template <class F>
    void Each(F f)
    {
        for (TApplicationEvents* e : std::vector<TApplicationEvents*>(FList)) {
            e->FCancelled = false;
            f(e);
            if (e->FCancelled)
                break;
        }
    }

    void DoMessage(TMsg& Msg, bool& Handled)
    {
        FPreviousMessage(Msg, Handled);
        Each([&](TApplicationEvents* e) {
            if (!Handled)
                e->OnMessage(Msg, Handled);
        });
    }

    void DoException(TObject* Sender, Exception* E)
    {
        bool any = std::any_of(FList.begin(), FList.end(), [](TApplicationEvents* e) { return bool(e->OnException); });
        if (!any) {
            if (FPreviousException)
                FPreviousException(Sender, E);
            else
                Application->ShowException(E);
            return;
        }
        Each([&](TApplicationEvents* e) { e->OnException(Sender, E); });
    }

    void DoIdle(TObject* Sender, bool& Done)
    {
        FPreviousIdle(Sender, Done);
        Each([&](TApplicationEvents* e) { e->OnIdle(Sender, Done); });
    }

    void DoHint(TObject* Sender)
    {
        FPreviousHint(Sender);
        Each([&](TApplicationEvents* e) { e->OnHint(Sender); });
    }

    std::vector<TApplicationEvents*> FList;
    TMessageEvent FPreviousMessage;
    TExceptionEvent FPreviousException;
    TIdleEvent FPreviousIdle;
    TNotifyEvent FPreviousHint;
};

TApplicationEvents::TApplicationEvents(TComponent* AOwner) : TComponent(AOwner)
{
    TApplicationEventsHub::Instance().Add(this);
}

TApplicationEvents::~TApplicationEvents()
{
    TApplicationEventsHub::Instance().Remove(this);
}

void TApplicationEvents::Activate()
{
    TApplicationEventsHub::Instance().Activate(this);
}

}  // namespace vcl
