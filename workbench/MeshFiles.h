#pragma once
// Our own writers of Wavefront OBJ and binary STL, straight from the
// instanced scene: each placement's vertices are moved and written as they
// come, through an ExportStream, so that no expanded copy of the scene and
// no whole file is ever held.
//
// Both throw FileError when a file cannot be written and ExportCancelled
// when the user stops the export; the targets then stay as they were.

#include "lsys/ProgressRetriever.h"
#include "workbench/ExportScene.h"

#include <string>

// OBJ, with y up as OBJ readers expect: a placement's vertices once each ("v"), their normals ("vn"), its
// triangles as "f v//vn" and its lines as "l"; one "usemtl" where the
// material changes. The materials go to a file beside it (see
// materialFileName), written and put in place together with it.
void writeObj(const ExportScene& scene, const std::string& fileName, ProgressRetriever* progress);

// The material file of an OBJ: its name with the extension "mtl", blanks
// replaced by "_", because readers split "mtllib" at blanks.
std::string materialFileName(const std::string& objFileName);

// Binary STL, with z up as printers expect: the triangles of every placement with their facet normals;
// lines have no surface and are left out.
void writeStl(const ExportScene& scene, const std::string& fileName, ProgressRetriever* progress);
