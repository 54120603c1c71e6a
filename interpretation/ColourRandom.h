#pragma once
// The random generator of palette-random colouring: the additive feedback
// generator of the GNU C library's rand (31 words of state, taps 3 and 31),
// held privately so that no other caller of rand disturbs the colours and a
// worker thread can draw without sharing state. Seeded alike, it gives the
// same values as srand and rand, so pictures made with rand stay the same.

#include <array>
#include <cstdint>

class ColourRandom {
public:
    static constexpr std::int32_t max = 2147483647;

    explicit ColourRandom(unsigned seed = 1) { reseed(seed); }

    void reseed(unsigned seed);
    // The next value, 0 ... max.
    std::int32_t next();

private:
    static constexpr int degree = 31;
    static constexpr int separation = 3;

    std::array<std::uint32_t, degree> myState{};
    int myFront = separation;
    int myRear = 0;
};
