// dfm2bin INPUT OUTPUT: compiles a form in the text form format into the binary form stream ("TPF0")
// that the build puts into a program as an RCDATA resource. Runs on the build machine.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "FormText.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: dfm2bin INPUT OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot open\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string binary;
    try {
        binary = formtext::TextToBinary(text.str());
    } catch (const formtext::Error& e) {
        std::cerr << argv[1] << ":" << e.Line << ": error: " << e.what() << "\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(binary.data(), static_cast<std::streamsize>(binary.size()));
    if (!out) {
        std::cerr << argv[2] << ": cannot write\n";
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
