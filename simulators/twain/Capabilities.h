// The negotiable settings of the virtual scanner: each capability's offered values, default and current value,
// and the containers in which they travel (one value, enumeration, range or array in global memory).
#pragma once

#include "TwainTypes.h"

#include <set>
#include <vector>

namespace twain {

// What a capability operation answers: a return code and, on failure, the condition code.
struct Outcome {
    TW_UINT16 code = TWRC_SUCCESS;
    TW_UINT16 condition = TWCC_SUCCESS;
};

struct Capability {
    enum class Shape { OneValue, Enumeration, Range, Array };
    TW_UINT16 id;
    TW_UINT16 itemType;
    Shape shape;
    std::vector<TW_UINT32> values;  // choices; for a range: minimum, maximum, step
    TW_UINT32 defaultValue;
    TW_UINT32 current;
    bool readOnly;
    bool refused = false;  // answers as unsupported, but still rules the transfer with its default
};

// What the scanner offers; set from the scenario when the source opens.
struct Offer {
    bool duplex = false;          // a two-sided feeder
    bool fileTransfer = true;     // else only native transfer is offered, which this source never delivers
    std::set<TW_UINT16> refused;  // capabilities that answer as unsupported
};

class Capabilities {
public:
    explicit Capabilities(const Offer& offer);

    // One capability operation (MSG_GET ... MSG_QUERYSUPPORT) on `capability`, filling its container.
    // `negotiable` is false once the source is enabled: then only queries are allowed.
    Outcome Handle(TW_UINT16 message, TW_CAPABILITY& capability, bool negotiable);

    // Current values, for the transfer. Resolutions are whole dots per inch.
    TW_UINT32 Current(TW_UINT16 id) const;
    // Sets a current value as the file-transfer set-up does; false when it is not offered.
    bool Choose(TW_UINT16 id, TW_UINT32 value);

private:
    Capability* Find(TW_UINT16 id);
    const Capability* Find(TW_UINT16 id) const;
    Outcome Set(Capability& capability, const TW_CAPABILITY& request);
    bool Allowed(const Capability& capability, TW_UINT32 value) const;

    std::vector<Capability> table_;
};

// Size in bytes of one item of a TWAIN item type.
size_t ItemSize(TW_UINT16 itemType);
// A FIX32 as stored in a container item, and back (rounded to whole units).
TW_UINT32 Fix32Item(int whole);
int Fix32Whole(TW_UINT32 item);

}  // namespace twain
