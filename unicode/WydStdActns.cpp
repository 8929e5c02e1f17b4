// The standard actions with wide captions and hints.
#include "WydStdActns.h"

#include <richedit.h>

#include "StdCtrls.h"
#include "ComCtrls.h"
#include "WydControls.h"

using namespace vcl;

// Publishes the wide Caption and Hint of a standard action class.
#define WYD_IMPLEMENT_STANDARD_ACTION(Name)                                               \
    VCL_IMPLEMENT_CLASS(TWyd##Name, T##Name, {                                            \
        m.Publish("Caption", &TWyd##Name::GetCaption, &TWyd##Name::SetCaption);           \
        m.Publish("Hint", &TWyd##Name::GetHint, &TWyd##Name::SetHint);                    \
    })

WYD_IMPLEMENT_STANDARD_ACTION(HintAction)
WYD_IMPLEMENT_STANDARD_ACTION(EditAction)
WYD_IMPLEMENT_STANDARD_ACTION(EditCut)
WYD_IMPLEMENT_STANDARD_ACTION(EditCopy)
WYD_IMPLEMENT_STANDARD_ACTION(EditPaste)
WYD_IMPLEMENT_STANDARD_ACTION(EditSelectAll)
WYD_IMPLEMENT_STANDARD_ACTION(EditUndo)
WYD_IMPLEMENT_STANDARD_ACTION(EditDelete)
WYD_IMPLEMENT_STANDARD_ACTION(WindowAction)
WYD_IMPLEMENT_STANDARD_ACTION(WindowClose)
WYD_IMPLEMENT_STANDARD_ACTION(WindowCascade)
WYD_IMPLEMENT_STANDARD_ACTION(WindowTileHorizontal)
WYD_IMPLEMENT_STANDARD_ACTION(WindowTileVertical)
WYD_IMPLEMENT_STANDARD_ACTION(WindowMinimizeAll)
WYD_IMPLEMENT_STANDARD_ACTION(WindowArrange)
WYD_IMPLEMENT_STANDARD_ACTION(HelpAction)
WYD_IMPLEMENT_STANDARD_ACTION(HelpContents)
WYD_IMPLEMENT_STANDARD_ACTION(HelpTopicSearch)
WYD_IMPLEMENT_STANDARD_ACTION(HelpOnHelp)
WYD_IMPLEMENT_STANDARD_ACTION(HelpContextAction)
WYD_IMPLEMENT_STANDARD_ACTION(CommonDialogAction)
WYD_IMPLEMENT_STANDARD_ACTION(FileAction)
WYD_IMPLEMENT_STANDARD_ACTION(FileOpen)
WYD_IMPLEMENT_STANDARD_ACTION(FileOpenWith)
WYD_IMPLEMENT_STANDARD_ACTION(FileSaveAs)
WYD_IMPLEMENT_STANDARD_ACTION(FilePrintSetup)
WYD_IMPLEMENT_STANDARD_ACTION(FileExit)
WYD_IMPLEMENT_STANDARD_ACTION(SearchAction)
WYD_IMPLEMENT_STANDARD_ACTION(SearchFind)
WYD_IMPLEMENT_STANDARD_ACTION(SearchReplace)
WYD_IMPLEMENT_STANDARD_ACTION(SearchFindFirst)
WYD_IMPLEMENT_STANDARD_ACTION(SearchFindNext)
WYD_IMPLEMENT_STANDARD_ACTION(FontEdit)
WYD_IMPLEMENT_STANDARD_ACTION(ColorSelect)
WYD_IMPLEMENT_STANDARD_ACTION(PrintDlg)

namespace {

// Both the action and the source are of class T: the body runs with them.
template <class T, class Body>
void WhenBoth(TCustomAction* action, TPersistent* source, Body body)
{
    auto* to = dynamic_cast<T*>(action);
    auto* from = dynamic_cast<T*>(source);
    if (to && from)
        body(to, from);
}

// Up to two of the window's units from `start`, as it counts them.
WideString UnitsAt(TCustomEdit* edit, int start)
{
    if (dynamic_cast<TCustomRichEdit*>(edit)) {
        wchar_t buffer[3] = {};
        TEXTRANGEW range{{start, start + 2}, buffer};
        SendMessageW(edit->WindowHandle, EM_GETTEXTRANGE, 0, LPARAM(&range));
        return buffer;
    }
    WideString text = WydControl_GetText(edit);
    return size_t(start) < text.size() ? text.substr(size_t(start), 2) : WideString();
}

// How many units of the window the character at `start` takes: a CR LF pair and a surrogate pair (in an ANSI
// window a lead byte with its trail byte) are one character.
int CharacterLengthAt(TCustomEdit* edit, int start)
{
    if (!IsWindowUnicode(edit->WindowHandle)) {
        AnsiString text = edit->GetText();
        if (size_t(start) + 1 >= text.size())
            return 1;
        char first = text[size_t(start)];
        return (first == '\r' && text[size_t(start) + 1] == '\n') || IsDBCSLeadByte(BYTE(first)) ? 2 : 1;
    }
    WideString units = UnitsAt(edit, start);
    if (units.size() < 2)
        return 1;
    return (units[0] == L'\r' && units[1] == L'\n') || (IS_HIGH_SURROGATE(units[0]) && IS_LOW_SURROGATE(units[1]))
               ? 2
               : 1;
}

}  // namespace

void WydStdActn_AfterInherited_Assign(TCustomAction* action, TPersistent* source)
{
    WydAction_AfterInherited_Assign(action, source);
    WhenBoth<TCommonDialogAction>(action, source, [](TCommonDialogAction* to, TCommonDialogAction* from) {
        to->BeforeExecute = from->BeforeExecute;
        to->OnAccept = from->OnAccept;
        to->OnCancel = from->OnCancel;
    });
    WhenBoth<TFileOpenWith>(action, source,
                            [](TFileOpenWith* to, TFileOpenWith* from) { to->SetFileName(from->GetFileName()); });
    WhenBoth<TSearchFindNext>(action, source,
                              [](TSearchFindNext* to, TSearchFindNext* from) { to->SetSearchFind(from->GetSearchFind()); });
}

void TWydEditDelete::UpdateTarget(TObject*)
{
    SetEnabled(true);
}

void TWydEditDelete::ExecuteTarget(TObject* target)
{
    auto* edit = static_cast<TCustomEdit*>(target);
    if (edit->GetSelLength() == 0)
        edit->SetSelLength(CharacterLengthAt(edit, edit->GetSelStart()));
    edit->ClearSelection();
}

void InitWydStdActns()
{
    RegisterClasses(
        {TWydHintAction::StaticClass(), TWydEditCut::StaticClass(), TWydEditCopy::StaticClass(),
         TWydEditPaste::StaticClass(), TWydEditSelectAll::StaticClass(), TWydEditUndo::StaticClass(),
         TWydEditDelete::StaticClass(), TWydWindowClose::StaticClass(), TWydWindowCascade::StaticClass(),
         TWydWindowTileHorizontal::StaticClass(), TWydWindowTileVertical::StaticClass(),
         TWydWindowMinimizeAll::StaticClass(), TWydWindowArrange::StaticClass(), TWydHelpContents::StaticClass(),
         TWydHelpTopicSearch::StaticClass(), TWydHelpOnHelp::StaticClass(), TWydHelpContextAction::StaticClass(),
         TWydFileOpen::StaticClass(), TWydFileOpenWith::StaticClass(), TWydFileSaveAs::StaticClass(),
         TWydFilePrintSetup::StaticClass(), TWydFileExit::StaticClass(), TWydSearchFind::StaticClass(),
         TWydSearchReplace::StaticClass(), TWydSearchFindFirst::StaticClass(), TWydSearchFindNext::StaticClass(),
         TWydFontEdit::StaticClass(), TWydColorSelect::StaticClass(), TWydPrintDlg::StaticClass()});
}
