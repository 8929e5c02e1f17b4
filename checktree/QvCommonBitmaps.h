// The layer's bitmap resources: check boxes (13 x 13, 4 bits, marker colours grey 0x808080, white,
// fuchsia 0xFF00FF and red 0x0000FF around the box, blue 0xFF0000 for the mark), radio buttons, and dialog
// glyph pairs (32 x 16, 8 bits, normal and disabled on RGB(236, 233, 216)). They are linked into every
// program that links the layer.
#pragma once

namespace qvbitmaps {
constexpr char CheckBoxUnchecked[] = "QVCOMMON_CHECKBOX_UNCHECKED";
constexpr char CheckBoxChecked[] = "QVCOMMON_CHECKBOX_CHECKED";
constexpr char CheckBoxGrayed[] = "QVCOMMON_CHECKBOX_GRAYED";
constexpr char RadioButtonChecked[] = "QVCOMMON_RADIOBUTTON_CHECKED";
constexpr char RadioButtonUnchecked[] = "QVCOMMON_RADIOBUTTON_UNCHECKED";
constexpr const char* DialogGlyphs[] = {"QVCOMMON_OK",    "QVCOMMON_CANCEL", "QVCOMMON_HELP",  "QVCOMMON_YES",
                                        "QVCOMMON_NO",    "QVCOMMON_ABORT",  "QVCOMMON_RETRY", "QVCOMMON_IGNORE",
                                        "QVCOMMON_ALL",   "QVCOMMON_CLOSE"};
}  // namespace qvbitmaps

struct QvCommonBitmapsUnit {
    QvCommonBitmapsUnit();
    ~QvCommonBitmapsUnit();
};
static QvCommonBitmapsUnit qvCommonBitmapsUnit;
