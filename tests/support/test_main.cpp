// Every test process runs on its own throw-away platform root, so tests never
// touch a real one and never see each other's registry or files.
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/temp_root.h"

int main(int argc, char** argv) {
  setenv("QZ_ROOT", qztest::TempRoot().c_str(), 1);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
