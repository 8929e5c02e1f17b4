// The class library's standard actions (edit, window, help, file, search and dialog actions) with wide Caption
// and Hint. Beyond the wide texts they differ in three places: the delete action, the wide file dialogs the file
// actions make, and what Assign copies.
#pragma once

#include "StdActns.h"
#include "WydActnList.h"
#include "WydDialogs.h"

// The tail of every standard action's Assign: the wide caption and hint, and between actions of the same kind the
// dialog events, the open-with file name and the find-next action's find action.
void WydStdActn_AfterInherited_Assign(vcl::TCustomAction* action, vcl::TPersistent* source);

template <class Base>
class TWydStdActionOf : public TWydActionOf<Base> {
public:
    using TWydActionOf<Base>::TWydActionOf;
    void Assign(vcl::TPersistent* source) override
    {
        Base::Assign(source);
        WydStdActn_AfterInherited_Assign(this, source);
    }
};

// Declares the twin Wyd<Name> of the class library's standard action <Name> with nothing of its own.
#define WYD_STANDARD_ACTION(Name)                                \
    class TWyd##Name : public TWydStdActionOf<vcl::T##Name> {    \
        VCL_CLASS(TWyd##Name, vcl::T##Name)                      \
        using TWydStdActionOf::TWydStdActionOf;                  \
    };

WYD_STANDARD_ACTION(HintAction)
WYD_STANDARD_ACTION(EditAction)
WYD_STANDARD_ACTION(EditCut)
WYD_STANDARD_ACTION(EditCopy)
WYD_STANDARD_ACTION(EditPaste)
WYD_STANDARD_ACTION(EditSelectAll)
WYD_STANDARD_ACTION(EditUndo)
WYD_STANDARD_ACTION(WindowAction)
WYD_STANDARD_ACTION(WindowClose)
WYD_STANDARD_ACTION(WindowCascade)
WYD_STANDARD_ACTION(WindowTileHorizontal)
WYD_STANDARD_ACTION(WindowTileVertical)
WYD_STANDARD_ACTION(WindowMinimizeAll)
WYD_STANDARD_ACTION(WindowArrange)
WYD_STANDARD_ACTION(HelpAction)
WYD_STANDARD_ACTION(HelpContents)
WYD_STANDARD_ACTION(HelpTopicSearch)
WYD_STANDARD_ACTION(HelpOnHelp)
WYD_STANDARD_ACTION(HelpContextAction)
WYD_STANDARD_ACTION(CommonDialogAction)
WYD_STANDARD_ACTION(FileAction)
WYD_STANDARD_ACTION(FilePrintSetup)
WYD_STANDARD_ACTION(FileExit)
WYD_STANDARD_ACTION(SearchAction)
WYD_STANDARD_ACTION(SearchFind)
WYD_STANDARD_ACTION(SearchReplace)
WYD_STANDARD_ACTION(SearchFindFirst)
WYD_STANDARD_ACTION(SearchFindNext)
WYD_STANDARD_ACTION(FontEdit)
WYD_STANDARD_ACTION(ColorSelect)
WYD_STANDARD_ACTION(PrintDlg)

// Always enabled. Without a selection it deletes the character after the caret: a line break (CR LF) or a
// character beyond the basic plane (a surrogate pair) goes whole.
class TWydEditDelete : public TWydStdActionOf<vcl::TEditDelete> {
    VCL_CLASS(TWydEditDelete, vcl::TEditDelete)
    using TWydStdActionOf::TWydStdActionOf;
    void UpdateTarget(vcl::TObject* target) override;
    void ExecuteTarget(vcl::TObject* target) override;
};

class TWydFileOpen : public TWydStdActionOf<vcl::TFileOpen> {
    VCL_CLASS(TWydFileOpen, vcl::TFileOpen)
    using TWydStdActionOf::TWydStdActionOf;
    TWydOpenDialog* GetDialog() const { return static_cast<TWydOpenDialog*>(TCommonDialogAction::GetDialog()); }

protected:
    vcl::TClass GetDialogClass() const override { return TWydOpenDialog::StaticClass(); }
};

class TWydFileOpenWith : public TWydStdActionOf<vcl::TFileOpenWith> {
    VCL_CLASS(TWydFileOpenWith, vcl::TFileOpenWith)
    using TWydStdActionOf::TWydStdActionOf;
    TWydOpenDialog* GetDialog() const { return static_cast<TWydOpenDialog*>(TCommonDialogAction::GetDialog()); }

protected:
    vcl::TClass GetDialogClass() const override { return TWydOpenDialog::StaticClass(); }
};

class TWydFileSaveAs : public TWydStdActionOf<vcl::TFileSaveAs> {
    VCL_CLASS(TWydFileSaveAs, vcl::TFileSaveAs)
    using TWydStdActionOf::TWydStdActionOf;
    TWydSaveDialog* GetDialog() const { return static_cast<TWydSaveDialog*>(TCommonDialogAction::GetDialog()); }

protected:
    vcl::TClass GetDialogClass() const override { return TWydSaveDialog::StaticClass(); }
};

// Unit start: the actions become known to form streams.
void InitWydStdActns();
