#include "interpretation/MOSGInstancedGeometry.h"

#include <osg/BlendFunc>
#include <osg/Depth>
#include <osg/GLExtensions>
#include <osg/Geode>
#include <osg/LineWidth>
#include <osg/MatrixTransform>
#include <osg/Program>
#include <osg/Shader>
#include <osg/ValueObject>
#include <osg/VertexAttribDivisor>
#include <osg/Viewport>
#include <osgUtil/CullVisitor>

#include <algorithm>
#include <cfloat>
#include <cmath>
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

// A shader cannot ask OpenGL whether a light is enabled, so the scene
// defines a name for each light that is on, and each combination of lights
// gets its own compiled shader. lightImports names the defines; lightSum
// adds up in colour what the lights that are on give at eye with normal.
std::string lightImports() {
    std::string imports;
    for (int i = 0; i < 8; ++i) imports += (i ? ", " : "") + lightDefine(i);
    return "#pragma import_defines(" + imports + ")\n" + lightSource;
}

std::string lightSum() {
    std::string sum = "    vec4 colour = gl_FrontLightModelProduct.sceneColor;\n";
    for (int i = 0; i < 8; ++i)
        sum += "#ifdef " + lightDefine(i) + "\n    colour += light(" + std::to_string(i) + ", normal, eye);\n#endif\n";
    return sum;
}

std::string litSource() {
    return lightImports() + R"(void main() {
    vec4 eye = gl_ModelViewMatrix * vec4(place(gl_Vertex), 1.0);
    vec3 normal = normalize(gl_NormalMatrix * place(vec4(gl_Normal, 0.0)));
    gl_Position = gl_ProjectionMatrix * eye;
)" + lightSum() +
           R"(    gl_FrontColor = vec4(colour.rgb, gl_FrontMaterial.diffuse.a);
    gl_BackColor = gl_FrontColor;
}
)";
}

// A thin line stands for a round shape narrower than a pixel. Drawn in full,
// such a shape covers a pixel of its line with about the chance of its width
// in pixels, in the colour lit where the pixel's centre falls across it
// (along a straight shape, much the same place), at the depth of its
// surface there. A line takes a random place across the shape, lit and as
// near to the eye as the shape's surface there, and its fragments cover
// their pixels with that chance. The width in pixels is the shape's width in
// eye coordinates over the pixel's size at the vertex's depth (halfHeight is
// half the viewport's height), over the cosine of the line's slant on
// screen.
//
// Seen across, the shape is a polygon of the given number of sides, rolled
// by a random angle; the place across its outline falls on the side between
// two of its corners, coloured between the corners' colours as the
// fixed-function pipeline colours it.
//
// The start of a line carries the line's axis in its normal, the end the
// axis reversed: from either, the middle of the line is half of it away,
// which gives the line its random numbers. The direction taken is the one
// with a positive first non-zero coordinate, the same at both ends.
//
// In a plain picture the line takes its colour and depth from the random
// place across the shape.
const char* const randomPlaceSource = R"(    float step = 6.2831853 / max(sides, 3.0);
    float roll = step * fract(seed * 0.618034);
    // The outline reaches as far to each side as the corner nearest to it.
    float right = mod(1.5707963 - roll, step), left = mod(-1.5707963 - roll, step);
    right = cos(min(right, step - right));
    left = -cos(min(left, step - left));
    float angle = asin(mix(left, right, fract(seed * 0.7548777)));
    float first = roll + floor((angle - roll) / step) * step;
    float second = first + step;
    float across = clamp((sin(angle) - sin(first)) / (sin(second) - sin(first)), 0.0, 1.0);
    vec4 colour = mix(shade(cos(first) * front + sin(first) * side, eye),
                      shade(cos(second) * front + sin(second) * side, eye), across);
    gl_FrontColor = vec4(colour.rgb, gl_FrontMaterial.diffuse.a);
    gl_BackColor = gl_FrontColor;
    // Where shapes cross, the sides facing the viewer are the ones seen.
    float width = widthPerLength * length(axis);
    float nearer = width / 2.0 * mix(cos(first), cos(second), across);
    gl_Position = gl_ProjectionMatrix * vec4(eye.xyz + nearer * front, 1.0);
    vec2 slant = abs(axis.xy) / max(length(axis.xy), 1e-20);
    float slantCosine = max(max(slant.x, slant.y), 0.7071);
)";

// Where a line of a multisampled picture takes them: its colour is the
// mean over the outline, as the filtered picture of a shape narrower than
// its pixel shows it, each place lit where the outline faces there; its
// depth is the nearest point of the shape.
const char* const meanPlaceSource = R"(    vec4 colour = vec4(0.0);
    for (int i = 0; i < 4; ++i) {
        float angle = asin((float(i) - 1.5) / 2.0);
        colour += 0.25 * shade(cos(angle) * front + sin(angle) * side, eye);
    }
    gl_FrontColor = vec4(colour.rgb, gl_FrontMaterial.diffuse.a);
    gl_BackColor = gl_FrontColor;
    float width = widthPerLength * length(axis);
    gl_Position = gl_ProjectionMatrix * vec4(eye.xyz + width / 2.0 * front, 1.0);
    // A line of a multisampled picture is a rectangle as wide as a pixel
    // across its direction, whatever its slant.
    float slantCosine = 1.0;
)";

std::string thinVertexSource(bool mean) {
    return "#version 120\n" + lightImports() + R"(uniform float halfHeight;
uniform float widthPerLength;
uniform float sides;
varying float coverage;
varying float seed;
vec4 shade(vec3 normal, vec4 eye) {
)" + lightSum() +
           R"(    return colour;
}
void main() {
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    vec3 middle = gl_Vertex.xyz + gl_Normal / 2.0;
    seed = floor(1000.0 * fract(sin(dot(middle, vec3(12.9898, 78.233, 37.719))) * 43758.5453));
    vec3 direction = gl_Normal * (gl_Normal.x != 0.0 ? sign(gl_Normal.x)
                                  : gl_Normal.y != 0.0 ? sign(gl_Normal.y) : sign(gl_Normal.z));
    vec3 axis = (gl_ModelViewMatrix * vec4(direction, 0.0)).xyz;
    // The middle of the outline faces the viewer; across the shape the
    // normal turns to either side.
    vec3 viewer = normalize(-eye.xyz);
    float axis2 = dot(axis, axis);
    vec3 front = axis2 > 0.0 ? viewer - dot(viewer, axis) / axis2 * axis : viewer;
    front = dot(front, front) > 1e-12 ? normalize(front) : viewer;
    vec3 side = axis2 > 0.0 ? normalize(cross(axis, front)) : vec3(0.0);
)" + std::string(mean ? meanPlaceSource : randomPlaceSource) +
           R"(    coverage = halfHeight > 0.0 ? width * gl_ProjectionMatrix[1][1] * halfHeight / gl_Position.w / slantCosine : 1.0;
}
)";
}

const char* const thinFragmentSource = R"(#version 120
varying float coverage;
varying float seed;
void main() {
    vec2 at = gl_FragCoord.xy + vec2(seed, 2.0 * seed);
    if (fract(sin(dot(at, vec2(12.9898, 78.233))) * 43758.5453) >= coverage) discard;
    gl_FragColor = gl_Color;
}
)";

// In multisampled pictures a thin line covers its pixels by its width: its
// colour is laid over what lies behind with that weight.
const char* const coverageFragmentSource = R"(#version 120
varying float coverage;
void main() {
    gl_FragColor = vec4(gl_Color.rgb, gl_Color.a * clamp(coverage, 0.0, 1.0));
}
)";

const char* const lineCoverageKey = "klado.lineCoverage";

const char* const unlitSource = R"(void main() {
    gl_Position = gl_ModelViewProjectionMatrix * vec4(place(gl_Vertex), 1.0);
    gl_FrontColor = gl_Color;
    gl_BackColor = gl_Color;
}
)";

constexpr std::size_t maxParents = 1000;

const char* const instanceAttributes[] = {"instanceX", "instanceY", "instanceZ"};

osg::ref_ptr<osg::StateSet> makeState(const std::string& vertexSource, const std::string& fragmentSource = "") {
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->addShader(new osg::Shader(osg::Shader::VERTEX, vertexSource));
    if (!fragmentSource.empty()) program->addShader(new osg::Shader(osg::Shader::FRAGMENT, fragmentSource));
    osg::ref_ptr<osg::StateSet> state = new osg::StateSet;
    state->setAttributeAndModes(program.get());
    return state;
}

osg::ref_ptr<osg::StateSet> makeInstancingState(const std::string& body) {
    osg::ref_ptr<osg::StateSet> state = makeState(std::string(placementSource) + body);
    auto* program = static_cast<osg::Program*>(state->getAttribute(osg::StateAttribute::PROGRAM));
    for (unsigned i = 0; i < 3; ++i) {
        program->addBindAttribLocation(instanceAttributes[i], MOSGInstancedGeometry::firstInstanceAttribute + i);
        state->setAttribute(new osg::VertexAttribDivisor(MOSGInstancedGeometry::firstInstanceAttribute + i, 1));
    }
    return state;
}

// Shared by every instanced geometry of the process.
osg::StateSet* instancingState(bool lit) {
    static const osg::ref_ptr<osg::StateSet> litState = makeInstancingState(litSource());
    static const osg::ref_ptr<osg::StateSet> unlitState = makeInstancingState(unlitSource);
    return lit ? litState.get() : unlitState.get();
}

// The lines covering by chance are one pixel wide even where other lines
// are drawn wider: their chance is counted for that width.
osg::StateSet* thinLineState() {
    static const osg::ref_ptr<osg::StateSet> state = [] {
        osg::ref_ptr<osg::StateSet> made = makeState(thinVertexSource(false), thinFragmentSource);
        made->setAttribute(new osg::LineWidth(1.0f));
        return made;
    }();
    return state.get();
}

// The lines that cover their pixels by their width are laid over the full
// shapes once these are drawn, and leave the depth to them: seen through
// each other, every line adds its share whatever the order.
osg::StateSet* coverageLineState() {
    static const osg::ref_ptr<osg::StateSet> state = [] {
        osg::ref_ptr<osg::StateSet> made = makeState(thinVertexSource(true), coverageFragmentSource);
        made->setAttributeAndModes(
            new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
        made->setAttribute(new osg::Depth(osg::Depth::LESS, 0.0, 1.0, false));
        made->setRenderBinDetails(1, "RenderBin");
        return made;
    }();
    return state.get();
}

// Whether the camera culling draws thin lines by coverage (see setLineCoverage).
bool coversLines(osg::NodeVisitor* visitor) {
    auto* cull = dynamic_cast<osgUtil::CullVisitor*>(visitor);
    const osg::Camera* camera = cull ? cull->getCurrentCamera() : nullptr;
    bool covers = false;
    return camera && camera->getUserValue(lineCoverageKey, covers) && covers;
}

// Leaves out whichever of a slender geometry's instances and thin lines is
// not to be drawn in the view being culled. Thin lines to be drawn take the
// state of the camera's way of drawing them (the cameras draw one after the
// other, never at once).
class ThinnessCull : public osg::Drawable::CullCallback {
public:
    ThinnessCull(const MOSGInstancedGeometry* instances, bool whenThin)
        : myInstances(instances), myWhenThin(whenThin) {}
    bool cull(osg::NodeVisitor* visitor, osg::Drawable* drawable, osg::RenderInfo*) const override {
        osg::ref_ptr<const MOSGInstancedGeometry> instances;
        const osg::CullStack* view = visitor ? visitor->asCullStack() : nullptr;
        if (!myInstances.lock(instances) || !view) return !myWhenThin;
        if (instances->thinOnScreen(*view) == myWhenThin) return true;
        if (!myWhenThin) {
            osg::StateSet* state = coversLines(visitor) ? coverageLineState() : thinLineState();
            if (drawable->getStateSet() != state) drawable->setStateSet(state);
        }
        return false;
    }

private:
    osg::observer_ptr<const MOSGInstancedGeometry> myInstances;
    bool myWhenThin;
};

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

osg::ref_ptr<MOSGInstancedGeometry> MOSGInstancedGeometry::slender(osg::Geometry* shape, int sides) {
    osg::ref_ptr<MOSGInstancedGeometry> geometry = new MOSGInstancedGeometry(shape, true);
    geometry->myThinLines = new MOSGThinLines(sides, shape->getBoundingBox());
    geometry->myThinLines->setCullCallback(new ThinnessCull(geometry.get(), false));
    geometry->setCullCallback(new ThinnessCull(geometry.get(), true));
    return geometry;
}

MOSGInstancedGeometry::MOSGInstancedGeometry(const MOSGInstancedGeometry& other, const osg::CopyOp& copyop)
    : osg::Geometry(other, copyop), myShape(other.myShape), myBounds(other.myBounds) {
    setCullCallback(nullptr); // a copy is drawn without thin lines of its own
}

void MOSGInstancedGeometry::addInstance(const osg::Matrixd& placement) {
    for (unsigned i = 0; i < 3; ++i) {
        auto& values = static_cast<osg::Vec4Array&>(*getVertexAttribArray(firstInstanceAttribute + i));
        values.push_back(osg::Vec4(placement(0, i), placement(1, i), placement(2, i), placement(3, i)));
    }
    const int count = static_cast<int>(instanceCount());
    for (const auto& primitive : getPrimitiveSetList()) primitive->setNumInstances(count);
    myBounds.expandBy(instanceBound(instanceCount() - 1));
    dirtyBound();
    if (myThinLines) {
        myThinLines->addLine(placement);
        // The cross-section is scaled by the longer of the placed y and z axes.
        const double scale2 = std::max(osg::Vec3d(placement(1, 0), placement(1, 1), placement(1, 2)).length2(),
                                       osg::Vec3d(placement(2, 0), placement(2, 1), placement(2, 2)).length2());
        myWidth = std::max(myWidth, static_cast<float>(myThinLines->shapeWidth() * std::sqrt(scale2)));
    }
}

bool MOSGInstancedGeometry::thinOnScreen(const osg::CullStack& view) const {
    if (!myThinLines || !myBounds.valid()) return false;
    // A radius r at point v spans r / (v . pixel size vector) pixels across
    // (the diameter); the product is smallest at a corner of the box.
    const osg::Vec4& pixelSize = view.getCurrentCullingSet().getPixelSizeVector();
    float nearest = FLT_MAX;
    for (unsigned i = 0; i < 8; ++i) {
        const osg::Vec3 corner = myBounds.corner(i);
        nearest = std::min(nearest, corner.x() * pixelSize.x() + corner.y() * pixelSize.y() +
                                        corner.z() * pixelSize.z() + pixelSize.w());
    }
    return nearest > 0.0f && myWidth / 2.0f < nearest;
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

// The axis runs through the middle of the shape's box along x; the width is
// the larger side of its cross-section.
MOSGThinLines::MOSGThinLines(int sides, const osg::BoundingBox& shape)
    : mySides(sides),
      myShapeWidth(shape.valid() ? std::max(shape.yMax() - shape.yMin(), shape.zMax() - shape.zMin()) : 0.0f),
      myStart(shape.xMin(), shape.center().y(), shape.center().z()),
      myEnd(shape.xMax(), shape.center().y(), shape.center().z()) {
    setUseDisplayList(false);
    setUseVertexBufferObjects(true);
    setVertexArray(new osg::Vec3Array);
    setNormalArray(new osg::Vec3Array, osg::Array::BIND_PER_VERTEX);
    addPrimitiveSet(new osg::DrawArrays(GL_LINES, 0, 0));
    setStateSet(thinLineState());
}

MOSGThinLines::MOSGThinLines(const MOSGThinLines& other, const osg::CopyOp& copyop)
    : osg::Geometry(other, copyop), mySides(other.mySides), myShapeWidth(other.myShapeWidth), myStart(other.myStart),
      myEnd(other.myEnd) {}

void MOSGThinLines::addLine(const osg::Matrixd& placement) {
    auto& vertices = static_cast<osg::Vec3Array&>(*getVertexArray());
    auto& axes = static_cast<osg::Vec3Array&>(*getNormalArray());
    const osg::Vec3 from = myStart * placement, to = myEnd * placement;
    vertices.push_back(from);
    vertices.push_back(to);
    axes.push_back(to - from);
    axes.push_back(from - to);
    static_cast<osg::DrawArrays&>(*getPrimitiveSet(0)).setCount(static_cast<GLsizei>(vertices.size()));
    dirtyBound();
}

void MOSGThinLines::drawImplementation(osg::RenderInfo& renderInfo) const {
    // The shaders, shared by every shape, take the shape's proportions from
    // here, and the viewport's height, which is the camera's, known only
    // while drawing.
    osg::State& state = *renderInfo.getState();
    const osg::Program::PerContextProgram* program = state.getLastAppliedProgramObject();
    const osg::Viewport* viewport = state.getCurrentViewport();
    if (program && viewport) {
        const osg::GLExtensions& gl = *state.get<osg::GLExtensions>();
        const auto set = [&](const char* name, float value) {
            const GLint location = program->getUniformLocation(osg::Uniform::getNameID(name));
            if (location >= 0) gl.glUniform1f(location, value);
        };
        set("halfHeight", static_cast<float>(viewport->height() / 2.0));
        const float length = myEnd.x() - myStart.x();
        set("widthPerLength", length > 0.0f ? myShapeWidth / length : 0.0f);
        set("sides", static_cast<float>(mySides));
    }
    osg::Geometry::drawImplementation(renderInfo);
}

std::string lightDefine(int index) { return "KLADO_LIGHT" + std::to_string(index); }

void setLineCoverage(osg::Camera& camera, bool on) { camera.setUserValue(lineCoverageKey, on); }

void releaseSharedShaders(osg::State* state) {
    for (osg::StateSet* shared : {instancingState(true), instancingState(false), thinLineState(), coverageLineState()})
        shared->releaseGLObjects(state);
}

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
                if (!dynamic_cast<MOSGThinLines*>(geode->getDrawable(i))) plain->addDrawable(geode->getDrawable(i));
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
