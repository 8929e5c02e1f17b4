// Capability table and container codec. Containers are GHND global memory, handed to the caller, who frees them.
#include "Capabilities.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace twain {
namespace {

using Shape = Capability::Shape;

constexpr TW_UINT32 kMinDpi = 75, kMaxDpi = 600, kDefaultDpi = 200;

Outcome Fail(TW_UINT16 condition) {
    return {TWRC_FAILURE, condition};
}

void PutItem(TW_UINT8* at, TW_UINT16 itemType, TW_UINT32 value) {
    const size_t size = ItemSize(itemType);
    memcpy(at, &value, size < sizeof value ? size : sizeof value);  // little-endian: the low bytes
}

TW_UINT32 ItemValue(TW_UINT16 itemType, TW_UINT32 raw) {
    switch (ItemSize(itemType)) {
        case 1: return raw & 0xFF;
        case 2: return raw & 0xFFFF;
        default: return raw;
    }
}

template <typename Container>
Container* Allocate(TW_CAPABILITY& capability, TW_UINT16 conType, size_t size) {
    capability.hContainer = GlobalAlloc(GHND, size);
    if (!capability.hContainer) return nullptr;
    capability.ConType = conType;
    return static_cast<Container*>(GlobalLock(capability.hContainer));
}

bool WriteOneValue(TW_CAPABILITY& capability, TW_UINT16 itemType, TW_UINT32 value) {
    auto* one = Allocate<TW_ONEVALUE>(capability, TWON_ONEVALUE, sizeof(TW_ONEVALUE));
    if (!one) return false;
    one->ItemType = itemType;
    one->Item = 0;
    PutItem(reinterpret_cast<TW_UINT8*>(&one->Item), itemType, value);
    GlobalUnlock(capability.hContainer);
    return true;
}

bool WriteList(TW_CAPABILITY& capability, const Capability& cap, bool enumeration) {
    const size_t item = ItemSize(cap.itemType);
    const size_t head = enumeration ? offsetof(TW_ENUMERATION, ItemList) : offsetof(TW_ARRAY, ItemList);
    auto* memory = Allocate<TW_UINT8>(capability, enumeration ? TWON_ENUMERATION : TWON_ARRAY,
                                      head + item * std::max<size_t>(cap.values.size(), 1));
    if (!memory) return false;
    TW_UINT8* items = memory + head;
    for (size_t index = 0; index < cap.values.size(); ++index)
        PutItem(items + index * item, cap.itemType, cap.values[index]);
    const auto indexOf = [&](TW_UINT32 value) {
        return static_cast<TW_UINT32>(std::find(cap.values.begin(), cap.values.end(), value) - cap.values.begin());
    };
    if (enumeration) {
        auto* list = reinterpret_cast<TW_ENUMERATION*>(memory);
        list->ItemType = cap.itemType;
        list->NumItems = static_cast<TW_UINT32>(cap.values.size());
        list->CurrentIndex = indexOf(cap.current);
        list->DefaultIndex = indexOf(cap.defaultValue);
    } else {
        auto* list = reinterpret_cast<TW_ARRAY*>(memory);
        list->ItemType = cap.itemType;
        list->NumItems = static_cast<TW_UINT32>(cap.values.size());
    }
    GlobalUnlock(capability.hContainer);
    return true;
}

bool WriteRange(TW_CAPABILITY& capability, const Capability& cap) {
    auto* range = Allocate<TW_RANGE>(capability, TWON_RANGE, sizeof(TW_RANGE));
    if (!range) return false;
    const bool fix = cap.itemType == TWTY_FIX32;
    const auto item = [&](TW_UINT32 value) { return fix ? Fix32Item(int(value)) : value; };
    range->ItemType = cap.itemType;
    range->MinValue = item(cap.values[0]);
    range->MaxValue = item(cap.values[1]);
    range->StepSize = item(cap.values[2]);
    range->DefaultValue = item(cap.defaultValue);
    range->CurrentValue = item(cap.current);
    GlobalUnlock(capability.hContainer);
    return true;
}

TW_UINT32 OneValueItem(const Capability& cap, TW_UINT32 value) {
    return cap.itemType == TWTY_FIX32 ? Fix32Item(int(value)) : value;
}

}  // namespace

size_t ItemSize(TW_UINT16 itemType) {
    switch (itemType) {
        case TWTY_INT8:
        case TWTY_UINT8: return 1;
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

TW_UINT32 Fix32Item(int whole) {
    TW_FIX32 fix{static_cast<TW_INT16>(whole), 0};
    TW_UINT32 item;
    memcpy(&item, &fix, sizeof item);
    return item;
}

int Fix32Whole(TW_UINT32 item) {
    TW_FIX32 fix;
    memcpy(&fix, &item, sizeof fix);
    return static_cast<int>(std::lround(fix.Whole + fix.Frac / 65536.0));
}

Capabilities::Capabilities(const Offer& offer) {
    const TW_UINT16 mechanism = offer.fileTransfer ? TWSX_FILE : TWSX_NATIVE;
    table_ = {
        {CAP_XFERCOUNT, TWTY_INT16, Shape::OneValue, {}, 0xFFFF, 0xFFFF, false},
        {ICAP_XFERMECH, TWTY_UINT16, Shape::Enumeration, {mechanism}, mechanism, mechanism, false},
        {ICAP_PIXELTYPE, TWTY_UINT16, Shape::Enumeration, {TWPT_BW, TWPT_GRAY, TWPT_RGB}, TWPT_RGB, TWPT_RGB, false},
        {ICAP_XRESOLUTION, TWTY_FIX32, Shape::Range, {kMinDpi, kMaxDpi, 1}, kDefaultDpi, kDefaultDpi, false},
        {ICAP_YRESOLUTION, TWTY_FIX32, Shape::Range, {kMinDpi, kMaxDpi, 1}, kDefaultDpi, kDefaultDpi, false},
        {ICAP_IMAGEFILEFORMAT,
         TWTY_UINT16,
         Shape::Enumeration,
         {TWFF_TIFF, TWFF_BMP, TWFF_JFIF, TWFF_PNG},
         TWFF_BMP,
         TWFF_BMP,
         false},
        {ICAP_SUPPORTEDSIZES,
         TWTY_UINT16,
         Shape::Enumeration,
         {TWSS_NONE, TWSS_A4, TWSS_JISB5, TWSS_USLETTER, TWSS_USLEGAL, TWSS_A5, TWSS_ISOB4, TWSS_ISOB6},
         TWSS_A4,
         TWSS_A4,
         false},
        {CAP_FEEDERENABLED, TWTY_BOOL, Shape::Enumeration, {FALSE, TRUE}, TRUE, TRUE, false},
        {CAP_DUPLEX,
         TWTY_UINT16,
         Shape::OneValue,
         {},
         offer.duplex ? TWDX_1PASSDUPLEX : TWDX_NONE,
         offer.duplex ? TWDX_1PASSDUPLEX : TWDX_NONE,
         true},
    };
    if (offer.duplex)
        table_.push_back({CAP_DUPLEXENABLED, TWTY_BOOL, Shape::Enumeration, {FALSE, TRUE}, FALSE, FALSE, false});
    Capability supported{CAP_SUPPORTEDCAPS, TWTY_UINT16, Shape::Array, {CAP_SUPPORTEDCAPS}, 0, 0, true};
    for (auto& cap : table_) {
        cap.refused = offer.refused.count(cap.id) != 0;
        if (!cap.refused) supported.values.push_back(cap.id);
    }
    table_.push_back(supported);
}

Capability* Capabilities::Find(TW_UINT16 id) {
    const auto found = std::find_if(table_.begin(), table_.end(), [&](const Capability& cap) { return cap.id == id; });
    return found == table_.end() ? nullptr : &*found;
}

const Capability* Capabilities::Find(TW_UINT16 id) const {
    return const_cast<Capabilities*>(this)->Find(id);
}

TW_UINT32 Capabilities::Current(TW_UINT16 id) const {
    const Capability* cap = Find(id);
    return cap ? cap->current : 0;
}

bool Capabilities::Allowed(const Capability& cap, TW_UINT32 value) const {
    switch (cap.shape) {
        case Shape::Range: return value >= cap.values[0] && value <= cap.values[1];
        case Shape::OneValue:  // the transfer count: all (-1) or a positive number
            return cap.id == CAP_XFERCOUNT && (value == 0xFFFF || (value >= 1 && value <= 0x7FFF));
        default: return std::find(cap.values.begin(), cap.values.end(), value) != cap.values.end();
    }
}

bool Capabilities::Choose(TW_UINT16 id, TW_UINT32 value) {
    Capability* cap = Find(id);
    if (!cap || !Allowed(*cap, value)) return false;
    cap->current = value;
    return true;
}

Outcome Capabilities::Set(Capability& cap, const TW_CAPABILITY& request) {
    if (cap.readOnly) return Fail(TWCC_CAPBADOPERATION);
    if (request.ConType != TWON_ONEVALUE || !request.hContainer || GlobalSize(request.hContainer) < sizeof(TW_ONEVALUE))
        return Fail(TWCC_BADVALUE);
    const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(request.hContainer));
    if (!one) return Fail(TWCC_BADVALUE);
    const TW_UINT16 itemType = one->ItemType;
    const TW_UINT32 raw = one->Item;
    GlobalUnlock(request.hContainer);
    if (itemType != cap.itemType) return Fail(TWCC_BADVALUE);
    const TW_UINT32 value =
        cap.itemType == TWTY_FIX32 ? TW_UINT32(std::max(0, Fix32Whole(raw))) : ItemValue(itemType, raw);
    if (!Allowed(cap, value)) return Fail(TWCC_BADVALUE);
    cap.current = value;
    return {};
}

Outcome Capabilities::Handle(TW_UINT16 message, TW_CAPABILITY& capability, bool negotiable) {
    Capability* cap = Find(capability.Cap);
    if (!cap || cap->refused) return Fail(TWCC_CAPUNSUPPORTED);
    bool written = true;
    switch (message) {
        case MSG_GET:
            if (cap->shape == Shape::Range)
                written = WriteRange(capability, *cap);
            else if (cap->shape == Shape::OneValue)
                written = WriteOneValue(capability, cap->itemType, OneValueItem(*cap, cap->current));
            else
                written = WriteList(capability, *cap, cap->shape == Shape::Enumeration);
            break;
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT:
            if (cap->shape == Shape::Array)
                written = WriteList(capability, *cap, false);
            else
                written =
                    WriteOneValue(capability, cap->itemType,
                                  OneValueItem(*cap, message == MSG_GETCURRENT ? cap->current : cap->defaultValue));
            break;
        case MSG_SET:
            if (!negotiable) return Fail(TWCC_SEQERROR);
            return Set(*cap, capability);
        case MSG_RESET:
            if (!negotiable) return Fail(TWCC_SEQERROR);
            if (cap->readOnly) return Fail(TWCC_CAPBADOPERATION);
            cap->current = cap->defaultValue;
            written = WriteOneValue(capability, cap->itemType, OneValueItem(*cap, cap->current));
            break;
        case MSG_QUERYSUPPORT: {
            const TW_INT32 reads = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
            written = WriteOneValue(capability, TWTY_INT32, cap->readOnly ? reads : reads | TWQC_SET | TWQC_RESET);
            break;
        }
        default: return Fail(TWCC_CAPBADOPERATION);
    }
    return written ? Outcome{} : Fail(TWCC_LOWMEMORY);
}

}  // namespace twain
