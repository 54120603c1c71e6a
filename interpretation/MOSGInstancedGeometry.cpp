#include "interpretation/MOSGInstancedGeometry.h"

#include <osg/Geode>
#include <osg/MatrixTransform>
#include <osg/Program>
#include <osg/Shader>
#include <osg/VertexAttribDivisor>

#include <string>
#include <vector>

namespace {

// Moves a point or a direction by the instance's matrix, given as its first
// three columns.
const char* const placementSource = R"(#version 120
attribute vec4 instanceX;
attribute vec4 instanceY;
attribute vec4 instanceZ;
vec3 place(vec4 v) { return vec3(dot(v, instanceX), dot(v, instanceY), dot(v, instanceZ)); }
)";

// The fixed-function pipeline's per-vertex lighting of the front material
// (viewer at infinity, no spot lights) by light i.
const char* const lightSource = R"(vec4 light(int i, vec3 normal, vec4 eye) {
    vec4 position = gl_LightSource[i].position;
    vec3 towards = position.xyz;
    float attenuation = 1.0;
    if (position.w != 0.0) {
        towards = position.xyz / position.w - eye.xyz / eye.w;
        float d = length(towards);
        attenuation = 1.0 / (gl_LightSource[i].constantAttenuation + gl_LightSource[i].linearAttenuation * d +
                             gl_LightSource[i].quadraticAttenuation * d * d);
    }
    towards = normalize(towards);
    float diffuse = max(dot(normal, towards), 0.0);
    vec4 lit = gl_FrontLightProduct[i].ambient + diffuse * gl_FrontLightProduct[i].diffuse;
    if (diffuse > 0.0) {
        float highlight = max(dot(normal, normalize(towards + vec3(0.0, 0.0, 1.0))), 0.0);
        lit += pow(highlight, gl_FrontMaterial.shininess) * gl_FrontLightProduct[i].specular;
    }
    return attenuation * lit;
}
)";

// Lit by the lights that are on: a shader cannot ask OpenGL whether a light
// is enabled, so the scene defines a name for each light that is on, and
// each combination of lights gets its own compiled shader.
std::string litSource() {
    std::string imports, sum;
    for (int i = 0; i < 8; ++i) {
        const std::string name = lightDefine(i), index = std::to_string(i);
        imports += (i ? ", " : "") + name;
        sum += "#ifdef " + name + "\n    colour += light(" + index + ", normal, eye);\n#endif\n";
    }
    return "#pragma import_defines(" + imports + ")\n" + lightSource + R"(void main() {
    vec4 eye = gl_ModelViewMatrix * vec4(place(gl_Vertex), 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    vec3 normal = normalize(gl_NormalMatrix * place(vec4(gl_Normal, 0.0)));
    vec4 colour = gl_FrontLightModelProduct.sceneColor;
)" + sum + R"(    gl_FrontColor = vec4(colour.rgb, gl_FrontMaterial.diffuse.a);
    gl_BackColor = gl_FrontColor;
}
)";
}

const char* const unlitSource = R"(void main() {
    gl_Position = gl_ModelViewProjectionMatrix * vec4(place(gl_Vertex), 1.0);
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}
)";

constexpr std::size_t maxParents = 1000;

const char* const instanceAttributes[] = {"instanceX", "instanceY", "instanceZ"};

osg::ref_ptr<osg::StateSet> makeInstancingState(const std::string& body) {
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->addShader(new osg::Shader(osg::Shader::VERTEX, std::string(placementSource) + body));
    osg::ref_ptr<osg::StateSet> state = new osg::StateSet;
    for (unsigned i = 0; i < 3; ++i) {
        program->addBindAttribLocation(instanceAttributes[i], MOSGInstancedGeometry::firstInstanceAttribute + i);
        state->setAttribute(new osg::VertexAttribDivisor(MOSGInstancedGeometry::firstInstanceAttribute + i, 1));
    }
    state->setAttributeAndModes(program.get());
    return state;
}

// Shared by every instanced geometry of the process.
osg::StateSet* instancingState(bool lit) {
    static const osg::ref_ptr<osg::StateSet> litState = makeInstancingState(litSource());
    static const osg::ref_ptr<osg::StateSet> unlitState = makeInstancingState(unlitSource);
    return lit ? litState.get() : unlitState.get();
}

const osg::Vec4Array& column(const osg::Geometry& geometry, unsigned index) {
    return *static_cast<const osg::Vec4Array*>(
        geometry.getVertexAttribArray(MOSGInstancedGeometry::firstInstanceAttribute + index));
}

} // namespace

MOSGInstancedGeometry::MOSGInstancedGeometry() = default;

MOSGInstancedGeometry::MOSGInstancedGeometry(osg::Geometry* shape, bool lit) : myShape(shape) {
    setUseDisplayList(false);
    setUseVertexBufferObjects(true);
    setVertexArray(shape->getVertexArray());
    setNormalArray(shape->getNormalArray());
    setColorArray(shape->getColorArray());
    for (const auto& primitive : shape->getPrimitiveSetList())
        addPrimitiveSet(static_cast<osg::PrimitiveSet*>(primitive->clone(osg::CopyOp::SHALLOW_COPY)));
    for (unsigned i = 0; i < 3; ++i)
        setVertexAttribArray(firstInstanceAttribute + i, new osg::Vec4Array, osg::Array::BIND_PER_VERTEX);
    setStateSet(instancingState(lit));
}

MOSGInstancedGeometry::MOSGInstancedGeometry(const MOSGInstancedGeometry& other, const osg::CopyOp& copyop)
    : osg::Geometry(other, copyop), myShape(other.myShape), myBounds(other.myBounds) {}

void MOSGInstancedGeometry::addInstance(const osg::Matrixd& placement) {
    for (unsigned i = 0; i < 3; ++i) {
        auto& values = static_cast<osg::Vec4Array&>(*getVertexAttribArray(firstInstanceAttribute + i));
        values.push_back(osg::Vec4(placement(0, i), placement(1, i), placement(2, i), placement(3, i)));
    }
    const int count = static_cast<int>(instanceCount());
    for (const auto& primitive : getPrimitiveSetList()) primitive->setNumInstances(count);
    myBounds.expandBy(instanceBound(instanceCount() - 1));
    dirtyBound();
}

std::size_t MOSGInstancedGeometry::instanceCount() const { return column(*this, 0).size(); }

osg::Matrixd MOSGInstancedGeometry::instanceMatrix(std::size_t index) const {
    osg::Matrixd result;
    for (unsigned i = 0; i < 3; ++i) {
        const osg::Vec4& values = column(*this, i)[index];
        for (int row = 0; row < 4; ++row) result(row, i) = values[row];
    }
    return result;
}

osg::BoundingSphere MOSGInstancedGeometry::instanceBound(std::size_t index) const {
    const osg::BoundingSphere& local = myShape->getBound();
    const osg::Vec4 point(local.center(), 1.0f);
    return osg::BoundingSphere(
        osg::Vec3(point * column(*this, 0)[index], point * column(*this, 1)[index], point * column(*this, 2)[index]),
        local.radius());
}

osg::BoundingBox MOSGInstancedGeometry::computeBoundingBox() const { return myBounds; }

std::string lightDefine(int index) { return "KLADO_LIGHT" + std::to_string(index); }

namespace {

// Appends node to out, an instanced geode as a transform for each instance
// (and a geode of its other drawables); true when anything was expanded.
bool expandInto(osg::Node& node, std::vector<osg::ref_ptr<osg::Node>>& out) {
    osg::Geode* geode = node.asGeode();
    bool instanced = false;
    for (unsigned i = 0; geode && i < geode->getNumDrawables() && !instanced; ++i)
        instanced = dynamic_cast<MOSGInstancedGeometry*>(geode->getDrawable(i));
    if (instanced) {
        osg::ref_ptr<osg::Geode> plain = new osg::Geode;
        plain->setStateSet(geode->getStateSet());
        for (unsigned i = 0; i < geode->getNumDrawables(); ++i) {
            const auto* geometry = dynamic_cast<MOSGInstancedGeometry*>(geode->getDrawable(i));
            if (!geometry) {
                plain->addDrawable(geode->getDrawable(i));
                continue;
            }
            osg::ref_ptr<osg::Geode> shape;
            for (std::size_t k = 0; k < geometry->instanceCount(); ++k) {
                // A node with N parents takes time in N^2 to destroy: a
                // geode serves a bounded number of transforms.
                if (k % maxParents == 0) {
                    shape = new osg::Geode;
                    shape->setStateSet(geode->getStateSet());
                    shape->addDrawable(geometry->shape());
                }
                osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform(geometry->instanceMatrix(k));
                transform->addChild(shape.get());
                out.push_back(transform);
            }
        }
        if (plain->getNumDrawables() > 0) out.push_back(plain);
        return true;
    }
    osg::Group* group = node.asGroup();
    if (group) {
        std::vector<osg::ref_ptr<osg::Node>> children;
        bool changed = false;
        for (unsigned i = 0; i < group->getNumChildren(); ++i)
            changed = expandInto(*group->getChild(i), children) || changed;
        if (changed) {
            osg::ref_ptr<osg::Group> copy = static_cast<osg::Group*>(group->clone(osg::CopyOp::SHALLOW_COPY));
            copy->removeChildren(0, copy->getNumChildren());
            for (const auto& child : children) copy->addChild(child.get());
            out.push_back(copy);
            return true;
        }
    }
    out.push_back(&node);
    return false;
}

} // namespace

osg::ref_ptr<osg::Node> expandInstances(osg::Node& node) {
    std::vector<osg::ref_ptr<osg::Node>> expanded;
    expandInto(node, expanded);
    if (expanded.size() == 1) return expanded.front();
    osg::ref_ptr<osg::Group> group = new osg::Group;
    for (const auto& child : expanded) group->addChild(child.get());
    return group;
}
