// The settings dialog's creation; its behaviour follows with the scanner list and the language page.
#include "Settings.h"

namespace pagorin {

TfrmSettings* frmSettings = nullptr;

#define PAGORIN_PUBLISH_COMPONENT(type, name) m.PublishField(#name, &TfrmSettings::name);
VCL_IMPLEMENT_CLASS(TfrmSettings, vcl::TForm, {PAGORIN_SETTINGS_COMPONENTS(PAGORIN_PUBLISH_COMPONENT)})
#undef PAGORIN_PUBLISH_COMPONENT

}  // namespace pagorin
