#pragma once
// Writing the scene as a 3-D object file, the format chosen by the file
// name's extension: OBJ, STL, glTF (.glb, .gltf) by our own writers straight
// from the instanced scene, with progress and Cancel; every other format by
// the scene-graph library's writers, after expanding the instances.

#include "lsys/ProgressRetriever.h"

#include <osg/Node>

#include <string>

struct ObjectExportOptions {
    // glTF: one node a placement instead of instancing.
    bool gltfNodes = false;
};

// Whether our own writers write the file (they report progress and stop
// on Cancel).
bool streamedObjectFormat(const std::string& fileName);

// What a cancelled export returns.
extern const char* const exportCancelledText;

// Returns why the file was not written, empty on success. A failed or
// cancelled export leaves the target as it was.
std::string writeObjectFile(osg::Node& scene, const std::string& fileName, const ObjectExportOptions& options,
                            ProgressRetriever* progress);
