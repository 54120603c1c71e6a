#include "editors/MaterialPreview.h"

#include "editors/SphereTable.h"
#include "materials/MaterialPalette.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <fx.h>

#include <cmath>
#include <cstring>

PreviewStyle previewStyleFor(const GLMaterial& material, bool enabled) {
    PreviewStyle style;
    style.chequered = material.diffuse[3] < 1.0f;
    style.disabled = !enabled;
    return style;
}

namespace {

// A disabled preview greys every colour: each channel becomes the mean of
// the three halved plus half the channel.
void shade(const float in[4], bool disabled, float out[4]) {
    const float mean = (in[0] + in[1] + in[2]) / 6.0f;
    for (int i = 0; i < 3; ++i) out[i] = disabled ? mean + in[i] / 2.0f : in[i];
    out[3] = in[3];
}

void square(float x0, float y0, float x1, float y1, float z) {
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x0, y1, z);
    glEnd();
}

const SphereTable& table(int segments) {
    const SphereTable* sphere = sphereTable(segments);
    if (!sphere) {
        buildSphereTables();
        sphere = sphereTable(segments);
    }
    return *sphere;
}

} // namespace

void drawMaterialPreview(const GLMaterial& material, const PreviewStyle& style, int x, int y, int width, int height,
                         int segments) {
    glViewport(x, y, width, height);
    glScissor(x, y, width, height);
    glEnable(GL_SCISSOR_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DITHER);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = height == 0 ? 1.0 : double(width) / height;
    const double top = std::tan(15.0 * M_PI / 180.0); // near plane at 1
    glFrustum(-top * aspect, top * aspect, -top, top, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -10.0f); // the camera at (0, 0, 10) looking at the origin, y up
    glShadeModel(GL_SMOOTH);

    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float lightPosition[4] = {-15.0f, 15.0f, 15.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnable(GL_LIGHT0);

    glDisable(GL_LIGHTING);
    if (style.disabled)
        glColor4f(0.6f, 0.6f, 0.6f, 1.0f);
    else if (style.chequered)
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    else
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    square(-3.0f, -3.0f, 3.0f, 3.0f, -0.1f);
    if (style.chequered) {
        if (style.disabled)
            glColor4f(0.4f, 0.4f, 0.4f, 1.0f);
        else
            glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        square(-3.0f, -3.0f, 0.0f, 0.0f, 0.0f);
        square(0.0f, 0.0f, 3.0f, 3.0f, 0.0f);
    }

    float diffuse[4];
    shade(material.diffuse, style.disabled, diffuse);
    if (material.flat) {
        glShadeModel(GL_FLAT);
        glDisable(GL_LIGHTING);
        glDisable(GL_LIGHT0);
        glColor4fv(diffuse);
    } else {
        float ambient[4], specular[4], emission[4];
        shade(material.ambient, style.disabled, ambient);
        shade(material.specular, style.disabled, specular);
        shade(material.emission, style.disabled, emission);
        glShadeModel(GL_SMOOTH);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::min(128.0f, std::max(0.0f, material.shininess)));
    }

    glScalef(2.2f, 2.2f, 2.2f);
    glEnable(GL_NORMALIZE);
    const SphereTable& sphere = table(segments);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, sphere.positions.data());
    glNormalPointer(GL_FLOAT, 0, sphere.normals.data());
    glDrawElements(GL_QUAD_STRIP, static_cast<GLsizei>(sphere.indices.size()), GL_UNSIGNED_INT, sphere.indices.data());
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_LIGHTING);
}

namespace OffscreenPreview {

namespace {

// One context and one pbuffer for the whole run, grown to the largest size
// asked for; X frees them with the display connection.
struct Buffer {
    Display* display = nullptr;
    GLXFBConfig config = nullptr;
    GLXContext context = nullptr;
    GLXPbuffer pbuffer = 0;
    int width = 0;
    int height = 0;
};

Buffer buffer;

bool prepare(Display* display, int width, int height) {
    if (buffer.display != display) {
        buffer = Buffer();
        const int attributes[] = {GLX_DRAWABLE_TYPE,
                                  GLX_PBUFFER_BIT,
                                  GLX_RENDER_TYPE,
                                  GLX_RGBA_BIT,
                                  GLX_RED_SIZE,
                                  8,
                                  GLX_GREEN_SIZE,
                                  8,
                                  GLX_BLUE_SIZE,
                                  8,
                                  GLX_DEPTH_SIZE,
                                  16,
                                  None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        if (!configs || count == 0) return false;
        // Prefer a config without destination alpha: it has the screen's
        // depth, while Mesa's software rasteriser pushes a 32-bit pbuffer to
        // the server as an image of the screen's depth, which X refuses
        // (BadMatch in ShmPutImage). The previews blend with source alpha
        // only and read back opaque pixels.
        buffer.config = configs[0];
        for (int i = 0; i < count; ++i) {
            int alpha = 0;
            glXGetFBConfigAttrib(display, configs[i], GLX_ALPHA_SIZE, &alpha);
            if (alpha == 0) {
                buffer.config = configs[i];
                break;
            }
        }
        XFree(configs);
        buffer.context = glXCreateNewContext(display, buffer.config, GLX_RGBA_TYPE, nullptr, True);
        if (!buffer.context) return false;
        buffer.display = display;
    }
    if (width > buffer.width || height > buffer.height) {
        if (buffer.pbuffer) glXDestroyPbuffer(display, buffer.pbuffer);
        buffer.width = std::max(width, buffer.width);
        buffer.height = std::max(height, buffer.height);
        const int attributes[] = {GLX_PBUFFER_WIDTH, buffer.width, GLX_PBUFFER_HEIGHT, buffer.height, None};
        buffer.pbuffer = glXCreatePbuffer(display, buffer.config, attributes);
        if (!buffer.pbuffer) {
            buffer.width = buffer.height = 0;
            return false;
        }
    }
    return true;
}

} // namespace

bool render(FX::FXApp* app, int width, int height, const std::function<void(int, int)>& draw,
            std::vector<FX::FXColor>& pixels) {
    Display* display = static_cast<Display*>(app->getDisplay());
    if (!display || width <= 0 || height <= 0 || !prepare(display, width, height)) return false;

    // Whatever context was current (a GL window's) is current again afterwards.
    Display* previousDisplay = glXGetCurrentDisplay();
    const GLXDrawable previousDraw = glXGetCurrentDrawable();
    const GLXDrawable previousRead = glXGetCurrentReadDrawable();
    const GLXContext previousContext = glXGetCurrentContext();

    glXMakeContextCurrent(display, buffer.pbuffer, buffer.pbuffer, buffer.context);
    draw(width, height);
    glFinish();
    std::vector<FX::FXColor> raw(static_cast<std::size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    if (previousContext)
        glXMakeContextCurrent(previousDisplay, previousDraw, previousRead, previousContext);
    else
        glXMakeContextCurrent(display, None, None, nullptr);

    // GL rows run bottom-up, FOX images top-down; RGBA bytes are FOX's colour layout.
    pixels.resize(raw.size());
    for (int row = 0; row < height; ++row)
        std::memcpy(&pixels[static_cast<std::size_t>(row) * width],
                    &raw[static_cast<std::size_t>(height - 1 - row) * width], sizeof(FX::FXColor) * width);
    return true;
}

} // namespace OffscreenPreview

PaletteCell paletteCell(int index, int width, int height) {
    const int column = index % 16, row = index / 16;
    const int x0 = column * width / 16, y0 = row * height / 16;
    return {x0, y0, (column + 1) * width / 16 - x0, (row + 1) * height / 16 - y0};
}

void drawPaletteCells(const MaterialPalette& palette, const std::vector<int>& indices, bool enabled, int width,
                      int height) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int index : indices) {
        const PaletteCell cell = paletteCell(index, width, height);
        // Small cells cannot show the facets of a finer sphere.
        const int size = std::min(cell.width, cell.height);
        const int segments = size >= 48 ? 64 : size >= 16 ? 16 : 8;
        const GLMaterial& material = palette[index];
        drawMaterialPreview(material, previewStyleFor(material, enabled), cell.x, height - cell.y - cell.height,
                            cell.width, cell.height, segments);
    }
}
