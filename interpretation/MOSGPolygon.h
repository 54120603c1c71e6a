#pragma once
// A filled polygon collected by the turtle between "{" and "}": points in
// world coordinates, each with its own material and normal, turned into one
// retessellated polygon geode.

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/ref_ptr>
#include <osgUtil/Tessellator>

#include <array>
#include <vector>

#include "interpretation/GeometryCache.h"

template <class Real, class Material, class Colorer>
class MOSGPolygon : public Colorer {
public:
    using Vector = std::array<Real, 3>;

    class PolyPoint : public Colorer {
    public:
        // Any vector type with operator[] (osg::Vec3d, std::array).
        template <class Vec>
        PolyPoint(const Material& material, const Vec& position, const Vec& normal)
            : Colorer(material), myPosition{position[0], position[1], position[2]}, myNormal{normal[0], normal[1],
                                                                                             normal[2]} {}

        const Vector& position() const { return myPosition; }
        const Vector& normal() const { return myNormal; }

    private:
        Vector myPosition;
        Vector myNormal;
    };

    explicit MOSGPolygon(const Material& material) : Colorer(material) {}

    void addPoint(const PolyPoint& point) { myPoints.push_back(point); }

    const std::vector<PolyPoint>& points() const { return myPoints; }

    // One lit, retessellated GL_POLYGON over the points in world coordinates,
    // coloured on both faces with the material of the first point; null when
    // the polygon has no points. The points are already placed in the world.
    osg::ref_ptr<osg::Geode> buildGeometry() const {
        if (myPoints.empty()) return nullptr;
        osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
        osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
        for (const PolyPoint& point : myPoints) {
            vertices->push_back(osg::Vec3(point.position()[0], point.position()[1], point.position()[2]));
            normals->push_back(osg::Vec3(point.normal()[0], point.normal()[1], point.normal()[2]));
        }
        osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
        geometry->setVertexArray(vertices.get());
        geometry->setNormalArray(normals.get(), osg::Array::BIND_PER_VERTEX);
        geometry->addPrimitiveSet(new osg::DrawArrays(GL_POLYGON, 0, static_cast<GLsizei>(vertices->size())));
        // The tessellator keeps the points first and in order, adding any
        // vertex it needs behind them.
        ShapeForm form;
        form.kind = ShapeForm::Kind::Polygon;
        form.outline = static_cast<int>(vertices->size());
        setShapeForm(*geometry, form);

        osg::ref_ptr<osg::Geode> geode = new osg::Geode;
        osg::StateSet* stateSet = geode->getOrCreateStateSet();
        stateSet->setMode(GL_LIGHTING, osg::StateAttribute::ON);
        stateSet->setRenderingHint(osg::StateSet::TRANSPARENT_BIN);
        stateSet->setAttributeAndModes(sceneMaterial(myPoints.front().material(), osg::Material::FRONT_AND_BACK).get(),
                                       osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE);

        osg::ref_ptr<osgUtil::Tessellator> tessellator = new osgUtil::Tessellator;
        tessellator->retessellatePolygons(*geometry);
        geode->addDrawable(geometry.get());
        return geode;
    }

private:
    std::vector<PolyPoint> myPoints;
};
