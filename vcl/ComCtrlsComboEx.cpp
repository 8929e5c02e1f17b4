// Extended combo box: its class and the class of its action link.
#include "ComCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TComboBoxExActionLink, TWinControlActionLink)
VCL_IMPLEMENT_CLASS(TComboBoxEx, TCustomComboBox)

}  // namespace vcl
