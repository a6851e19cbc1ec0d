#pragma once

#include "engine/directory_reader.h"
#include "tests/engine/scan_fakes.h"

#include <gtest/gtest.h>

#include <string>

// Every walk test runs under both strategies: they must not differ in anything observable.
class ScanStrategyTest : public ::testing::TestWithParam<ScanStrategy> {
 protected:
  ScanStrategyTest() : results(log), progress(log), reader(fs, GetParam()) {}

  EventLog log;
  FakeFileSystem fs;
  FakeResultList results;
  FakeProgress progress;
  DirectoryReader reader;
};

std::string StrategyName(const ::testing::TestParamInfo<ScanStrategy>& info);

#define INSTANTIATE_FOR_BOTH_STRATEGIES(Suite)                                               \
  INSTANTIATE_TEST_SUITE_P(, Suite,                                                          \
                           ::testing::Values(ScanStrategy::SharedListing,                    \
                                             ScanStrategy::EnumeratePerPattern),             \
                           StrategyName)
