// The pieces of the random registries that both their sources use: lengths, numbers and key
// paths, made in random_registry_pieces.cpp for the trees and values of random_registry.cpp.
#ifndef TARROW_RANDOM_REGISTRY_PIECES_H
#define TARROW_RANDOM_REGISTRY_PIECES_H

#include "random_registry.h"

#include <stddef.h>
#include <string>

namespace random_registry
{

// 0 to longest: mostly short, now and then at or around the probes' buffer sizes.
size_t RandomLength(Random &random, size_t longest);
// A little-endian number of `length` bytes; mostly a plausible clock rate or problem code.
std::string RandomNumber(Random &random, size_t length);
// A key path of one to four parts, now and then with empty parts or any bytes.
std::string RandomPath(Random &random);

} // namespace random_registry

#endif
