#pragma once
// The material record and its 35-character text form.
//
// Text form (lower-case hexadecimal when written):
//   1-8   ambient R, G, B, A      17-24 emission R, G, B, A
//   9-16  diffuse R, G, B, A      25-32 specular R, G, B, A
//   33-34 shininess               35    "1" when flat, "0" otherwise

#include <iosfwd>
#include <string>

struct GLMaterial {
    float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float diffuse[4] = {0.0f, 0.0f, 0.0f, 1.0f}; // also the colour of a flat material
    float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float emission[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float shininess = 24.0f;
    bool flat = false; // drawn unlit in the diffuse colour with flat shading

    // The material of a new shape definition:
    // "242424ffffffffff000000ff3b3b3bff350".
    static GLMaterial shapeDefault();

    // The 35-character text.
    std::string text() const;
    // Reads a material token. Everything up to the last ":" is dropped (a
    // prefix such as an index). Raises OutOfRangeError when the token is
    // shorter than 35 characters or holds a character that is no digit or
    // letter; the groups before the failure have been set by then.
    void read(const std::string& token);
};

// Unequal when an ambient, diffuse, emission or specular component, the
// shininess or the flat flag differs by more than 1e-7. The emission counts:
// a shape's material is saved only when it differs from the default, and a
// glowing one would otherwise be lost.
bool operator==(const GLMaterial& a, const GLMaterial& b);
bool operator!=(const GLMaterial& a, const GLMaterial& b);

// Appends the 35-character text.
std::ostream& operator<<(std::ostream& out, const GLMaterial& material);
// Reads one whitespace-delimited token with GLMaterial::read.
std::istream& operator>>(std::istream& in, GLMaterial& material);
