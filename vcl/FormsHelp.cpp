// The program's help: commands to the help system on the help file of the active or the main form.
#include "Forms.h"

namespace vcl {

namespace {
TCustomForm* ActiveForm()
{
    return Screen ? Screen->GetActiveForm() : nullptr;
}
}  // namespace

AnsiString CurrentHelpFile()
{
    if (TCustomForm* active = ActiveForm(); active && !active->HelpFile.empty())
        return active->HelpFile;
    TCustomForm* main = Application ? Application->GetMainForm() : nullptr;
    return main ? main->HelpFile : AnsiString();
}

bool HelpCommand(UINT Command, ULONG_PTR Data)
{
    AnsiString file = CurrentHelpFile();
    if (file.empty())
        return false;
    TCustomForm* active = ActiveForm();
    HWND owner = active && active->HandleAllocated() ? active->WindowHandle
                                                     : (Application ? Application->GetHandle() : nullptr);
    return WinHelpA(owner, file.c_str(), Command, Data) != FALSE;
}

}  // namespace vcl
