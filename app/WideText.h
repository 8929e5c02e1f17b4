// The one place where the program's visible texts reach its controls: the Unicode controls' wide caption,
// text and hint, so a text shows in any script whatever the system code page.
#pragma once

#include <string>
#include <vector>

namespace vcl {
class TControl;
class TMenuItem;
}
class TWydCustomComboBox;
class TWydStatusPanel;

namespace pagorin {

// The caption or text of a control.
void SetWideCaption(vcl::TControl* control, const std::wstring& text);
// A text the program holds in the system code page (registry values, file names).
void SetAnsiCaption(vcl::TControl* control, const std::string& text);
// A Unicode menu item takes the text whole, a class library one as the system code page holds it.
void SetWideCaption(vcl::TMenuItem* item, const std::wstring& text);
void SetPanelText(TWydStatusPanel* panel, const std::wstring& text);
void SetHintText(vcl::TControl* control, const std::wstring& text);
// The windows' font: Arial, 9 points.
void UseArialFont(vcl::TControl* control);

// The Unicode layer's start, after the class library's and before the first form; its end after the last form
// has gone and before the class library's.
void StartUnicodeLayer();
void EndUnicodeLayer();

// A combo box's list, whole.
std::vector<std::wstring> WideItems(TWydCustomComboBox* box);
void SetWideItems(TWydCustomComboBox* box, const std::vector<std::wstring>& items);
// A combo box's list and a control's text in the system code page, as the registry and the file names keep
// them.
void SetAnsiItems(TWydCustomComboBox* box, const std::vector<std::string>& items);
std::string AnsiText(vcl::TControl* control);

}  // namespace pagorin
