// Application events as a component: every TApplicationEvents on any form hears the application's
// OnMessage, OnException, OnIdle and OnHint. They are reached through Application->OnMessage itself,
// so a caller of that event (the Unicode layer's hook) reaches them too.
#pragma once

#include "Forms.h"

namespace vcl {

class TApplicationEvents : public TComponent {
    VCL_CLASS(TApplicationEvents, TComponent)
    explicit TApplicationEvents(TComponent* AOwner);
    ~TApplicationEvents() override;
    // Puts this component first among its kind.
    void Activate();
    // Stops the current event from going on to the other components.
    void CancelDispatch() { FCancelled = true; }

    TMessageEvent OnMessage;
    TExceptionEvent OnException;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TMessageEvent GetOnMessage() const { return OnMessage; }
    void SetOnMessage(TMessageEvent Value) { OnMessage = Value; }
    TExceptionEvent GetOnException() const { return OnException; }
    void SetOnException(TExceptionEvent Value) { OnException = Value; }
    TIdleEvent GetOnIdle() const { return OnIdle; }
    void SetOnIdle(TIdleEvent Value) { OnIdle = Value; }
    TNotifyEvent GetOnHint() const { return OnHint; }
    void SetOnHint(TNotifyEvent Value) { OnHint = Value; }

private:
    friend class TApplicationEventsHub;
    bool FCancelled = false;
};

}  // namespace vcl
