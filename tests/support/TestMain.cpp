#include "tests/support/ProgramHome.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    norvane::testing::ProgramHome::enter();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
