// The about box.
#include "About.h"

#include "WideText.h"

namespace pagorin {

TfrmAbout* frmAbout = nullptr;

TfrmAbout::TfrmAbout(vcl::TComponent* owner) : vcl::TForm(owner)
{
    UseArialFont(this);
}

VCL_IMPLEMENT_CLASS(TfrmAbout, vcl::TForm, {
    m.PublishField("Image1", &TfrmAbout::Image1);
    m.PublishField("Label1", &TfrmAbout::Label1);
    m.PublishField("Label2", &TfrmAbout::Label2);
    m.PublishField("Label3", &TfrmAbout::Label3);
    m.PublishField("Button1", &TfrmAbout::Button1);
    m.PublishMethod("Button1Click", &TfrmAbout::Button1Click);
})

}  // namespace pagorin
