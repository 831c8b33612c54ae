#include <gtest/gtest.h>

#include "umockdev_preload.h"

int main(int argc, char** argv) {
    ensureUmockdevPreload(argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
