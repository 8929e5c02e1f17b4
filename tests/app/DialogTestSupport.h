// Pagorin's dialogs in the test's own process, on real windows: the forms made from their resources as the
// program makes them (the main window without its start-up work: no TWAIN, no threads), the prefix's real
// product key (each case runs in a prefix of its own), and an operator's hands: find by caption, click, type,
// select.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "About.h"
#include "Main.h"
#include "QvComponents.h"
#include "RegistryKey.h"
#include "SelectScanner.h"
#include "Settings.h"
#include "TestSupport.h"
#include "WideText.h"
#include "WindowTestSupport.h"

namespace dialogtest {

const std::wstring ProductKey = L"Software\\Tessaro Systems\\Pagorin";

inline std::string Narrow(const std::wstring& text) { return vcl::WideToAnsi(text); }
inline std::wstring Widen(const std::string& text) { return vcl::AnsiToWide(text); }

// Registry values of the product key or of a scanner's subkey.
inline void Put(const char* name, const std::string& value, const std::string& scanner = "")
{
    pagorin::KeyLocation product;
    pagorin::RegistryKey(scanner.empty() ? product : product.Sub(scanner), true).WriteString(name, value);
}
inline void Put(const char* name, DWORD value, const std::string& scanner = "")
{
    pagorin::KeyLocation product;
    pagorin::RegistryKey(scanner.empty() ? product : product.Sub(scanner), true).WriteDword(name, value);
}
inline std::optional<std::wstring> StoredString(const wchar_t* name, const std::wstring& scanner = L"")
{
    return testsupport::ReadRegString(HKEY_LOCAL_MACHINE, scanner.empty() ? ProductKey : ProductKey + L"\\" + scanner,
                                      name);
}
inline std::optional<DWORD> StoredDword(const wchar_t* name, const std::wstring& scanner = L"")
{
    return testsupport::ReadRegDword(HKEY_LOCAL_MACHINE, scanner.empty() ? ProductKey : ProductKey + L"\\" + scanner,
                                     name);
}

// The visible text of a control, wide whatever its kind.
inline std::wstring TextOf(vcl::TControl* control) { return WydControl_GetText(control); }

// A descendant window of the form with exactly this text (a button's caption, a tab sheet's ...).
inline HWND FindByCaption(vcl::TWinControl* form, const std::wstring& caption)
{
    return testsupport::FindChild(form->WindowHandle, nullptr, caption.c_str());
}

// What an operator does with a mouse click on a button (the button sends its parent the click).
inline void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
inline void Click(vcl::TWinControl* button) { Click(button->WindowHandle); }

// Typed characters, one by one, as the keyboard hands them to the focused edit.
inline void Type(vcl::TWinControl* edit, const std::wstring& keys)
{
    for (wchar_t key : keys)
        SendMessageW(edit->WindowHandle, WM_CHAR, WPARAM(key), 1);
}
// The caret to the end of the edit's text, as a click behind it puts it.
inline void CaretToEnd(vcl::TWinControl* edit) { SendMessageW(edit->WindowHandle, EM_SETSEL, 0x7FFF, 0x7FFF); }

// An item chosen from the drop-down list: the box selects it and tells its parent.
inline void Choose(vcl::TWinControl* combo, int index)
{
    HWND box = combo->WindowHandle;
    SendMessageW(box, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE), LPARAM(box));
}
inline int ChosenIndex(vcl::TWinControl* combo) { return int(SendMessageW(combo->WindowHandle, CB_GETCURSEL, 0, 0)); }

// A row selected in a list view, as a click on it does.
inline void SelectRow(vcl::TWinControl* view, int row)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view->WindowHandle, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&item));
}
// The middle of a row, in the list view's client coordinates.
inline POINT RowPoint(vcl::TWinControl* view, int row)
{
    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageW(view->WindowHandle, LVM_GETITEMRECT, WPARAM(row), LPARAM(&r));
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
// A click with the left button at a point of a window's client area, through the message loop.
inline void LeftClickAt(vcl::TWinControl* control, POINT at)
{
    PostMessageW(control->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(control->WindowHandle, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// A page of a page control chosen by its tab.
inline void ChooseTab(vcl::TWinControl* pages, int index)
{
    SendMessageW(pages->WindowHandle, TCM_SETCURFOCUS, WPARAM(index), 0);
}

// The three dialogs and the main window they read and write.
class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        vcl::InitForms();
        pagorin::StartUnicodeLayer();
        RegisterQvComponents();
    }
    static void TearDownTestSuite()
    {
        pagorin::EndUnicodeLayer();
        vcl::DoneForms();
    }
    void SetUp() override
    {
        testsupport::DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        CopyFileW(L"" PAGORIN_LANGUAGE_FILE, install_.File(L"Pagorin.ini").c_str(), FALSE);
    }
    void TearDown() override
    {
        delete pagorin::frmSelectScanner;
        delete pagorin::frmAbout;
        delete pagorin::frmSettings;
        delete pagorin::frmMain;
        pagorin::frmSelectScanner = nullptr;
        pagorin::frmAbout = nullptr;
        pagorin::frmSettings = nullptr;
        pagorin::frmMain = nullptr;
        testsupport::DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
    }

    // The forms in the program's order, after what the test stored in the product key: the main window with
    // its controls, the stored defaults and its texts, then the dialogs with their creation.
    void CreateForms()
    {
        using pagorin::TfrmMain;
        pagorin::frmMain = new TfrmMain(vcl::Application);
        ASSERT_TRUE(vcl::InitInheritedComponent(pagorin::frmMain, vcl::TForm::StaticClass()));
        TfrmMain& main = *pagorin::frmMain;
        main.Config.InstallFolder = Narrow(install_.Path());
        main.Config.WorkingPath = Narrow(work_.Path());
        main.LanguageIniPath = main.Config.InstallFolder + "\\Pagorin.ini";
        main.LoadDefaultSettings();
        main.ApplyLanguageTexts();
        pagorin::frmSettings = vcl::TCustomForm::Create<pagorin::TfrmSettings>(vcl::Application);
        pagorin::frmAbout = vcl::TCustomForm::Create<pagorin::TfrmAbout>(vcl::Application);
        pagorin::frmSelectScanner = vcl::TCustomForm::Create<pagorin::TfrmSelectScanner>(vcl::Application);
    }
    // The scanner rows as the scanner listing leaves them, the current scanner's selected.
    static void ListScanners(std::initializer_list<const char*> names)
    {
        vcl::TListItems* rows = pagorin::frmSettings->lvDataSources->GetItems();
        rows->Clear();
        for (const char* name : names) {
            rows->Add()->SetCaption(name);
            pagorin::RegistryKey(pagorin::KeyLocation().Sub(name), true).WriteDword("Visible", 1);
            if (pagorin::frmMain->Config.CurrentScannerName == name)
                rows->GetItem(rows->GetCount() - 1)->SetSelected(true);
        }
    }
    // Shows a dialog as the commands do, but without a modal loop of its own: the test's pump is the loop.
    static void ShowDialog(vcl::TCustomForm* form)
    {
        form->Show();
        ASSERT_TRUE(vcltest::PumpUntil([form] { return form->GetActive(); })) << "the dialog was not activated";
    }
    // Lets posted input and the form's painting run.
    static bool Settle(vcl::TCustomForm* form)
    {
        return vcltest::PumpUntil([form] { return !GetUpdateRect(form->WindowHandle, nullptr, FALSE); });
    }

    testsupport::TempDir install_, work_;
};

}  // namespace dialogtest
