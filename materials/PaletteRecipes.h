#pragma once
// The compact data from which the palettes of the built-in library are
// generated (see PaletteRecipes.cpp for the table).

// How the 256 colours of a palette are laid out.
enum class PaletteLayout {
    Ramp,     // colours interpolated between the stops, repeated `cycles` times
    List,     // the stops one entry each; entries past them are default materials
    WebSafe,  // the 216 web-safe colours; entries past them are default materials
    HueCycle, // the palette "default": a full hue cycle between fixed ends
};

// How a colour becomes a material.
enum class PaletteFinish {
    Imported, // what importing a colour file gives: diffuse only
    Natural,
    Matte, // low shininess, almost no highlight
    Glossy,
    Polished, // high, bright specular highlight
    Dark,     // dimmed colours
};

struct PaletteRecipe {
    const char* name;
    PaletteLayout layout;
    PaletteFinish finish;
    int cycles;
    const char* stops; // blank-separated RRGGBB colours
};

extern const PaletteRecipe paletteRecipes[];
extern const int paletteRecipeCount;
