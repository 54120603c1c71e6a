#pragma once
// The shared geometries and state sets of one interpretation. Shapes of equal
// dimensions and materials of equal colours are built once and placed many
// times under their own transforms.

#include "interpretation/ShapeForm.h"
#include "materials/GLMaterial.h"
#include "records/ShapeEnums.h"

#include <osg/Geometry>
#include <osg/Material>
#include <osg/StateSet>
#include <osg/Vec4>
#include <osg/ref_ptr>

#include <array>
#include <cstdint>
#include <map>
#include <tuple>

// The scene-graph form of a material: its four colours on the given faces,
// its shininess on the front face. OpenGL accepts shininess exponents of
// 0..128 only (osg::Material clamps too, but warns on the console for each
// one); materials may hold up to 255, so it is clamped here.
osg::ref_ptr<osg::Material> sceneMaterial(const GLMaterial& material, osg::Material::Face colourFaces);

class GeometryCache {
public:
    // Forgets every geometry and state set (the start of an interpretation).
    void clear();

    // Built by buildCappedTube (tubes and cones with their caps, open ends
    // by default), buildBall, buildTorus; balls, tori and extruded caps raise
    // GeometryError for dimensions without extent.
    osg::Geometry* tube(double length, double startWidth, double endWidth, int segments,
                        CapKind startCap = CapKind::None, CapKind endCap = CapKind::None);
    osg::Geometry* ball(double radius, int segments);
    osg::Geometry* torus(double length, double innerWidth, int segments);
    // buildLine with a colour array of the one colour, bound overall.
    osg::Geometry* line(double length, const osg::Vec4& colour);

    // Lighting on, transparent bin, the material's four colours and its
    // shininess on the front face.
    osg::StateSet* litStateSet(const GLMaterial& material);
    // Lighting off and protected.
    osg::StateSet* lineStateSet();

private:
    using Slot = osg::ref_ptr<osg::Geometry>;
    // Builds the slot's geometry when it is empty, marked with its form.
    template <class Build>
    static osg::Geometry* serve(Slot& slot, const ShapeForm& form, Build build);

    // Keys hold the bit patterns of the numbers, which are totally ordered
    // (a NaN dimension from a parameter would break the order of doubles).
    using Bits = std::uint64_t;
    std::map<std::tuple<Bits, Bits, Bits, int, CapKind, CapKind>, Slot> myTubes;
    std::map<std::tuple<Bits, int>, Slot> myBalls;
    std::map<std::tuple<Bits, Bits, int>, Slot> myTori;
    std::map<std::tuple<Bits, Bits, Bits, Bits, Bits>, Slot> myLines;
    // Ambient, diffuse, specular, emission (RGBA each) and shininess.
    std::map<std::array<Bits, 17>, osg::ref_ptr<osg::StateSet>> myLitStates;
    osg::ref_ptr<osg::StateSet> myLineState;
};
