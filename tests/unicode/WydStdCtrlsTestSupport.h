// Shared by the window tests of the wide standard controls and glyph buttons: the layer set up once per test
// suite, and a form to put the controls on.
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

class WydFormFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitWydForms();
        InitWydStdCtrls();
        InitWydButtons();
    }
    static void TearDownTestSuite()
    {
        DoneWydForms();
        DoneWydControls();
    }
    void SetUp() override
    {
        form = new vcl::TForm(nullptr, 0);
        form->SetBounds(40, 40, 520, 360);
    }
    void TearDown() override { delete form; }
    template <class T> T* Make(int left = 10, int top = 10)
    {
        auto* control = new T(form);
        control->SetParent(form);
        control->SetLeft(left);
        control->SetTop(top);
        return control;
    }
    vcl::TForm* form = nullptr;
};

}  // namespace wydtest
