// Visual-styles schema tables.
#include "QvTmSchema.h"

#include <array>

namespace {

struct FamilySchema {
    const wchar_t* className;
    std::span<const std::uint8_t> partStates;
};

constexpr std::uint8_t buttonParts[] = {5, 8, 12, 2, 1};
constexpr std::uint8_t clockParts[] = {1};
constexpr std::uint8_t comboBoxParts[] = {4};
constexpr std::uint8_t editParts[] = {7, 1};
constexpr std::uint8_t explorerBarParts[] = {3, 3, 6, 3, 1, 3, 3, 1, 1, 3, 3, 1};
constexpr std::uint8_t headerParts[] = {3, 3, 3, 2};
constexpr std::uint8_t listViewParts[] = {5, 1, 1, 1, 1};
constexpr std::uint8_t menuParts[] = {3, 1, 1, 1, 1, 1};
constexpr std::uint8_t pageParts[] = {4, 4, 4, 4};
constexpr std::uint8_t progressParts[] = {1, 1, 1, 1};
constexpr std::uint8_t rebarParts[] = {1, 1, 1, 3, 3, 1, 3, 3};
constexpr std::uint8_t scrollBarParts[] = {16, 5, 5, 5, 5, 5, 5, 1, 1, 2};
constexpr std::uint8_t spinParts[] = {4, 4, 4, 4};
constexpr std::uint8_t startPanelParts[] = {1, 1, 3, 1, 1, 1, 1, 1, 3, 1, 1};
constexpr std::uint8_t statusParts[] = {1, 1, 1};
constexpr std::uint8_t tabParts[] = {5, 5, 5, 5, 5, 5, 5, 5, 1, 1};
constexpr std::uint8_t taskBandParts[] = {1, 1, 1};
constexpr std::uint8_t taskBarParts[] = {1};
constexpr std::uint8_t toolBarParts[] = {6, 6, 6, 6, 6, 6};
constexpr std::uint8_t toolTipParts[] = {2, 2, 2, 2, 3};
constexpr std::uint8_t trackBarParts[] = {1, 1, 5, 5, 5, 5, 5, 5, 1, 1};
constexpr std::uint8_t trayNotifyParts[] = {1, 1};
constexpr std::uint8_t treeviewParts[] = {5, 2, 1};
// Captions (six kinds), frames (six), caption buttons (twelve), scroll parts (four), dialog, sizing templates.
constexpr std::uint8_t windowParts[] = {3, 3, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2, 4, 4, 4, 4, 4, 4, 4, 4, 4,
                                        4, 4, 4, 4, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1};

constexpr std::array<FamilySchema, ThemedElementCount> families = {{
    {L"button", buttonParts},         {L"clock", clockParts},           {L"combobox", comboBoxParts},
    {L"edit", editParts},             {L"explorerbar", explorerBarParts}, {L"header", headerParts},
    {L"listview", listViewParts},     {L"menu", menuParts},             {L"page", pageParts},
    {L"progress", progressParts},     {L"rebar", rebarParts},           {L"scrollbar", scrollBarParts},
    {L"spin", spinParts},             {L"startpanel", startPanelParts}, {L"status", statusParts},
    {L"tab", tabParts},               {L"taskband", taskBandParts},     {L"taskbar", taskBarParts},
    {L"toolbar", toolBarParts},       {L"tooltip", toolTipParts},       {L"trackbar", trackBarParts},
    {L"traynotify", trayNotifyParts}, {L"treeview", treeviewParts},     {L"window", windowParts},
}};

}  // namespace

const wchar_t* ThemeClassName(TThemedElement element)
{
    return element < ThemedElementCount ? families[element].className : L"";
}

std::span<const std::uint8_t> ThemePartStates(TThemedElement element)
{
    return element < ThemedElementCount ? families[element].partStates : std::span<const std::uint8_t>{};
}
