// The entry of every fuzz program: GoogleTest's options first, then the mutation loop's own.
#include <gtest/gtest.h>

#include "FuzzSupport.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!fuzz::ParseOptions(argc, argv)) return 2;
    return RUN_ALL_TESTS();
}
