// What the TWAIN sources offer, kept in one registry subkey per source: the source lists of the main window
// and the settings dialog, the first scanner on first use, and the capability query behind the settings
// dialog's scan-setting lists. Plain code: the window shows what these return.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "RegistryKey.h"
#include "SettingsStore.h"
#include "Twain.h"

namespace pagorin {

// Container routines.
int TwainItemSize(TW_UINT16 itemType);
// The item as text; reads at most `available` bytes of it (strings end there when not before).
std::string FormatTwainItem(TW_UINT16 itemType, const TW_UINT8* item, size_t available);
double Fix32ToFloat(TW_FIX32 value);

// A capability's container as whole numbers, whatever its kind.
struct ContainerValues {
    std::vector<long> Items;  // every value offered (a range counted out by its step, within a bound)
    long Current = 0, Default = 0, Min = 0, Max = 0;
};
// Reads a container of `conType` from `size` bytes; nothing for an unknown kind or a container cut short.
std::optional<ContainerValues> ParseContainer(TW_UINT16 conType, const TW_UINT8* bytes, size_t size);

// One scan-setting list of the settings dialog: its item names and the text shown.
struct ChoiceList {
    std::vector<std::string> Items;
    std::string Text;
};

// A code list of the source (pixel types, file formats, page sizes) against the stored "current|offered..."
// value: the list to show and the value to store. Unknown codes are not shown; page sizes still store them.
struct CodeOffer {
    ChoiceList List;
    std::string Stored;
};
CodeOffer OfferCodes(CodeTable table, const std::vector<long>& offered, const std::string& stored);

// The resolutions to offer from the X and Y ranges (minimum, maximum, default) and the stored
// "current|lowest|highest" value.
struct ResolutionRange {
    long Min = 0, Max = 0, Default = 0;
};
struct ResolutionOffer {
    ChoiceList List;
    std::string Stored;
};
ResolutionOffer OfferResolutions(ResolutionRange x, ResolutionRange y, const std::string& stored);
// lowest, 200 and 300 when they lie above it, then doubling up to highest.
std::vector<long> ResolutionList(long lowest, long highest);

// What a capability query found; a list left out was not reached (a failed resolution query ends it there).
struct ScannerCapabilities {
    std::optional<ChoiceList> ColorModes, FileFormats, Resolutions, PageSizes;
    int DuplexMode = 0;  // 0 none, 1 one-pass, 2 two-pass
    bool DuplexChecked = false;
};
// Opens the source of this product name, reads its offer into its subkey and gives the lists; nothing when
// no source has the name or it does not open.
std::optional<ScannerCapabilities> QueryScannerCapabilities(TwainSession& twain, const KeyLocation& product,
                                                            const std::string& name);

// A list of sources as a window shows it.
struct SourceRows {
    std::vector<std::string> Names;
    int Selected = -1;  // the row of the current scanner
};
// Every source, each given its subkey; the current scanner's identity becomes the one to open.
SourceRows ListTwainSources(TwainSession& twain, const KeyLocation& product, const std::string& currentScanner);

struct ScannerList : SourceRows {
    std::string ChosenDefault;  // first use: the manager's default source, now the current scanner
};
// The sources not removed from the settings dialog's list (all of them again with `showAll`), with their
// subkeys; with no current scanner the manager's default becomes it and the first-use settings are written.
ScannerList EnumerateScanners(TwainSession& twain, const KeyLocation& product, const std::string& currentScanner,
                              bool showAll);

}  // namespace pagorin
