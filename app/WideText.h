// The one place where the program's visible texts reach its controls: the Unicode controls take them whole,
// the class library's own controls (the main window's, for now) as the system code page holds them.
#pragma once

#include <string>

namespace vcl {
class TControl;
class TMenuItem;
class TStatusPanel;
}

namespace pagorin {

void SetWideCaption(vcl::TControl* control, const std::wstring& text);
void SetWideCaption(vcl::TMenuItem* item, const std::wstring& text);
void SetPanelText(vcl::TStatusPanel* panel, const std::wstring& text);
// Hints are kept in the system code page.
void SetHintText(vcl::TControl* control, const std::wstring& text);
// The windows' font: Arial, 9 points.
void UseArialFont(vcl::TControl* control);

// The Unicode layer's start, after the class library's and before the first form; its end after the last form
// has gone and before the class library's.
void StartUnicodeLayer();
void EndUnicodeLayer();

}  // namespace pagorin
