#pragma once

#include <cstddef>

// The unsigned number stored in the sizeof(T) bytes at `bytes`, lowest byte first, as resource
// formats keep their numbers whatever the machine's byte order.
template <class T>
T ReadLittleEndian(const unsigned char* bytes) {
  T value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) value = static_cast<T>((value << 8) | bytes[i]);
  return value;
}
