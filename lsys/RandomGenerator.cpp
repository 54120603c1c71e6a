#include "lsys/RandomGenerator.h"

#include <atomic>
#include <cstdio>
#include <ctime>

namespace {

// Counts the seedings from the clock, so that two generators made within
// the same clock tick still differ.
std::atomic<std::uint32_t> clockSeedings{0};

template <typename T>
std::uint32_t hashBytes(const T& value) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&value);
    std::uint32_t h = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        h = h * 257u + bytes[i];
    }
    return h;
}

} // namespace

RandomGenerator::RandomGenerator() { seedFromEntropy("/dev/urandom"); }

RandomGenerator::RandomGenerator(std::uint32_t seed) { this->seed(seed); }

void RandomGenerator::seed(std::uint32_t seed) {
    initialise(seed);
    regenerate();
}

void RandomGenerator::initialise(std::uint32_t seed) {
    myState[0] = seed;
    for (int i = 1; i < stateSize; ++i) {
        const std::uint32_t previous = myState[i - 1];
        myState[i] = 1812433253u * (previous ^ (previous >> 30)) + static_cast<std::uint32_t>(i);
    }
}

void RandomGenerator::seedByArray(const std::uint32_t* keys, std::size_t count) {
    initialise(19650218u);
    int i = 1;
    std::size_t j = 0;
    for (std::size_t k = stateSize > count ? stateSize : count; k > 0; --k) {
        const std::uint32_t previous = myState[i - 1];
        myState[i] =
            (myState[i] ^ ((previous ^ (previous >> 30)) * 1664525u)) + keys[j] + static_cast<std::uint32_t>(j);
        ++i;
        ++j;
        if (i >= stateSize) {
            myState[0] = myState[stateSize - 1];
            i = 1;
        }
        if (j >= count) {
            j = 0;
        }
    }
    for (int k = stateSize - 1; k > 0; --k) {
        const std::uint32_t previous = myState[i - 1];
        myState[i] = (myState[i] ^ ((previous ^ (previous >> 30)) * 1566083941u)) - static_cast<std::uint32_t>(i);
        ++i;
        if (i >= stateSize) {
            myState[0] = myState[stateSize - 1];
            i = 1;
        }
    }
    myState[0] = 0x80000000u;
    regenerate();
}

void RandomGenerator::seedFromEntropy(const std::string& path) {
    std::uint32_t keys[stateSize];
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        const std::size_t read = std::fread(keys, 4, stateSize, file);
        std::fclose(file);
        if (read == static_cast<std::size_t>(stateSize)) {
            seedByArray(keys, stateSize);
            return;
        }
    }
    const std::uint32_t h1 = hashBytes(std::time(nullptr));
    const std::uint32_t h2 = hashBytes(std::clock());
    seed((h1 + clockSeedings++) ^ h2);
}

void RandomGenerator::regenerate() {
    constexpr int shift = 397;
    auto mix = [](std::uint32_t upper, std::uint32_t lower, std::uint32_t far) {
        const std::uint32_t y = (upper & 0x80000000u) | (lower & 0x7FFFFFFFu);
        return far ^ (y >> 1) ^ ((lower & 1u) ? 0x9908B0DFu : 0u);
    };
    int k = 0;
    for (; k < stateSize - shift; ++k) {
        myState[k] = mix(myState[k], myState[k + 1], myState[k + shift]);
    }
    for (; k < stateSize - 1; ++k) {
        myState[k] = mix(myState[k], myState[k + 1], myState[k + shift - stateSize]);
    }
    myState[stateSize - 1] = mix(myState[stateSize - 1], myState[0], myState[shift - 1]);
    myPosition = 0;
    myLeft = stateSize;
}
