// The class library's own message numbers: control messages (CM_) sent between controls and
// notifications reflected to the child that caused them (CN_x = CN_BASE + WM_x), in one place.
#pragma once

#include <windows.h>

namespace vcl {

// Control messages: sent by the library to its own controls through Perform, never posted.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x02;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x03;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x04;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x05;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x06;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x07;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x08;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x09;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0A;
constexpr UINT CM_ENTER = CM_BASE + 0x0B;
constexpr UINT CM_EXIT = CM_BASE + 0x0C;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x0D;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x0E;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x0F;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x10;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x11;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x13;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x14;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x15;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x16;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x17;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x18;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x19;
constexpr UINT CM_DOCKCLIENT = CM_BASE + 0x1A;
constexpr UINT CM_DOCKNOTIFICATION = CM_BASE + 0x1B;
constexpr UINT CM_CHANGED = CM_BASE + 0x1C;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x41;
// Private to the application window: run a closure posted by another thread (lParam = the closure).
constexpr UINT CM_RUNCLOSURE = CM_BASE + 0x50;
// Private to a form: release (free) the form after the message that asked for it has finished.
constexpr UINT CM_RELEASE = CM_BASE + 0x51;
// 0xB3E8 and 0xB3E9 stay free: the check-tree layer uses them for its own timers.

// Notifications reflected from a parent to the child control that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

static_assert(CM_TEXTCHANGED == 0xB012 && CM_HINTSHOW == 0xB030 && CM_ACTIONEXECUTE == 0xB040);
static_assert(CN_KEYDOWN == 0xBD00 && CN_CHAR == 0xBD02 && CN_SYSKEYDOWN == 0xBD04 && CN_SYSCHAR == 0xBD06);
static_assert(CN_COMMAND == 0xBD11 && CN_NOTIFY == 0xBC4E && CN_DRAWITEM == 0xBC2B);

// A message as the library's handlers see it: the window's message with room for the answer.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

}  // namespace vcl
