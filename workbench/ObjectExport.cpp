#include "workbench/ObjectExport.h"

#include "diagnostics/Exceptions.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "workbench/ExportStream.h"
#include "workbench/GltfFile.h"
#include "workbench/ImageWriter.h"
#include "workbench/MeshFiles.h"

const char* const exportCancelledText = "The export was cancelled.";

bool streamedObjectFormat(const std::string& fileName) {
    const std::string extension = lowerExtension(fileName);
    return extension == "obj" || extension == "stl" || extension == "glb" || extension == "gltf";
}

std::string writeObjectFile(osg::Node& scene, const std::string& fileName, const ObjectExportOptions& options,
                            ProgressRetriever* progress) {
    if (!streamedObjectFormat(fileName)) return writeNode(*expandInstances(scene), fileName);
    const std::string extension = lowerExtension(fileName);
    try {
        const ExportScene parts(scene);
        if (extension == "obj")
            writeObj(parts, fileName, progress);
        else if (extension == "stl")
            writeStl(parts, fileName, progress);
        else
            writeGltf(parts, fileName, {extension == "glb", options.gltfNodes}, progress);
    } catch (const FileError& error) {
        return error.reason().empty() ? "'" + fileName + "' could not be written." : error.reason();
    } catch (const ExportCancelled&) {
        return exportCancelledText;
    }
    return std::string();
}
