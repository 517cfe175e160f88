#pragma once
// What every fuzz target shares, Qt or not: its entry and the property check.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Not assert(): the replay tests are built with NDEBUG, and a broken property must still stop
// the run there (libFuzzer turns the abort into a saved reproducer).
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
