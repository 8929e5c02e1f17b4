// The clipboard over the system's, in CF_TEXT and raw formats.
#include "Clipbrd.h"

#include <cstring>

#include "Forms.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TClipboard, TPersistent)

namespace {
TClipboard* clipboard = nullptr;
}  // namespace

TClipboard* Clipboard()
{
    if (!clipboard)
        clipboard = new TClipboard;
    return clipboard;
}

void DoneClipboard()
{
    delete clipboard;
    clipboard = nullptr;
}

TClipboard::~TClipboard()
{
    if (FOpenRefCount > 0)
        CloseClipboard();
}

void TClipboard::Open()
{
    if (FOpenRefCount == 0) {
        // Another program may hold it for a moment: a few tries, then give up.
        bool opened = false;
        for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
            opened = OpenClipboard(Application ? Application->GetHandle() : nullptr) != FALSE;
            if (!opened)
                Sleep(10);
        }
        if (!opened)
            throw Exception("Cannot open clipboard");
        FEmptied = false;
    }
    ++FOpenRefCount;
}

void TClipboard::Close()
{
    if (FOpenRefCount == 0)
        return;
    if (--FOpenRefCount == 0)
        CloseClipboard();
}

void TClipboard::Adding()
{
    if (FOpenRefCount > 0 && !FEmptied) {
        EmptyClipboard();
        FEmptied = true;
    }
}

void TClipboard::Clear()
{
    Open();
    EmptyClipboard();
    FEmptied = true;
    Close();
}

AnsiString TClipboard::GetAsText()
{
    Open();
    AnsiString text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    Close();
    return text;
}

void TClipboard::SetAsText(const AnsiString& Value)
{
    SetBuffer(CF_TEXT, Value.c_str(), Value.size() + 1);
}

void TClipboard::SetBuffer(UINT Format, const void* Buffer, size_t Size)
{
    Open();
    struct CloseOnExit {
        TClipboard* c;
        ~CloseOnExit() { c->Close(); }
    } closer{this};
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, Size ? Size : 1);
    if (!data)
        throw EOutOfMemory("Out of memory");
    if (void* p = GlobalLock(data)) {
        std::memcpy(p, Buffer, Size);
        GlobalUnlock(data);
    }
    Adding();
    if (!SetClipboardData(Format, data)) {
        GlobalFree(data);
        RaiseLastOSError();
    }
}

}  // namespace vcl
