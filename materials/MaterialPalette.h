#pragma once
// A palette of exactly 256 materials and its text form.
//
// Palette text: tokens separated by ":". The full form is "1:256:" followed
// by the 256 material texts. The shortest form writes the library palette
// "default" as the empty string and any other library palette as
// "1:d:" followed by its name.

#include "materials/GLMaterial.h"

#include <array>
#include <exception>
#include <string>

// A palette text names a library palette that does not exist.
class UnknownPaletteException : public std::exception {
public:
    explicit UnknownPaletteException(std::string name) : myName(std::move(name)) {}
    const std::string& name() const { return myName; }
    const char* what() const noexcept override { return myName.c_str(); }

private:
    std::string myName;
};

class MaterialPalette {
public:
    static constexpr int size = 256;
    using Entries = std::array<GLMaterial, size>;

    // The library palette "default".
    MaterialPalette();
    explicit MaterialPalette(const Entries& entries) : myEntries(entries) {}

    GLMaterial& operator[](int index) { return myEntries[index]; }
    const GLMaterial& operator[](int index) const { return myEntries[index]; }
    const Entries& entries() const { return myEntries; }

    // Fills every entry from the library palette "default".
    void setDefault();

    // "1:256:" and the 256 material texts joined by ":".
    std::string fullText() const;
    // The shortest form: "" for "default", "1:d:NAME" for another library
    // palette, else the full text.
    std::string text() const;

    // Parses a palette text. Returns false, leaving the palette as it was,
    // when the first token is not "1". "1:d:NAME" reads the library palette
    // NAME; "1:N:M0:M1:..." reads up to min(N, 256) materials and
    // default-constructs the rest. Raises UnknownPaletteException for an
    // unknown name and OutOfRangeError for a malformed material; the palette
    // is left as it was then too.
    bool read(const std::string& text);

private:
    Entries myEntries;
};

// Entry by entry with the material comparison.
bool operator==(const MaterialPalette& a, const MaterialPalette& b);
bool operator!=(const MaterialPalette& a, const MaterialPalette& b);
