// The clipboard with wide text.
#include "WydClipBrd.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydClipboard, TClipboard)

namespace {

TWydClipboard* wydClipboard = nullptr;

// Open for the length of a scope.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(TClipboard* clipboard) : clipboard_(clipboard) { clipboard_->Open(); }
    ~OpenClipboardScope() { clipboard_->Close(); }

private:
    TClipboard* clipboard_;
};

}  // namespace

WideString TWydClipboard::GetAsWideText()
{
    OpenClipboardScope open(this);
    WideString text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Never past the memory block, even without a terminator.
            size_t room = GlobalSize(data) / sizeof(wchar_t);
            size_t length = 0;
            while (length < room && p[length])
                ++length;
            text.assign(p, length);
            GlobalUnlock(data);
        }
    }
    if (text.empty())
        text = AnsiToWide(GetAsText());
    return text;
}

void TWydClipboard::SetAsWideText(const WideString& value)
{
    OpenClipboardScope open(this);
    SetAsText(WideToAnsi(value));
    SetBuffer(CF_UNICODETEXT, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

TWydClipboard* WydClipboard()
{
    if (!wydClipboard)
        wydClipboard = new TWydClipboard;
    return wydClipboard;
}

void DoneWydClipBrd()
{
    delete wydClipboard;
    wydClipboard = nullptr;
}
