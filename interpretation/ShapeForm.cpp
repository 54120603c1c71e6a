#include "interpretation/ShapeForm.h"

#include <osg/ValueObject>

void setShapeForm(osg::Geometry& geometry, const ShapeForm& form) {
    geometry.setUserValue("klado.kind", static_cast<int>(form.kind));
    geometry.setUserValue("klado.length", form.length);
    geometry.setUserValue("klado.startWidth", form.startWidth);
    geometry.setUserValue("klado.endWidth", form.endWidth);
    geometry.setUserValue("klado.outline", form.outline);
}

ShapeForm shapeForm(const osg::Geometry& geometry) {
    ShapeForm form;
    int kind = 0;
    if (!geometry.getUserValue("klado.kind", kind)) return form;
    form.kind = static_cast<ShapeForm::Kind>(kind);
    geometry.getUserValue("klado.length", form.length);
    geometry.getUserValue("klado.startWidth", form.startWidth);
    geometry.getUserValue("klado.endWidth", form.endWidth);
    geometry.getUserValue("klado.outline", form.outline);
    return form;
}
