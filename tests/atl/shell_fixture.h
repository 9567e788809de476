// A module of the test program's own, current for one test.
#pragma once

#include <gtest/gtest.h>

#include "test_classes.h"

namespace atltest {

class ShellTest : public testing::Test {
 protected:
  void SetUp() override {
    Trace::Reset();
    module_.Init(TestObjectMap, ::GetModuleHandleA(NULL));
  }
  void TearDown() override { module_.Term(); }

  CComModule module_;
};

}  // namespace atltest
