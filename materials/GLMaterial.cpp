#include "materials/GLMaterial.h"

#include "diagnostics/Exceptions.h"
#include "materials/MaterialCode.h"

#include <cmath>
#include <istream>
#include <ostream>

namespace {

const char hexDigits[] = "0123456789abcdef";

// clamp(trunc(c * 255), 0, 255); NaN counts as 0.
unsigned char colourByte(float component) {
    const float value = std::trunc(component * 255.0f);
    if (!(value > 0.0f)) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<unsigned char>(value);
}

// The low eight bits of the truncated shininess, as two's complement would
// keep them; computed without an integer conversion so that no value can
// overflow. A shininess that is not finite counts as 0.
unsigned char shininessByte(float shininess) {
    if (!std::isfinite(shininess)) return 0;
    double low = std::fmod(std::trunc(static_cast<double>(shininess)), 256.0);
    if (low < 0.0) low += 256.0;
    return static_cast<unsigned char>(low);
}

// "0"-"9" are 0-9, letters count from "a" (or "A") = 10 up to "z" = 35.
int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    throw OutOfRangeError();
}

int pairValue(const std::string& token, std::size_t at) {
    return (16 * digitValue(token[at])) | digitValue(token[at + 1]);
}

void requireLength(const std::string& token, std::size_t length) {
    if (token.size() < length) throw OutOfRangeError();
}

} // namespace

MaterialCode encodeMaterial(const GLMaterial& material) {
    MaterialCode code;
    const float* groups[4] = {material.ambient, material.diffuse, material.emission, material.specular};
    for (int g = 0; g < 4; ++g)
        for (int c = 0; c < 4; ++c) code[4 * g + c] = colourByte(groups[g][c]);
    code[16] = shininessByte(material.shininess);
    code[17] = material.flat ? 1 : 0;
    return code;
}

void appendMaterialText(std::string& text, const MaterialCode& code) {
    for (int i = 0; i < 17; ++i) {
        text += hexDigits[code[i] >> 4];
        text += hexDigits[code[i] & 15];
    }
    text += code[17] ? '1' : '0';
}

GLMaterial decodeMaterial(const MaterialCode& code) {
    GLMaterial material;
    float* groups[4] = {material.ambient, material.diffuse, material.emission, material.specular};
    for (int g = 0; g < 4; ++g)
        for (int c = 0; c < 4; ++c) groups[g][c] = static_cast<float>(code[4 * g + c] / 255.0);
    material.shininess = code[16];
    material.flat = code[17] != 0;
    return material;
}

GLMaterial GLMaterial::shapeDefault() {
    GLMaterial material;
    material.read("242424ffffffffff000000ff3b3b3bff350");
    return material;
}

std::string GLMaterial::text() const {
    std::string text;
    text.reserve(35);
    appendMaterialText(text, encodeMaterial(*this));
    return text;
}

void GLMaterial::read(const std::string& token) {
    const std::size_t colon = token.rfind(':');
    const std::string body = colon == std::string::npos ? token : token.substr(colon + 1);

    // Group by group, so that a short token sets the groups it holds.
    float* groups[4] = {ambient, diffuse, emission, specular};
    for (int g = 0; g < 4; ++g) {
        requireLength(body, 8 * (g + 1));
        for (int c = 0; c < 4; ++c) groups[g][c] = static_cast<float>(pairValue(body, 8 * g + 2 * c) / 255.0);
    }
    requireLength(body, 34);
    shininess = static_cast<float>(pairValue(body, 32));
    requireLength(body, 35);
    flat = body[34] == '1';
}

bool operator==(const GLMaterial& a, const GLMaterial& b) {
    auto near = [](float x, float y) { return !(std::fabs(x - y) > 1e-7); };
    for (int c = 0; c < 4; ++c)
        if (!near(a.ambient[c], b.ambient[c]) || !near(a.diffuse[c], b.diffuse[c]) ||
            !near(a.emission[c], b.emission[c]) || !near(a.specular[c], b.specular[c]))
            return false;
    return near(a.shininess, b.shininess) && a.flat == b.flat;
}

bool operator!=(const GLMaterial& a, const GLMaterial& b) { return !(a == b); }

std::ostream& operator<<(std::ostream& out, const GLMaterial& material) { return out << material.text(); }

std::istream& operator>>(std::istream& in, GLMaterial& material) {
    std::string token;
    in >> token;
    material.read(token);
    return in;
}
