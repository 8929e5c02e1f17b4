// Visual-styles schema numbers: the element families with their window class names, and for each family
// the number of states of every part in schema order. Constants only; the theme services read them.
#pragma once

#include <cstdint>
#include <span>

enum TThemedElement : std::uint8_t {
    teButton, teClock, teComboBox, teEdit, teExplorerBar, teHeader, teListView, teMenu, tePage, teProgress,
    teRebar, teScrollBar, teSpin, teStartPanel, teStatus, teTab, teTaskBand, teTaskBar, teToolBar, teToolTip,
    teTrackBar, teTrayNotify, teTreeview, teWindow
};
constexpr int ThemedElementCount = teWindow + 1;

// Class name that OpenThemeData takes for the family.
const wchar_t* ThemeClassName(TThemedElement element);

// States of each part of the family (parts numbered from 1, in schema order).
std::span<const std::uint8_t> ThemePartStates(TThemedElement element);
