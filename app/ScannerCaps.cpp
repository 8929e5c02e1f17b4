// Capability containers, the offered lists and resolutions, the source lists and the scanner subkeys.
#include "ScannerCaps.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pagorin {
namespace {

// Items of a range counted out by its step, at most this many.
constexpr size_t MaxRangeItems = 1024;
// What a code list stores when nothing known was offered or stored.
constexpr long NoCurrentCode = -999;

template <class T>
T Read(const TW_UINT8* bytes)
{
    T value;
    memcpy(&value, bytes, sizeof(value));
    return value;
}

// An item as a whole number: its text, converted as a decimal.
long ItemNumber(TW_UINT16 itemType, const TW_UINT8* item, size_t available)
{
    return strtol(FormatTwainItem(itemType, item, available).c_str(), nullptr, 10);
}

std::string FirstField(const std::string& text) { return text.substr(0, text.find('|')); }

// The stored text "current|code|code...", kept short enough to read back as a setting.
std::string StoredList(long current, const std::vector<long>& codes)
{
    std::string text = std::to_string(current);
    for (long code : codes) {
        std::string field = "|" + std::to_string(code);
        if (text.size() + field.size() > MaxSettingText)
            break;
        text += field;
    }
    return text;
}

// MSG_GET of a capability, whatever container the source answers with (the container is freed).
std::optional<ContainerValues> GetCapability(TwainSession& twain, TW_UINT16 cap)
{
    TW_CAPABILITY capability{cap, TWON_DONTCARE16, nullptr};
    if (twain.CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability) != TWRC_SUCCESS || !capability.hContainer)
        return std::nullopt;
    std::optional<ContainerValues> values;
    if (const void* memory = GlobalLock(capability.hContainer)) {
        values = ParseContainer(capability.ConType, static_cast<const TW_UINT8*>(memory),
                                GlobalSize(capability.hContainer));
        GlobalUnlock(capability.hContainer);
    }
    GlobalFree(capability.hContainer);
    return values;
}

}  // namespace

int TwainItemSize(TW_UINT16 itemType)
{
    switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8: return 1;
    case TWTY_INT16:
    case TWTY_UINT16: return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32: return 4;
    case TWTY_FRAME: return 16;
    case TWTY_STR32: return 34;
    case TWTY_STR64: return 66;
    case TWTY_STR128: return 130;
    case TWTY_STR255: return 256;
    default: return 2;
    }
}

double Fix32ToFloat(TW_FIX32 value) { return value.Whole + value.Frac / 65536.0; }

std::string FormatTwainItem(TW_UINT16 itemType, const TW_UINT8* item, size_t available)
{
    // Two item types outside the numbered list are read as numbers too.
    constexpr TW_UINT16 SignedType44 = 44, UnsignedType43 = 43;
    auto fits = [available](size_t size) { return available >= size; };
    char text[64] = {};
    switch (itemType) {
    case TWTY_INT8:
        if (fits(1))
            snprintf(text, sizeof(text), "%d", int(Read<signed char>(item)));
        break;
    case TWTY_INT16:
    case SignedType44:
        if (fits(2))
            snprintf(text, sizeof(text), "%d", int(Read<TW_INT16>(item)));
        break;
    case TWTY_INT32:
        if (fits(4))
            snprintf(text, sizeof(text), "%ld", long(Read<int32_t>(item)));
        break;
    case TWTY_UINT8:
        if (fits(1))
            snprintf(text, sizeof(text), "%u", unsigned(item[0]));
        break;
    case TWTY_UINT16:
    case TWTY_BOOL:
        if (fits(2))
            snprintf(text, sizeof(text), "%u", unsigned(Read<TW_UINT16>(item)));
        break;
    case TWTY_UINT32:
    case UnsignedType43:
        if (fits(4))
            snprintf(text, sizeof(text), "%lu", static_cast<unsigned long>(Read<uint32_t>(item)));
        break;
    case TWTY_FIX32:
        if (fits(4))
            snprintf(text, sizeof(text), "%f", Fix32ToFloat(Read<TW_FIX32>(item)));
        break;
    default: {
        size_t length = std::min({available, size_t(TwainItemSize(itemType)), size_t(256)});
        return std::string(reinterpret_cast<const char*>(item), strnlen(reinterpret_cast<const char*>(item), length));
    }
    }
    return text;
}

std::optional<ContainerValues> ParseContainer(TW_UINT16 conType, const TW_UINT8* bytes, size_t size)
{
    if (!bytes || size < sizeof(TW_UINT16))
        return std::nullopt;
    const TW_UINT16 itemType = Read<TW_UINT16>(bytes);
    const size_t itemSize = size_t(TwainItemSize(itemType));
    ContainerValues values;
    auto list = [&](size_t head, TW_UINT32 count) {
        size_t fitting = (size - head) / itemSize;
        for (size_t i = 0; i < std::min<size_t>(count, fitting); ++i)
            values.Items.push_back(ItemNumber(itemType, bytes + head + i * itemSize, size - head - i * itemSize));
    };
    switch (conType) {
    case TWON_ONEVALUE:
        if (size < offsetof(TW_ONEVALUE, Item) + sizeof(TW_UINT32))
            return std::nullopt;
        values.Items.push_back(ItemNumber(itemType, bytes + offsetof(TW_ONEVALUE, Item), size - offsetof(TW_ONEVALUE, Item)));
        break;
    case TWON_ENUMERATION: {
        const size_t head = offsetof(TW_ENUMERATION, ItemList);
        if (size < head)
            return std::nullopt;
        list(head, Read<TW_UINT32>(bytes + offsetof(TW_ENUMERATION, NumItems)));
        TW_UINT32 current = Read<TW_UINT32>(bytes + offsetof(TW_ENUMERATION, CurrentIndex));
        TW_UINT32 byDefault = Read<TW_UINT32>(bytes + offsetof(TW_ENUMERATION, DefaultIndex));
        if (!values.Items.empty()) {
            values.Current = values.Items[current < values.Items.size() ? current : 0];
            values.Default = values.Items[byDefault < values.Items.size() ? byDefault : 0];
        }
        break;
    }
    case TWON_ARRAY: {
        const size_t head = offsetof(TW_ARRAY, ItemList);
        if (size < head)
            return std::nullopt;
        list(head, Read<TW_UINT32>(bytes + offsetof(TW_ARRAY, NumItems)));
        break;
    }
    case TWON_RANGE: {
        if (size < sizeof(TW_RANGE))
            return std::nullopt;
        auto field = [&](size_t offset) { return ItemNumber(itemType, bytes + offset, sizeof(TW_UINT32)); };
        values.Min = field(offsetof(TW_RANGE, MinValue));
        values.Max = field(offsetof(TW_RANGE, MaxValue));
        long step = std::max(1L, field(offsetof(TW_RANGE, StepSize)));
        values.Default = field(offsetof(TW_RANGE, DefaultValue));
        values.Current = field(offsetof(TW_RANGE, CurrentValue));
        for (long long v = values.Min; v <= values.Max && values.Items.size() < MaxRangeItems; v += step)
            values.Items.push_back(long(v));
        return values;
    }
    default: return std::nullopt;
    }
    if (values.Items.empty())
        return values;
    if (conType != TWON_ENUMERATION)
        values.Current = values.Default = values.Items.front();
    auto [low, high] = std::minmax_element(values.Items.begin(), values.Items.end());
    values.Min = *low;
    values.Max = *high;
    return values;
}

CodeOffer OfferCodes(CodeTable table, const std::vector<long>& offered, const std::string& stored)
{
    // Grey and JPEG are preferred; a page size list takes the first size it knows.
    const bool pageSizes = table == CodeTable::PageSizes;
    const long preferred = table == CodeTable::ColorModes ? 1 : 4;
    const bool haveStored = !FirstField(stored).empty();
    std::optional<long> current;
    if (haveStored)
        current = strtol(FirstField(stored).c_str(), nullptr, 10);
    std::optional<long> lastKnown;
    std::vector<long> kept;
    CodeOffer offer;
    for (long code : offered) {
        std::optional<std::string> name = NameOfCode(table, int(code));
        if (pageSizes)
            kept.push_back(code);
        if (!name)
            continue;
        offer.List.Items.push_back(*name);
        if (!pageSizes)
            kept.push_back(code);
        lastKnown = code;
        if (!current && (pageSizes || code == preferred))
            current = code;
    }
    if (!current)
        current = lastKnown.value_or(NoCurrentCode);
    offer.List.Text = NameOfCode(table, int(*current)).value_or("");
    offer.Stored = StoredList(*current, kept);
    return offer;
}

std::vector<long> ResolutionList(long lowest, long highest)
{
    std::vector<long> list{lowest};
    for (long step : {200L, 300L})
        if (lowest < step && step <= highest)
            list.push_back(step);
    // Doubling needs a positive start; 2v <= highest is asked without overflowing (highest may be negative).
    for (long v = list.back(); v > 0 && v <= highest / 2;)
        list.push_back(v *= 2);
    return list;
}

ResolutionOffer OfferResolutions(ResolutionRange x, ResolutionRange y, const std::string& stored)
{
    for (ResolutionRange* range : {&x, &y}) {
        if (range->Min < 70)
            range->Min = range->Default;
        if (range->Max < 70)
            range->Max = range->Default;
    }
    if (y.Max == 0)
        y.Max = y.Min;
    long lowest = std::max(x.Min, y.Min);
    long highest = std::min(std::max(x.Max, x.Min), y.Max);
    ResolutionOffer offer;
    for (long value : ResolutionList(lowest, highest))
        offer.List.Items.push_back(std::to_string(value));
    std::string current = FirstField(stored);
    if (current.empty())
        current = std::to_string(lowest <= 200 && 200 <= highest ? 200 : lowest);
    offer.List.Text = current;
    offer.Stored = current + "|" + std::to_string(lowest) + "|" + std::to_string(highest);
    return offer;
}

std::optional<ScannerCapabilities> QueryScannerCapabilities(TwainSession& twain, const KeyLocation& product,
                                                            const std::string& name)
{
    twain.CloseTwainSource();
    std::vector<TW_IDENTITY> sources = twain.Sources();
    auto named = std::find_if(sources.begin(), sources.end(),
                              [&name](const TW_IDENTITY& identity) { return name == identity.ProductName; });
    if (named == sources.end())
        return std::nullopt;
    twain.ChooseSource(*named);
    // The source asked for by name, not the main window's current one: its values go under its name.
    if (!twain.OpenTwainSourceByName(name))
        return std::nullopt;
    RegistryKey sub(product.Sub(name), true);
    auto stored = [&sub](const char* value) { return sub.ReadString(value, MaxSettingText).value_or(""); };
    ScannerCapabilities found;
    auto codes = [&](TW_UINT16 cap, CodeTable table, const char* value, std::optional<ChoiceList>& list) {
        list = ChoiceList{};
        if (std::optional<ContainerValues> values = GetCapability(twain, cap)) {
            CodeOffer offer = OfferCodes(table, values->Items, stored(value));
            sub.WriteString(value, offer.Stored);
            list = offer.List;
        }
    };
    codes(ICAP_PIXELTYPE, CodeTable::ColorModes, "Color Modes", found.ColorModes);
    codes(ICAP_IMAGEFILEFORMAT, CodeTable::FileFormats, "File Formats", found.FileFormats);

    std::optional<ContainerValues> duplex = GetCapability(twain, CAP_DUPLEX);
    found.DuplexMode = duplex ? int(duplex->Current) : 0;
    sub.WriteDword("Duplex Mode", DWORD(found.DuplexMode));
    if (found.DuplexMode != 0)
        found.DuplexChecked = sub.ReadDword("Duplex Enable").value_or(0) != 0;

    std::optional<ContainerValues> x = GetCapability(twain, ICAP_XRESOLUTION);
    std::optional<ContainerValues> y = x ? GetCapability(twain, ICAP_YRESOLUTION) : std::nullopt;
    if (!x || !y)
        return found;
    ResolutionOffer resolutions =
        OfferResolutions({x->Min, x->Max, x->Default}, {y->Min, y->Max, y->Default}, stored("Resolution"));
    sub.WriteString("Resolution", resolutions.Stored);
    found.Resolutions = resolutions.List;

    codes(ICAP_SUPPORTEDSIZES, CodeTable::PageSizes, "Page Size", found.PageSizes);
    return found;
}

SourceRows ListTwainSources(TwainSession& twain, const KeyLocation& product, const std::string& currentScanner)
{
    RegistryKey key(product, false);
    SourceRows rows;
    for (const TW_IDENTITY& identity : twain.Sources()) {
        std::string name = identity.ProductName;
        rows.Names.push_back(name);
        if (key.Valid())
            RegistryKey(product.Sub(name), true);
        if (name == currentScanner) {
            rows.Selected = int(rows.Names.size()) - 1;
            twain.ChooseSource(identity);
        }
    }
    return rows;
}

ScannerList EnumerateScanners(TwainSession& twain, const KeyLocation& product, const std::string& currentScanner,
                              bool showAll)
{
    ScannerList list;
    RegistryKey key(product, true);
    if (!key.Valid())
        return list;
    for (const TW_IDENTITY& identity : twain.Sources()) {
        std::string name = identity.ProductName;
        RegistryKey sub(product.Sub(name), true);
        if (showAll)
            sub.WriteDword("Visible", 1);
        std::optional<DWORD> visible = sub.ReadDword("Visible");
        if (!visible) {
            visible = 1;
            sub.WriteDword("Visible", 1);
        }
        for (const char* value : {"Color Modes", "Resolution", "File Formats", "Page Size"})
            if (!sub.ReadString(value, MaxSettingText))
                sub.WriteString(value, "");
        // A source removed from the list stays out of it until every source is shown again.
        if (*visible == 0)
            continue;
        list.Names.push_back(name);
        if (*visible == 1 && name == currentScanner)
            list.Selected = int(list.Names.size()) - 1;
    }
    TW_IDENTITY chosen;
    if (!currentScanner.empty() || !twain.DefaultSource(chosen))
        return list;
    list.ChosenDefault = chosen.ProductName;
    auto row = std::find(list.Names.begin(), list.Names.end(), list.ChosenDefault);
    list.Selected = row == list.Names.end() ? -1 : int(row - list.Names.begin());
    key.WriteString("Default Scanner", list.ChosenDefault);
    key.WriteDword("Disc Type", 0);
    key.WriteDword("Compiled PDF", 0);
    key.WriteDword("Max PDF File Size", 100);
    key.WriteDword("RW Disc Policy", 0);
    return list;
}

}  // namespace pagorin
