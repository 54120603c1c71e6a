#include "interpretation/GeometryCache.h"

#include "interpretation/GeometryBuilders.h"

#include <algorithm>
#include <cstring>

namespace {

// The bit pattern of a number as a map key.
std::uint64_t bits(double value) {
    std::uint64_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

osg::Vec4 vec4(const float (&c)[4]) { return osg::Vec4(c[0], c[1], c[2], c[3]); }

} // namespace

osg::ref_ptr<osg::Material> sceneMaterial(const GLMaterial& material, osg::Material::Face colourFaces) {
    osg::ref_ptr<osg::Material> result = new osg::Material;
    result->setAmbient(colourFaces, vec4(material.ambient));
    result->setDiffuse(colourFaces, vec4(material.diffuse));
    result->setSpecular(colourFaces, vec4(material.specular));
    result->setEmission(colourFaces, vec4(material.emission));
    result->setShininess(osg::Material::FRONT, std::clamp(material.shininess, 0.0f, 128.0f));
    return result;
}

template <class Build>
osg::Geometry* GeometryCache::serve(Slot& slot, const ShapeForm& form, Build build) {
    if (!slot) {
        slot = build();
        setShapeForm(*slot, form);
    }
    return slot.get();
}

void GeometryCache::clear() {
    myTubes.clear();
    myBalls.clear();
    myTori.clear();
    myLines.clear();
    myLitStates.clear();
    myLineState = nullptr;
}

osg::Geometry* GeometryCache::tube(double length, double startWidth, double endWidth, int segments, CapKind startCap,
                                   CapKind endCap) {
    return serve(myTubes[{bits(length), bits(startWidth), bits(endWidth), segments, startCap, endCap}],
                 {ShapeForm::Kind::Tube, length, startWidth, endWidth}, [&] { return buildCappedTube(length, startWidth, endWidth, segments, startCap, endCap); });
}

osg::Geometry* GeometryCache::ball(double radius, int segments) {
    return serve(myBalls[{bits(radius), segments}], {ShapeForm::Kind::Ball, 2.0 * radius},
                 [&] { return buildBall(radius, segments); });
}

osg::Geometry* GeometryCache::torus(double length, double innerWidth, int segments) {
    return serve(myTori[{bits(length), bits(innerWidth), segments}], {ShapeForm::Kind::Torus, length, innerWidth},
                 [&] { return buildTorus(length, innerWidth, segments); });
}

osg::Geometry* GeometryCache::line(double length, const osg::Vec4& colour) {
    Slot& slot = myLines[{bits(length), bits(colour.r()), bits(colour.g()), bits(colour.b()), bits(colour.a())}];
    return serve(slot, {ShapeForm::Kind::Line, length}, [&] {
        osg::ref_ptr<osg::Geometry> geometry = buildLine(length);
        osg::ref_ptr<osg::Vec4Array> colours = new osg::Vec4Array;
        colours->push_back(colour);
        geometry->setColorArray(colours.get(), osg::Array::BIND_OVERALL);
        return geometry;
    });
}

osg::StateSet* GeometryCache::litStateSet(const GLMaterial& material) {
    std::array<Bits, 17> key;
    auto out = key.begin();
    for (const float* colour : {material.ambient, material.diffuse, material.specular, material.emission})
        out = std::transform(colour, colour + 4, out, [](float c) { return bits(c); });
    *out = bits(material.shininess);

    osg::ref_ptr<osg::StateSet>& slot = myLitStates[key];
    if (slot) return slot.get();
    slot = new osg::StateSet;
    slot->setMode(GL_LIGHTING, osg::StateAttribute::ON);
    slot->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
    slot->setAttributeAndModes(sceneMaterial(material, osg::Material::FRONT).get(), osg::StateAttribute::ON);
    return slot.get();
}

osg::StateSet* GeometryCache::lineStateSet() {
    if (myLineState) return myLineState.get();
    myLineState = new osg::StateSet;
    myLineState->setMode(GL_LIGHTING, osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED);
    return myLineState.get();
}
