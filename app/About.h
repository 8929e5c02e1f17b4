// TfrmAbout, the static about box: banner, product name, version, a line of its own and Close; its texts are
// the form's own, in every language.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace pagorin {

class TfrmAbout : public vcl::TForm {
    VCL_CLASS(TfrmAbout, vcl::TForm)
    explicit TfrmAbout(vcl::TComponent* owner);
    vcl::TImage* Image1 = nullptr;
    vcl::TLabel* Label1 = nullptr;
    vcl::TLabel* Label2 = nullptr;
    vcl::TLabel* Label3 = nullptr;
    vcl::TButton* Button1 = nullptr;
    void Button1Click(vcl::TObject*) { Close(); }
};

extern TfrmAbout* frmAbout;

}  // namespace pagorin
