#pragma once
// The shown scene as the object exports read it, without expanding it: every
// distinct shape geometry once, with its vertices, unit normals and
// triangles (or line segments); every distinct material once; and for each
// pair of shape and material the places where it is drawn, read on demand
// from the instanced geometries and the transforms above them. Thin lines
// stand in for shapes on screen only and are left out.

#include "interpretation/MOSGInstancedGeometry.h"
#include "interpretation/ShapeForm.h"

#include <osg/Matrixd>
#include <osg/Node>
#include <osg/Vec3>
#include <osg/Vec4>

#include <cstddef>
#include <cstdint>
#include <vector>

struct ExportMaterial {
    // False for an unlit line drawn in its diffuse colour.
    bool lit = true;
    osg::Vec4 ambient, diffuse, specular, emission;
    float shininess = 0.0f;
};

struct ExportShape {
    std::vector<osg::Vec3> vertices;
    // One unit normal a vertex; empty for lines.
    std::vector<osg::Vec3> normals;
    // Three a triangle (none without area), or two a segment for lines.
    std::vector<std::uint32_t> indices;
    bool lines = false;
    ShapeForm form;
};

// The scene's world has z up; glTF and OBJ have y up: (x, y, z) becomes
// (x, z, -y).
const osg::Matrixd zUpToYUp(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1);

class ExportScene {
public:
    struct Batch {
        std::size_t shape = 0;
        std::size_t material = 0;
        // The placements are the instances of each source in turn, moved
        // by its matrix; a source without instances is one placement.
        struct Source {
            const MOSGInstancedGeometry* instances = nullptr;
            osg::Matrixd matrix;
        };
        std::vector<Source> sources;
        std::size_t placements = 0;
    };

    // Reads the scene under node; it must stay unchanged while this exists.
    explicit ExportScene(osg::Node& node);

    const std::vector<ExportShape>& shapes() const { return myShapes; }
    const std::vector<ExportMaterial>& materials() const { return myMaterials; }
    // Ordered by material, so that one material's batches follow each other.
    const std::vector<Batch>& batches() const { return myBatches; }
    std::size_t placements() const;

    // Calls visit(matrix) for every placement of the batch, in order.
    template <class Visit>
    static void forEachPlacement(const Batch& batch, Visit visit);

private:
    class Collector;
    std::vector<ExportShape> myShapes;
    std::vector<ExportMaterial> myMaterials;
    std::vector<Batch> myBatches;
};

template <class Visit>
void ExportScene::forEachPlacement(const Batch& batch, Visit visit) {
    for (const Batch::Source& source : batch.sources) {
        if (!source.instances) {
            visit(source.matrix);
            continue;
        }
        const std::size_t count = source.instances->instanceCount();
        for (std::size_t k = 0; k < count; ++k) visit(source.instances->instanceMatrix(k) * source.matrix);
    }
}
