// Widget tests run offscreen inside the program's own application object.
#include <gtest/gtest.h>

#include "SonviraApplication.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    sonvira::SonviraApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
