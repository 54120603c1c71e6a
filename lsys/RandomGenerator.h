#pragma once
// The derivation's random generator: the 32-bit Mersenne Twister (MT19937).
// Seeded with an integer it yields exactly the outputs of std::mt19937 seeded
// with that integer, so a definition's "_seed" reproduces its stochastic
// choices everywhere.

#include <cstddef>
#include <cstdint>
#include <string>

class RandomGenerator {
public:
    static constexpr int stateSize = 624;

    // Seeds itself from "/dev/urandom" (see seedFromEntropy).
    RandomGenerator();
    explicit RandomGenerator(std::uint32_t seed);

    // The standard initialisation of the state from one integer.
    void seed(std::uint32_t seed);
    // The standard array initialisation (init_by_array) from count keys.
    void seedByArray(const std::uint32_t* keys, std::size_t count);
    // Reads 624 words of 4 bytes from the file and seeds by array; when the
    // file cannot be opened or is too short, seeds with a hash of the current
    // time and the processor clock instead.
    void seedFromEntropy(const std::string& path);

    std::uint32_t next32() {
        if (myLeft == 0) {
            regenerate();
        }
        --myLeft;
        std::uint32_t y = myState[myPosition++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9D2C5680u;
        y ^= (y << 15) & 0xEFC60000u;
        return y ^ (y >> 18);
    }

    // Uniform in [0, 1): the next output times 2^-32.
    double nextDouble() { return next32() * 2.3283064365386963e-10; }

private:
    // Fills the state from one integer, without regenerating it.
    void initialise(std::uint32_t seed);
    void regenerate();

    std::uint32_t myState[stateSize];
    int myPosition = 0; // read position in myState
    int myLeft = 0;     // words left before the state is regenerated
};
