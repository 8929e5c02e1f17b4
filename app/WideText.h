// The one place where the program's visible texts reach its controls. The class library's controls keep
// ANSI captions; when the Unicode controls take their place only these functions change.
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

}  // namespace pagorin
