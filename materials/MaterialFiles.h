#pragma once
// Material and palette files (".ogm"). A material file holds one material
// text; a palette file holds one full palette text on one line without a
// trailing line end (short forms are accepted when loading).
//
// Every function reports its failure through a FailureReporter and returns
// false; a failed load leaves the value unchanged, a failed save leaves the
// old file untouched.

#include "diagnostics/FailureReporter.h"
#include "materials/GLMaterial.h"
#include "materials/MaterialPalette.h"

#include <string>

bool loadMaterialFile(const std::string& path, GLMaterial& material,
                      FailureReporter& reporter = FailureReporter::standardError());
bool saveMaterialFile(const std::string& path, const GLMaterial& material,
                      FailureReporter& reporter = FailureReporter::standardError());
bool loadPaletteFile(const std::string& path, MaterialPalette& palette,
                     FailureReporter& reporter = FailureReporter::standardError());
bool savePaletteFile(const std::string& path, const MaterialPalette& palette,
                     FailureReporter& reporter = FailureReporter::standardError());
