// The clipboard with wide text: both the ANSI and the Unicode format hold the text.
#pragma once

#include "Clipbrd.h"
#include "WydSystem.h"

class TWydClipboard : public vcl::TClipboard {
    VCL_CLASS(TWydClipboard, vcl::TClipboard)
    TWydClipboard() = default;
    // The Unicode text, or the ANSI text widened when there is none.
    WideString GetAsWideText();
    void SetAsWideText(const WideString& value);
};

// The process's single wide clipboard object (made on first use, freed by DoneWydClipBrd).
TWydClipboard* WydClipboard();
void DoneWydClipBrd();
