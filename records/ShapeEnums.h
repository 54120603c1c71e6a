#pragma once
// The enumerations of a shape record with their file names and their labels
// in the shaping tab. A value is the position of its name in the list.

#include <array>
#include <cstdint>
#include <string>

enum class ShapeType : std::int32_t { Line, Tube, Cone, Ball, Torus };
enum class ShapeQuality : std::int32_t { VeryLow, Low, Normal, High, VeryHigh };
enum class CapKind : std::int32_t { None, Planar, Extruded };
enum class ColoringMode : std::int32_t { Single, PaletteIndex, PaletteRandom, PaletteIterate };

// EnumTexts<E>::names are the texts of a definition file, EnumTexts<E>::labels
// those shown to the user; both are indexed by the value.
template <class Enum>
struct EnumTexts;

template <>
struct EnumTexts<ShapeType> {
    static constexpr std::array<const char*, 5> names{"line", "tube", "cone", "ball", "torus"};
    static constexpr std::array<const char*, 5> labels{"Line", "Tube", "Cone", "Ball", "Torus"};
};

template <>
struct EnumTexts<ShapeQuality> {
    static constexpr std::array<const char*, 5> names{"very low", "low", "normal", "high", "very high"};
    static constexpr std::array<const char*, 5> labels{"Very low", "Low", "Medium", "High", "Very High"};
};

template <>
struct EnumTexts<CapKind> {
    static constexpr std::array<const char*, 3> names{"none", "planar", "extruded"};
    static constexpr std::array<const char*, 3> labels{"None", "Disc", "Sphere"};
};

template <>
struct EnumTexts<ColoringMode> {
    static constexpr std::array<const char*, 4> names{"single", "palette_index", "palette_random", "palette_iterate"};
    static constexpr std::array<const char*, 4> labels{"Single Color", "Index in Palette", "Random from Palette",
                                                       "Iterate Palette Entries"};
};

// Number of values of an enumeration.
template <class Enum>
constexpr int enumCount() {
    return static_cast<int>(EnumTexts<Enum>::names.size());
}

// File name of a value; the empty text for a value outside the enumeration.
template <class Enum>
const char* enumName(Enum value) {
    const auto index = static_cast<std::int32_t>(value);
    return index >= 0 && index < enumCount<Enum>() ? EnumTexts<Enum>::names[index] : "";
}

// Value of a file name (exact, case-sensitive); false when there is none.
template <class Enum>
bool enumFromName(const std::string& name, Enum& value) {
    for (int i = 0; i < enumCount<Enum>(); ++i) {
        if (name == EnumTexts<Enum>::names[i]) {
            value = static_cast<Enum>(i);
            return true;
        }
    }
    return false;
}
