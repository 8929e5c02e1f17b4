// What the window tests of the wide common controls share: texts in four scripts, a form (plain or Unicode) to
// put the controls on, and views that note the notifications they get.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Forms.h"
#include "WindowTestSupport.h"
#include "WydComCtrls.h"
#include "WydForms.h"
#include "WydTestSupport.h"

namespace wydcomtest {

using namespace wydtest;

// Notes the code of every notification the control handles.
template <class View> class TRecording : public View {
public:
    using View::View;
    std::vector<UINT> Codes;
    bool Saw(UINT code) const { return std::find(Codes.begin(), Codes.end(), code) != Codes.end(); }

protected:
    void WndProc(vcl::TMessage& message) override
    {
        if (message.Msg == vcl::CN_NOTIFY)
            Codes.push_back(reinterpret_cast<NMHDR*>(message.LParam)->code);
        View::WndProc(message);
    }
};

inline WideString ItemTextW(vcl::TWinControl* list, int index, int subItem, int size = 256)
{
    std::vector<wchar_t> buffer(size_t(std::max(size, 1)), L'#');
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = size;
    int length = int(SendMessageW(list->WindowHandle, LVM_GETITEMTEXTW, WPARAM(index), LPARAM(&item)));
    return WideString(item.pszText, size_t(std::max(length, 0)));
}

inline WideString ColumnTextW(vcl::TWinControl* list, int index)
{
    wchar_t buffer[128] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = 128;
    SendMessageW(list->WindowHandle, LVM_GETCOLUMNW, WPARAM(index), LPARAM(&column));
    return buffer;
}

inline WideString NodeTextW(vcl::TWinControl* tree, vcl::TTreeNode* node)
{
    wchar_t buffer[300] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node->ItemId;
    item.pszText = buffer;
    item.cchTextMax = 300;
    SendMessageW(tree->WindowHandle, TVM_GETITEMW, 0, LPARAM(&item));
    return item.pszText;
}

// Ends a label edit as the user would: the text typed into the editor, then Enter.
inline void TypeIntoLabelEditor(HWND editor, const WideString& text)
{
    ASSERT_TRUE(editor);
    SetWindowTextW(editor, text.c_str());
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
}

// The notifications of a common control in ANSI form from now on.
inline void NotifyInAnsi(vcl::TWinControl* control)
{
    SendMessageW(control->WindowHandle, CCM_SETUNICODEFORMAT, FALSE, 0);
}

// The layer started once per program; each case gets a form of its own (plain, or a Unicode container).
class WydComCtrlsTest : public WydFormTest {
protected:
    static void SetUpTestSuite()
    {
        WydLayerSuite::SetUpTestSuite();
        InitWydComCtrls();
    }
    template <class T> T* Make(int height = 200)
    {
        auto* control = new T(form.get());
        control->SetParent(form.get());
        control->SetBounds(8, 8, 480, height);
        return control;
    }
};

}  // namespace wydcomtest
