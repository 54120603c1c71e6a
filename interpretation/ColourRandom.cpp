#include "interpretation/ColourRandom.h"

void ColourRandom::reseed(unsigned seed) {
    if (seed == 0) seed = 1;
    // state[i] = 16807 * state[i - 1] mod (2^31 - 1), computed without
    // overflowing 31 bits (Schrage's method) on the seed read as a signed word.
    std::int32_t word = static_cast<std::int32_t>(seed);
    myState[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < degree; ++i) {
        const long hi = word / 127773;
        const long lo = word % 127773;
        word = static_cast<std::int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) word += max;
        myState[i] = static_cast<std::uint32_t>(word);
    }
    myFront = separation;
    myRear = 0;
    // The first values are poorly mixed; they are thrown away.
    for (int i = 0; i < 10 * degree; ++i) next();
}

std::int32_t ColourRandom::next() {
    const std::uint32_t value = myState[myFront] += myState[myRear];
    if (++myFront == degree) myFront = 0;
    if (++myRear == degree) myRear = 0;
    return static_cast<std::int32_t>(value >> 1);
}
