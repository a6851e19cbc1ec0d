#include "tests/engine/scan_test_support.h"

std::string StrategyName(const ::testing::TestParamInfo<ScanStrategy>& info) {
  return info.param == ScanStrategy::SharedListing ? "SharedListing" : "EnumeratePerPattern";
}
