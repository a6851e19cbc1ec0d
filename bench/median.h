#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// The middle of the figures of several rounds; of an even count, the mean of the two middle
// ones. At least one figure.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
