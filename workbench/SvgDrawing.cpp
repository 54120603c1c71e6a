#include "workbench/SvgDrawing.h"

#include "workbench/ExportStream.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string number(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, static_cast<float>(value)).ptr);
}

std::string colour(const osg::Vec4& c) {
    char text[8];
    const auto byte = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.r()), byte(c.g()), byte(c.b()));
    return text;
}

std::string opacity(const osg::Vec4& c, const char* attribute) {
    return c.a() < 1.0f ? std::string(" ") + attribute + "=\"" + number(std::max(c.a(), 0.0f)) + "\"" : std::string();
}

// One element of the drawing and the depth it is painted at.
struct Item {
    double depth;
    std::string element;
};

class Projector {
public:
    explicit Projector(const SvgCamera& camera) : myCamera(camera) {}

    // The point in eye coordinates; false when it is not in front of the camera.
    bool eye(const osg::Vec3d& point, const osg::Matrixd& modelView, osg::Vec3d& result) const {
        result = point * modelView;
        return result.z() < -nearest;
    }
    // Pixels of the drawing (y down).
    osg::Vec2d screen(const osg::Vec3d& eye) const {
        const osg::Vec4d clip = osg::Vec4d(eye, 1.0) * myCamera.projection;
        return osg::Vec2d((clip.x() / clip.w() + 1.0) / 2.0 * myCamera.width,
                          (1.0 - clip.y() / clip.w()) / 2.0 * myCamera.height);
    }
    // Pixels across a length at that point.
    double size(double length, const osg::Vec3d& eye) const {
        return length * myCamera.projection(1, 1) * myCamera.height / 2.0 / -eye.z();
    }

private:
    static constexpr double nearest = 1e-6;
    const SvgCamera& myCamera;
};

std::string point(const osg::Vec2d& p) { return number(p.x()) + "," + number(p.y()); }

// The stroke along a line, tube or cone from a to b (eye coordinates) with
// the widths at its ends in pixels.
std::string axisElement(const Projector& projector, const osg::Vec3d& a, const osg::Vec3d& b, double widthA,
                        double widthB, const osg::Vec4& c) {
    const osg::Vec2d from = projector.screen(a), to = projector.screen(b);
    osg::Vec2d along = to - from;
    const double length = along.length();
    if (length < 1e-9)
        return "<circle cx=\"" + number(from.x()) + "\" cy=\"" + number(from.y()) + "\" r=\"" +
               number(std::max(widthA, widthB) / 2.0) + "\" fill=\"" + colour(c) + "\"" + opacity(c, "fill-opacity") +
               "/>";
    if (std::fabs(widthA - widthB) <= 1e-6 * std::max(widthA, widthB))
        return "<line x1=\"" + number(from.x()) + "\" y1=\"" + number(from.y()) + "\" x2=\"" + number(to.x()) +
               "\" y2=\"" + number(to.y()) + "\" stroke=\"" + colour(c) + "\" stroke-width=\"" + number(widthA) +
               "\"" + opacity(c, "stroke-opacity") + "/>";
    along /= length;
    const osg::Vec2d across(-along.y(), along.x());
    return "<path d=\"M" + point(from + across * (widthA / 2.0)) + "L" + point(to + across * (widthB / 2.0)) + "L" +
           point(to - across * (widthB / 2.0)) + "L" + point(from - across * (widthA / 2.0)) + "Z\" fill=\"" +
           colour(c) + "\"" + opacity(c, "fill-opacity") + "/>";
}

// The ellipse the circle of the given radius around centre in the plane of
// u and v (unit vectors, eye coordinates) projects to, near enough: the
// ellipse with the projections of radius u and radius v as conjugate
// half-diameters.
std::string ellipseElement(const Projector& projector, const osg::Vec3d& centre, const osg::Vec3d& u,
                           const osg::Vec3d& v, double radius, const std::string& paint) {
    const osg::Vec2d middle = projector.screen(centre);
    const osg::Vec2d p = projector.screen(centre + u * radius) - middle, q = projector.screen(centre + v * radius) - middle;
    // The axes of p p^T + q q^T.
    const double a = p.x() * p.x() + q.x() * q.x(), b = p.x() * p.y() + q.x() * q.y(),
                 d = p.y() * p.y() + q.y() * q.y();
    const double mean = (a + d) / 2.0, spread = std::sqrt((a - d) * (a - d) / 4.0 + b * b);
    const double rx = std::sqrt(std::max(mean + spread, 0.0)), ry = std::sqrt(std::max(mean - spread, 0.0));
    const double angle = 0.5 * std::atan2(2.0 * b, a - d) * 180.0 / M_PI;
    return "<ellipse cx=\"" + number(middle.x()) + "\" cy=\"" + number(middle.y()) + "\" rx=\"" + number(rx) +
           "\" ry=\"" + number(ry) + "\" transform=\"rotate(" + number(angle) + " " + number(middle.x()) + " " +
           number(middle.y()) + ")\"" + paint + "/>";
}

// The scale of a placement across its x-axis (the larger of y and z).
double crossScale(const osg::Matrixd& m) {
    return std::max(osg::Vec3d(m(1, 0), m(1, 1), m(1, 2)).length(), osg::Vec3d(m(2, 0), m(2, 1), m(2, 2)).length());
}

void drawPlacement(const Projector& projector, const ExportShape& shape, const osg::Vec4& c,
                   const osg::Matrixd& modelView, std::vector<Item>& items) {
    const ShapeForm& form = shape.form;
    osg::Vec3d a, b, centre;
    switch (form.kind) {
    case ShapeForm::Kind::Line:
        if (projector.eye(osg::Vec3d(), modelView, a) && projector.eye(osg::Vec3d(form.length, 0, 0), modelView, b))
            items.push_back({(a.z() + b.z()) / 2.0, axisElement(projector, a, b, 1.0, 1.0, c)});
        return;
    case ShapeForm::Kind::Tube: {
        const double scale = crossScale(modelView);
        if (projector.eye(osg::Vec3d(-form.length / 2.0, 0, 0), modelView, a) &&
            projector.eye(osg::Vec3d(form.length / 2.0, 0, 0), modelView, b))
            items.push_back({(a.z() + b.z()) / 2.0,
                             axisElement(projector, a, b, projector.size(form.startWidth * scale, a),
                                         projector.size(form.endWidth * scale, b), c)});
        return;
    }
    case ShapeForm::Kind::Ball:
        if (projector.eye(osg::Vec3d(), modelView, centre))
            items.push_back({centre.z(), ellipseElement(projector, centre, osg::Vec3d(1, 0, 0), osg::Vec3d(0, 1, 0),
                                                        form.length / 2.0 * crossScale(modelView),
                                                        " fill=\"" + colour(c) + "\"" + opacity(c, "fill-opacity"))});
        return;
    case ShapeForm::Kind::Torus: {
        if (!projector.eye(osg::Vec3d(), modelView, centre)) return;
        // The ring's middle circle lies in the torus's x-z plane.
        const double radius = (form.length - form.startWidth) / 2.0;
        osg::Vec3d u = osg::Matrixd::transform3x3(osg::Vec3d(1, 0, 0), modelView);
        osg::Vec3d v = osg::Matrixd::transform3x3(osg::Vec3d(0, 0, 1), modelView);
        const double scale = u.normalize();
        v.normalize();
        const std::string paint = " fill=\"none\" stroke=\"" + colour(c) + "\" stroke-width=\"" +
                                  number(projector.size(form.startWidth * scale, centre)) + "\"" +
                                  opacity(c, "stroke-opacity");
        items.push_back({centre.z(), ellipseElement(projector, centre, u, v, radius * scale, paint)});
        return;
    }
    case ShapeForm::Kind::Polygon:
    case ShapeForm::Kind::Unknown: {
        // A polygon by its outline; any other shape by its triangles.
        const bool outline = form.kind == ShapeForm::Kind::Polygon;
        const std::size_t corners = outline ? std::min<std::size_t>(form.outline, shape.vertices.size()) : 3;
        const std::size_t count = outline ? 1 : (shape.lines ? 0 : shape.indices.size() / 3);
        for (std::size_t t = 0; t < count; ++t) {
            std::string path;
            double depth = 0.0;
            bool visible = corners >= 3;
            for (std::size_t k = 0; k < corners && visible; ++k) {
                const osg::Vec3 vertex = shape.vertices[outline ? k : shape.indices[3 * t + k]];
                visible = projector.eye(vertex, modelView, a);
                path += (k == 0 ? "M" : "L") + point(projector.screen(a));
                depth += a.z() / static_cast<double>(corners);
            }
            if (visible)
                items.push_back({depth, "<path d=\"" + path + "Z\" fill-rule=\"evenodd\" fill=\"" + colour(c) + "\"" +
                                            opacity(c, "fill-opacity") + "/>"});
        }
        return;
    }
    }
}

} // namespace

void writeSvg(const ExportScene& scene, const SvgCamera& camera, const std::string& fileName) {
    const Projector projector(camera);
    std::vector<Item> items;
    for (const ExportScene::Batch& batch : scene.batches()) {
        const ExportShape& shape = scene.shapes()[batch.shape];
        const osg::Vec4& c = scene.materials()[batch.material].diffuse;
        ExportScene::forEachPlacement(batch, [&](const osg::Matrixd& placement) {
            drawPlacement(projector, shape, c, placement * camera.view, items);
        });
    }
    // The farthest first; eye coordinates look down -z.
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.depth < b.depth; });

    OutputFile file(fileName);
    ExportStream out(file, nullptr, 1);
    const std::string width = std::to_string(camera.width), height = std::to_string(camera.height);
    out.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width +
            "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height + "\">\n<rect width=\"" + width +
            "\" height=\"" + height + "\" fill=\"" + colour(camera.background) + "\"/>\n<g stroke-linecap=\"butt\">\n");
    for (const Item& item : items) {
        out.put(item.element);
        out.put('\n');
    }
    out.put("</g>\n</svg>\n");
    out.flush();
    file.commit();
}
