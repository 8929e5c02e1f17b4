// Shared by the window tests of the wide standard controls and glyph buttons: the layer and the controls' units
// set up once per test suite, and a form to put the controls on.
#pragma once

#include <gtest/gtest.h>

#include "Forms.h"
#include "WindowTestSupport.h"
#include "WydButtons.h"
#include "WydForms.h"
#include "WydStdCtrls.h"
#include "WydTestSupport.h"

namespace wydtest {

// A marker standing for an item's object (never dereferenced).
inline vcl::TObject* Tag(int n) { return reinterpret_cast<vcl::TObject*>(uintptr_t(0x1000 + n)); }

// For failure messages.
inline std::string Utf8(const WideString& s) { return vcl::UTF8Encode(s); }

// The standard controls' suites: the layer and the units of the controls started once.
class WydFormFixture : public WydFormTest {
protected:
    static void SetUpTestSuite()
    {
        WydLayerSuite::SetUpTestSuite();
        InitWydStdCtrls();
        InitWydButtons();
    }
    template <class T> T* Make(int left = 10, int top = 10)
    {
        auto* control = new T(form.get());
        control->SetParent(form.get());
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }
};

}  // namespace wydtest
