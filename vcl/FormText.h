// The text form format ("object frmMain: TfrmMain ... end") turned into the binary form stream ("TPF0").
// Plain C++ without Windows, so the build's form compiler runs on the build machine.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace formtext {

struct Error : std::runtime_error {
    Error(int line, const std::string& message) : std::runtime_error(message), Line(line) {}
    int Line;
};

// Widens the 8-bit text of a string that also holds characters beyond #255 (default: Latin-1).
using AnsiToUtf16 = std::function<std::wstring(const std::string&)>;

// The binary stream of the form text; raises Error with the line of the fault.
std::string TextToBinary(const std::string& text, const AnsiToUtf16& widen = nullptr);

}  // namespace formtext
