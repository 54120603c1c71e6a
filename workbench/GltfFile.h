#pragma once
// glTF 2.0 of the instanced scene, through TinyGLTF: every shape geometry
// once (positions, normals, indices), every material once (metallic-
// roughness), and for each pair of shape and material one node that draws
// all its placements with EXT_mesh_gpu_instancing (translation, rotation and
// scale per instance). A placement that is no such product (a shear) gets a
// node of its own with its matrix. The scene's z-up world becomes glTF's
// y-up.
//
// Throws FileError when the file cannot be written and ExportCancelled when
// the user stops the export; the target then stays as it was.

#include "lsys/ProgressRetriever.h"
#include "workbench/ExportScene.h"

#include <string>

struct GltfLayout {
    // .glb: one binary file; else JSON text with the buffer inside it.
    bool binary = true;
    // One node a placement, for viewers without the instancing extension.
    bool nodePerPlacement = false;
};

void writeGltf(const ExportScene& scene, const std::string& fileName, const GltfLayout& layout,
               ProgressRetriever* progress);
