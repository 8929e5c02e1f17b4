// Shared by the toolkit's tests: the layer's units started once per program, a form for the controls, and texts
// for failure messages.
#pragma once

#include <string>

#include "WydComCtrlsTestSupport.h"
#include "WydExtCtrls.h"

namespace wydtoolkittest {

using namespace wydtest;

inline std::string Utf8(const WideString& s) { return vcl::UTF8Encode(s); }

// The units of the toolkit started for the suite; each case gets a plain form.
class WydToolkitTest : public wydcomtest::WydComCtrlsTest {
protected:
    static void SetUpTestSuite()
    {
        WydComCtrlsTest::SetUpTestSuite();
        InitWydStdCtrls();
        InitWydExtCtrls();
        InitWydRichEdit();
    }
    static void TearDownTestSuite()
    {
        DoneWydRichEdit();
        WydComCtrlsTest::TearDownTestSuite();
    }
    template <class T> T* Place(int left, int top, int width, int height)
    {
        auto* control = new T(form.get());
        control->SetParent(form.get());
        control->SetBounds(left, top, width, height);
        return control;
    }
};

}  // namespace wydtoolkittest
