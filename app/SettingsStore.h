// Pagorin's settings in the product key and the scanner subkeys: defaults, loading into the main window's
// state, saving, and the recently-used disc labels and file namings. Plain code: the main window applies
// what a load gives (`SettingsView`) to its controls.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "DayLog.h"
#include "RegistryKey.h"

namespace pagorin {

// The settings state of the main window.
struct Settings {
    std::string CurrentScannerName;
    int CompiledPdf = 0;  // 0 page files only, 1 page files and PDF, 2 PDF only
    int Copies = 1;
    int DiscType = 0;  // 0 automatic, 1 CD, 2 DVD
    int SpeedCd = 0;
    int SpeedDvd = 0;
    int MaxPdfSize = 100;
    int RwDiscPolicy = 0;  // 0 erase, 1 reject
    int NextPageWait = 30;  // seconds
    bool DeleteHotkeyFiles = false;
    int LanguageId = 1033;
    std::string InstallFolder;
    std::string WorkingPath;
};

// What a load shows on the main window; an empty optional leaves that control as it is.
struct SettingsView {
    std::optional<std::string> Scanner, ColorMode, Resolution, PageSize, FileFormat;
    std::optional<std::vector<std::string>> DiscLabels, FileNamings;
    std::optional<bool> DuplexVisible, DuplexChecked;
};

// Names and TWAIN codes of the scan settings, in lookup order.
struct CodeName {
    const char* Name;
    int Code;
};
enum class CodeTable { ColorModes, FileFormats, PageSizes };
std::optional<std::string> NameOfCode(CodeTable table, int code);
std::optional<int> CodeOfName(CodeTable table, const std::string& name);

// Captions of the scanned-files and compiled-PDF labels for a Compiled PDF option ("Yes"/"No").
std::pair<std::string, std::string> CompiledPdfLabels(int option);
// Capacity label of a disc type: "", "650 MB" or "4,200 MB".
std::string CapacityText(int discType);

// Run once at start, after LoadDefaultSettings; also starts the day log.
void LoadMainSettings(const KeyLocation& product, Settings& settings, SettingsView& view, DayLog& log);
// Run at start and by the Load Default Settings command; false (and nothing changed) without the key.
bool LoadDefaultSettings(const KeyLocation& product, Settings& settings, SettingsView& view);
// Shows the stored current values of a scanner (first token of each list) on the view.
void ReadScannerLabels(const KeyLocation& product, const std::string& scanner, SettingsView& view);

// What the Settings dialog contributes to the saves.
struct WriteSettingsInput {
    std::string PdfSizeText;  // hidden edit
    int RwPolicyIndex = -1;   // -1: nothing selected
    bool DeleteHotkeyFiles = false;
};
struct ScanSettingsInput {
    std::optional<std::string> SelectedScanner;  // none: no row selected
    std::string PageWaitText;
    std::string ColorModeText, FileFormatText;         // the dialog's combos
    std::string ResolutionCaption, PageSizeCaption;    // the main window's labels
    bool DuplexVisible = false, DuplexChecked = false;
};
void SaveLanguageSetting(const RegistryKey& key, const Settings& settings);
void SaveWriteSettings(const RegistryKey& key, Settings& settings, const WriteSettingsInput& input);
void SaveScanSettings(const RegistryKey& key, const KeyLocation& keyLocation, Settings& settings,
                      const ScanSettingsInput& input);

// Rewrites of a stored code list "current|offered..." for a new current choice.
std::string RewriteCodeList(const std::string& stored, CodeTable table, const std::string& chosenName);
std::string RewriteResolution(const std::string& stored, const std::string& caption);
std::string RewritePageSize(const std::string& stored, const std::string& caption);

// One scan-setting list of the settings dialog: its item names and the text shown.
struct ChoiceList {
    std::vector<std::string> Items;
    std::string Text;
};
// A stored code list "current|offered...": the names of the offered codes that the table holds, in the stored
// order, and the current code's name when it is among them (else no text).
ChoiceList StoredCodeChoices(CodeTable table, const std::string& stored);
// lowest, 200 and 300 when they lie above it, then doubling up to highest.
std::vector<long> ResolutionList(long lowest, long highest);
// A stored "current|lowest|highest": the resolutions of the range with the current one shown; a current value
// the range does not give is offered as well. A value that is not three numbers offers none.
ChoiceList StoredResolutionChoices(const std::string& stored);
// The write speeds offered for a disc type (0 automatic, 1 CD, 2 DVD); the index is the stored speed index.
std::vector<std::string> WriteSpeedItems(int discType);
// The next-page wait a typed text means, held to 5..300 however many digits it has; nothing for a text
// without a number (empty while being edited).
std::optional<int> PageWaitOf(const std::string& text);
constexpr int MinPageWait = 5, MaxPageWait = 300;

// Recently-used lists: entry 0 fixed, `text` becomes entry 1, at most 5 entries. False: nothing changed.
// Texts in the system code page or whole, as the list holds them.
template <class Text>
bool UpdateRecentList(std::vector<Text>& items, const std::type_identity_t<Text>& text)
{
    if (items.empty() || items[0] == text)
        return false;
    if (items.size() < 2)
        items.push_back(text);
    size_t p = 0;
    for (size_t i = items.size() - 1; i >= 1; --i)
        if (items[i] == text) {
            p = i;
            break;
        }
    if (p == 0) {
        if (items.size() < 5)
            items.emplace_back();
        p = items.size() - 1;
    }
    for (size_t j = p; j >= 2; --j)
        items[j] = items[j - 1];
    items[1] = text;
    return true;
}
// Writes the entries as "<base> <i>" ("Disc Label" / "File Naming"); nothing without the key.
void SaveRecentList(const KeyLocation& product, const char* base, const std::vector<std::string>& items);

constexpr size_t MaxSettingText = 255;
constexpr size_t MaxPathText = 259;

}  // namespace pagorin
