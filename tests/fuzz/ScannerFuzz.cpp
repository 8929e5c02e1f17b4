// What a TWAIN source answers, under damage: capability containers of any kind, item type, count and size,
// read at the very end of readable memory, and the lists the settings dialog offers from them against a
// stored "current|offered..." value of any text.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "FuzzSupport.h"
#include "ScannerCaps.h"

using namespace pagorin;
using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

namespace {

constexpr size_t PageSize = 4096;

// A page of readable memory followed by one that may not be touched: a container copied to the end of the
// first lies where the source's memory would end, so any read past it crashes.
class PageEnd {
public:
    PageEnd() {
        base_ = static_cast<TW_UINT8*>(VirtualAlloc(nullptr, 2 * PageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (base_) VirtualProtect(base_ + PageSize, PageSize, PAGE_NOACCESS, &old);
    }
    ~PageEnd() { VirtualFree(base_, 0, MEM_RELEASE); }
    PageEnd(const PageEnd&) = delete;
    PageEnd& operator=(const PageEnd&) = delete;
    const TW_UINT8* Place(const Bytes& bytes) {
        TW_UINT8* at = base_ + PageSize - bytes.size();
        std::memcpy(at, bytes.data(), bytes.size());
        return at;
    }

private:
    TW_UINT8* base_ = nullptr;
};

bool Contains(const std::vector<long>& items, long value) {
    return std::find(items.begin(), items.end(), value) != items.end();
}

void CheckContainer(TW_UINT16 conType, const ContainerValues& values, size_t size) {
    if (conType == TWON_RANGE) {
        Check(values.Items.size() <= 1024, "a range is counted out within its bound");
        Check(std::is_sorted(values.Items.begin(), values.Items.end()), "a range counts upwards");
        for (long item : values.Items) Check(values.Min <= item && item <= values.Max, "a range's items lie in it");
        return;
    }
    Check(values.Items.size() <= size, "no more items than the container's bytes hold");
    if (values.Items.empty()) return;
    Check(Contains(values.Items, values.Current) && Contains(values.Items, values.Default),
          "the current and default values are offered ones");
    Check(values.Min == *std::min_element(values.Items.begin(), values.Items.end()) &&
              values.Max == *std::max_element(values.Items.begin(), values.Items.end()),
          "minimum and maximum are the items'");
}

void CheckCodeOffer(CodeTable table, const CodeOffer& offer) {
    Check(offer.Stored.size() <= MaxSettingText, "a stored code list reads back as a setting");
    char* end = nullptr;
    const long current = std::strtol(offer.Stored.c_str(), &end, 10);
    Check(end != offer.Stored.c_str() && (*end == '\0' || *end == '|'), "a stored list begins with its current code");
    Check(offer.List.Text.empty() || offer.List.Text == NameOfCode(table, int(current)),
          "the text shown is the current code's name");
    for (const std::string& name : offer.List.Items) Check(CodeOfName(table, name).has_value(), "only known codes shown");
}

void CheckResolutionOffer(const ResolutionOffer& offer) {
    const std::vector<std::string>& items = offer.List.Items;
    std::string shown = offer.Stored + ":";
    for (const std::string& item : items) shown += " " + item;
    Check(!items.empty() && items.size() <= 40, "a resolution list of a few entries");
    const std::string bounds = offer.Stored.substr(offer.Stored.find('|') + 1);
    const long lowest = std::strtol(bounds.c_str(), nullptr, 10);
    const long highest = std::strtol(bounds.substr(bounds.find('|') + 1).c_str(), nullptr, 10);
    Check(std::strtol(items[0].c_str(), nullptr, 10) == lowest, "the list begins at the lowest resolution");
    for (size_t i = 1; i < items.size(); ++i) {
        const long value = std::strtol(items[i].c_str(), nullptr, 10);
        Check(value > std::strtol(items[i - 1].c_str(), nullptr, 10), "resolutions rise: " + shown);
        Check(value <= highest, "no resolution above the highest: " + shown);
    }
}

const TW_UINT16 ContainerKinds[] = {TWON_ARRAY, TWON_ENUMERATION, TWON_ONEVALUE, TWON_RANGE};
const CodeTable Tables[] = {CodeTable::ColorModes, CodeTable::FileFormats, CodeTable::PageSizes};

// The input: the container's kind, the code table, the stored value (its length first), then the container.
Outcome ReadOffer(const Bytes& input) {
    static PageEnd memory;
    fuzz::InputReader parts(input);
    const uint8_t kind = parts.Byte();
    const TW_UINT16 conType = kind < 0xF0 ? ContainerKinds[kind % 4] : TW_UINT16(kind & 0x0F);
    const CodeTable table = Tables[parts.Byte() % 3];
    const Bytes storedBytes = parts.Take(parts.Byte());
    const std::string stored = storedBytes.substr(0, storedBytes.find('\0'));
    const Bytes container = parts.Take(PageSize);

    const std::optional<ContainerValues> values = ParseContainer(conType, memory.Place(container), container.size());
    if (!values) return Outcome::Rejected;
    CheckContainer(conType, *values, container.size());
    CheckCodeOffer(table, OfferCodes(table, values->Items, stored));
    const ResolutionRange range{values->Min, values->Max, values->Default};
    const ResolutionRange current{values->Current, values->Max, values->Current};
    CheckResolutionOffer(OfferResolutions(range, range, stored));
    CheckResolutionOffer(OfferResolutions(range, current, stored));
    return Outcome::Accepted;
}

// A container as a source lays it out: its kind, then a header and items of the item type.
template <class... Words>
Bytes Container(uint8_t kind, uint8_t table, const std::string& stored, TW_UINT16 itemType, Words... words) {
    Bytes bytes = std::string(1, char(kind)) + char(table) + char(stored.size()) + stored;
    bytes.append(reinterpret_cast<const char*>(&itemType), sizeof itemType);
    auto add = [&bytes](const auto& word) {
        if constexpr (std::is_same_v<std::decay_t<decltype(word)>, std::string>)
            bytes += word;
        else
            bytes.append(reinterpret_cast<const char*>(&word), sizeof word);
    };
    (add(words), ...);
    return bytes;
}

std::vector<Bytes> OfferCorpus() {
    using U16 = TW_UINT16;
    using U32 = TW_UINT32;
    const U32 fix300 = 300, fix1200 = 1200, fix75 = 75, fix1 = 1;
    return {
        Container(1, 0, "1|0|1|2", TWTY_UINT16, U32(3), U32(1), U32(1), U16(0), U16(1), U16(2)),
        Container(1, 1, "", TWTY_UINT16, U32(4), U32(2), U32(2), U16(0), U16(2), U16(4), U16(7)),
        Container(0, 2, "3|9|3|1", TWTY_UINT16, U32(3), U16(9), U16(3), U16(1)),
        Container(2, 0, "", TWTY_UINT16, U32(1)),
        Container(3, 0, "200|75|1200", TWTY_FIX32, fix75, fix1200, fix1, fix300, fix300),
        Container(3, 1, "", TWTY_INT32, U32(0x80000000), U32(50), U32(7), U32(0x80000000), U32(0)),
        Container(1, 2, "x|y", TWTY_STR32, U32(1), U32(0), U32(0), std::string("A4").append(32, '\0')),
    };
}

}  // namespace

TEST(ScannerFuzz, OffersFromAnyCapabilityContainerStayWithinIt) {
    std::vector<Bytes> tokens = {std::string(4, '\xFF'), std::string(4, '\0'), std::string("\x00\x00\x00\x80", 4),
                                 std::string("\xFF\xFF\xFF\x7F", 4), "|", "200|"};
    fuzz::Run("ScannerOffer", fuzz::Mutator(OfferCorpus(), tokens), ReadOffer);
}
