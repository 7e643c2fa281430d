#include "random_source.h"

#include <random>

namespace pixavue::engine {
namespace {

std::mt19937& ThreadGenerator() {
  thread_local std::mt19937 generator{std::random_device{}()};
  return generator;
}

}  // namespace

std::int32_t RandomInRange(std::int32_t first, std::int32_t last) {
  return std::uniform_int_distribution<std::int32_t>(first, last)(ThreadGenerator());
}

}  // namespace pixavue::engine
