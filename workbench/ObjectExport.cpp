#include "workbench/ObjectExport.h"

#include "diagnostics/Exceptions.h"
#include "interpretation/MOSGInstancedGeometry.h"
#include "workbench/ExportStream.h"
#include "workbench/GltfFile.h"
#include "workbench/ImageWriter.h"
#include "workbench/MeshFiles.h"

const char* const exportCancelledText = "The export was cancelled.";

std::string writeObjectFile(osg::Node& scene, const std::string& fileName, const ObjectExportOptions& options,
                            ProgressRetriever* progress) {
    const std::string extension = lowerExtension(fileName);
    if (extension != "obj" && extension != "stl" && extension != "glb" && extension != "gltf")
        return writeNode(*expandInstances(scene), fileName);
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
