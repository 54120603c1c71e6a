#pragma once
// The materials offered by the material dialog's "List" tab, grouped.

struct NamedMaterial {
    const char* group;
    const char* name;
    const char* text; // the 35-character material text
};

extern const NamedMaterial namedMaterials[];
extern const int namedMaterialCount;
