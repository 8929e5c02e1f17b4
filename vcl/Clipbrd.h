// The clipboard: opened and closed by nesting, emptied once when the first format of a bracket goes in.
#pragma once

#include "Classes.h"

namespace vcl {

class TClipboard : public TPersistent {
    VCL_CLASS(TClipboard, TPersistent)
    TClipboard() = default;
    ~TClipboard() override;
    // The first Open opens the system clipboard, the matching last Close closes it.
    void Open();
    void Close();
    void Clear();
    bool HasFormat(UINT Format) const { return IsClipboardFormatAvailable(Format) != FALSE; }
    AnsiString GetAsText();
    // Empties the clipboard and places the text (CF_TEXT).
    void SetAsText(const AnsiString& Value);
    // Places a copy of the data in movable global memory under the format.
    void SetBuffer(UINT Format, const void* Buffer, size_t Size);
    int GetFormatCount() const { return CountClipboardFormats(); }

private:
    void Adding();
    int FOpenRefCount = 0;
    bool FEmptied = false;
};

// The application's clipboard object (made on first use, freed by DoneClipboard).
TClipboard* Clipboard();
void DoneClipboard();

}  // namespace vcl
