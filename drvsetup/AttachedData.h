// The setup document attached to the end of Quenfold's own program file.
#pragma once

#include <string>

namespace drvdb {

// Reads the UTF-8 text at the end of a file, followed by its length as 4 little-endian bytes. False when the
// file cannot be read, or the length is 0, or the text would reach into what precedes it: beyond the file's
// start, or into the program image when the file is a program.
bool ReadAttachedData(const std::string& file, std::string& text);

// The program's own file name, in UTF-8.
std::string OwnFileName();

}  // namespace drvdb
