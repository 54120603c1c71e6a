#include "gui/WindowIcons.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// Pixels of this colour are transparent in the icons.
constexpr FXColor clearKey = FXRGB(255, 0, 255);

// Draws shapes given on a 16 × 16 grid into a square pixel buffer of any
// size; a pixel takes a shape's colour when its centre lies inside it.
class Painter {
public:
    explicit Painter(int size) : mySize(size), myScale(size / 16.0), myPixels(size * size, clearKey) {}

    void rect(double x0, double y0, double x1, double y1, FXColor colour) {
        fill(colour, [=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; });
    }
    void ellipse(double cx, double cy, double rx, double ry, FXColor colour) {
        fill(colour, [=](double x, double y) {
            const double dx = (x - cx) / rx, dy = (y - cy) / ry;
            return dx * dx + dy * dy <= 1.0;
        });
    }
    void disc(double cx, double cy, double r, FXColor colour) { ellipse(cx, cy, r, r, colour); }
    // A ring of the given width between the angles (degrees, counter-clockwise
    // from +x with y pointing down the picture).
    void arc(double cx, double cy, double r, double width, double from, double to, FXColor colour) {
        fill(colour, [=](double x, double y) {
            const double distance = std::hypot(x - cx, y - cy);
            if (std::fabs(distance - r) > width / 2.0) return false;
            double angle = std::atan2(cy - y, x - cx) * 180.0 / M_PI;
            while (angle < from) angle += 360.0;
            return angle <= to;
        });
    }
    void line(double x0, double y0, double x1, double y1, double width, FXColor colour) {
        fill(colour, [=](double x, double y) {
            const double dx = x1 - x0, dy = y1 - y0;
            const double length2 = dx * dx + dy * dy;
            double t = length2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2.0;
        });
    }
    void polygon(std::initializer_list<std::pair<double, double>> corners, FXColor colour) {
        const std::vector<std::pair<double, double>> points(corners);
        fill(colour, [&](double x, double y) {
            bool inside = false;
            for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const auto [xi, yi] = points[i];
                const auto [xj, yj] = points[j];
                if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
            }
            return inside;
        });
    }
    void outline(std::initializer_list<std::pair<double, double>> corners, double width, FXColor colour) {
        const std::vector<std::pair<double, double>> points(corners);
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto& a = points[i];
            const auto& b = points[(i + 1) % points.size()];
            line(a.first, a.second, b.first, b.second, width, colour);
        }
    }

    const std::vector<FXColor>& pixels() const { return myPixels; }

    FXIcon* icon(FXApp* app) const {
        FXColor* data = nullptr;
        FXMALLOC(&data, FXColor, myPixels.size());
        std::copy(myPixels.begin(), myPixels.end(), data);
        return new FXIcon(app, data, clearKey, IMAGE_OWNED | IMAGE_KEEP | IMAGE_ALPHACOLOR, mySize, mySize);
    }

private:
    template <class Inside>
    void fill(FXColor colour, Inside inside) {
        for (int row = 0; row < mySize; ++row)
            for (int column = 0; column < mySize; ++column)
                if (inside((column + 0.5) / myScale, (row + 0.5) / myScale)) myPixels[row * mySize + column] = colour;
    }

    int mySize;
    double myScale;
    std::vector<FXColor> myPixels;
};

const FXColor ink = FXRGB(40, 40, 48);
const FXColor white = FXRGB(255, 255, 255);

void drawFloppy(Painter& p, double size) {
    const double k = size / 12.0;
    p.rect(2, 2, 2 + 12 * k, 2 + 12 * k, FXRGB(40, 80, 160));
    p.rect(2 + 2 * k, 2, 2 + 10 * k, 2 + 5 * k, white);
    p.rect(2 + 3 * k, 2 + 8 * k, 2 + 9 * k, 2 + 12 * k, FXRGB(190, 190, 200));
    p.rect(2 + 6.5 * k, 2 + 9 * k, 2 + 8 * k, 2 + 11.5 * k, FXRGB(40, 80, 160));
}

void drawCurvedArrow(Painter& p, bool left) {
    const FXColor colour = FXRGB(30, 110, 190);
    // A three-quarter arc over the top with the arrow head at its lower end.
    if (left) {
        p.arc(8.5, 9, 4.5, 2.2, -60, 180, colour);
        p.polygon({{0.5, 8}, {8, 8}, {4, 13.5}}, colour);
    } else {
        p.arc(7.5, 9, 4.5, 2.2, 0, 240, colour);
        p.polygon({{15.5, 8}, {8, 8}, {12, 13.5}}, colour);
    }
}

void drawPlant(Painter& p) {
    const FXColor wood = FXRGB(120, 80, 40);
    const FXColor leaf = FXRGB(50, 150, 60);
    p.line(8, 15, 8, 4, 1.6, wood);
    p.line(8, 10, 3.5, 6, 1.2, wood);
    p.line(8, 8, 12.5, 4.5, 1.2, wood);
    p.disc(3.5, 5.5, 2.2, leaf);
    p.disc(12.5, 4, 2.2, leaf);
    p.disc(8, 3, 2.4, FXRGB(70, 175, 70));
}

} // namespace

WindowIcons::WindowIcons(FXApp* app) {
    const auto make = [&](Id id, int size, auto draw) {
        Painter painter(size);
        draw(painter);
        myIcons[id] = painter.icon(app);
    };
    make(Open, 16, [](Painter& p) {
        p.polygon({{1, 3}, {6, 3}, {7.5, 5}, {14, 5}, {14, 14}, {1, 14}}, FXRGB(200, 150, 40));
        p.polygon({{1, 14}, {3.5, 7.5}, {15.5, 7.5}, {13.5, 14}}, FXRGB(250, 210, 90));
        p.outline({{1, 14}, {3.5, 7.5}, {15.5, 7.5}, {13.5, 14}}, 0.8, FXRGB(150, 100, 20));
    });
    make(Save, 16, [](Painter& p) { drawFloppy(p, 12); });
    make(SaveAs, 16, [](Painter& p) {
        drawFloppy(p, 9);
        p.line(7.5, 14, 14, 6.5, 2.6, FXRGB(240, 150, 40));
        p.line(13, 7.5, 14.5, 5.8, 2.6, FXRGB(230, 90, 90));
        p.polygon({{6, 15.5}, {6.8, 12.4}, {9, 14.6}}, ink);
    });
    make(ExportImage, 16, [](Painter& p) {
        p.rect(1, 2, 15, 14, ink);
        p.rect(2, 3, 14, 13, FXRGB(150, 200, 245));
        p.disc(11, 6, 1.8, FXRGB(250, 210, 50));
        p.polygon({{2, 13}, {6, 7}, {9, 11}, {11, 9.5}, {14, 13}}, FXRGB(60, 150, 70));
    });
    make(ExportObject, 16, [](Painter& p) {
        p.polygon({{8, 1.5}, {14.5, 4.5}, {8, 7.5}, {1.5, 4.5}}, FXRGB(150, 190, 240));
        p.polygon({{1.5, 4.5}, {8, 7.5}, {8, 15}, {1.5, 12}}, FXRGB(60, 110, 190));
        p.polygon({{8, 7.5}, {14.5, 4.5}, {14.5, 12}, {8, 15}}, FXRGB(30, 70, 140));
    });
    make(Compute, 16, [](Painter& p) {
        p.disc(8, 8, 7, FXRGB(40, 150, 60));
        p.polygon({{6, 4}, {12, 8}, {6, 12}}, white);
    });
    make(Undo, 16, [](Painter& p) { drawCurvedArrow(p, true); });
    make(Redo, 16, [](Painter& p) { drawCurvedArrow(p, false); });
    make(CenterView, 16, [](Painter& p) {
        const FXColor red = FXRGB(200, 40, 40);
        p.arc(8, 8, 5, 1.4, 0, 360, red);
        p.line(8, 0.5, 8, 5, 1.4, ink);
        p.line(8, 11, 8, 15.5, 1.4, ink);
        p.line(0.5, 8, 5, 8, 1.4, ink);
        p.line(11, 8, 15.5, 8, 1.4, ink);
        p.disc(8, 8, 1.5, red);
    });
    make(TabDefinition, 16, [](Painter& p) {
        // The rewriting of one branch into three.
        const FXColor wood = FXRGB(120, 80, 40);
        p.line(3, 14, 3, 4, 1.6, wood);
        p.polygon({{5.5, 7}, {8.5, 9}, {5.5, 11}}, ink);
        p.line(12, 15, 12, 3, 1.6, wood);
        p.line(12, 10, 9.5, 6.5, 1.3, wood);
        p.line(12, 8, 14.5, 4.5, 1.3, wood);
    });
    make(TabExtensions, 16, [](Painter& p) {
        p.rect(1, 2, 15, 14, ink);
        p.rect(2, 3, 14, 13, white);
        p.rect(2, 3, 14, 5, FXRGB(170, 190, 220));
        for (double y : {7.5, 10.5}) p.line(2, y, 14, y, 0.8, FXRGB(150, 150, 150));
        p.line(6, 3, 6, 13, 0.8, ink);
    });
    make(TabShaping, 16, [](Painter& p) {
        const FXColor side = FXRGB(110, 150, 110);
        p.rect(4, 4, 12, 13, side);
        p.ellipse(8, 13, 4, 1.8, side);
        p.ellipse(8, 4, 4, 1.8, FXRGB(170, 210, 170));
        p.line(4, 4, 4, 13, 0.8, ink);
        p.line(12, 4, 12, 13, 0.8, ink);
    });
    make(TabColoring, 16, [](Painter& p) {
        p.disc(5, 5, 3.2, FXRGB(220, 50, 50));
        p.disc(11, 5, 3.2, FXRGB(250, 200, 40));
        p.disc(5, 11, 3.2, FXRGB(50, 110, 220));
        p.disc(11, 11, 3.2, FXRGB(60, 170, 70));
    });
    make(TabTweaks, 16, [](Painter& p) {
        // A stem bent by a pull to one side.
        const FXColor wood = FXRGB(120, 80, 40);
        p.arc(14, 15, 10, 1.6, 90, 180, wood);
        p.line(14, 5, 14, 11, 1.2, FXRGB(200, 40, 40));
        p.polygon({{11.5, 10}, {16, 10}, {13.8, 14}}, FXRGB(200, 40, 40));
    });
    make(TabEnvironment, 16, [](Painter& p) {
        const FXColor sun = FXRGB(245, 180, 30);
        for (int i = 0; i < 8; ++i) {
            const double angle = i * M_PI / 4.0;
            p.line(8 + 4.5 * std::cos(angle), 8 + 4.5 * std::sin(angle), 8 + 7 * std::cos(angle),
                   8 + 7 * std::sin(angle), 1.3, sun);
        }
        p.disc(8, 8, 3.5, FXRGB(250, 215, 60));
    });
    make(TabStatistics, 16, [](Painter& p) {
        p.rect(2, 9, 5, 14, FXRGB(60, 110, 190));
        p.rect(6.5, 4, 9.5, 14, FXRGB(200, 70, 60));
        p.rect(11, 7, 14, 14, FXRGB(60, 160, 80));
        p.line(1, 14.5, 15, 14.5, 1, ink);
    });
    make(TabSymbolHelp, 16, [](Painter& p) {
        p.disc(8, 8, 7, FXRGB(40, 90, 180));
        p.arc(8, 6, 2.5, 1.6, -90, 180, white);
        p.line(8, 8.5, 8, 10, 1.6, white);
        p.disc(8, 12.3, 1, white);
    });
    make(Program, 16, drawPlant);
    make(ProgramLarge, 48, drawPlant);
}

WindowIcons::~WindowIcons() {
    for (FXIcon* icon : myIcons) delete icon;
}

void WindowIcons::create() {
    for (FXIcon* icon : myIcons) icon->create();
}

std::vector<FXColor> WindowIcons::programPicture(int size) {
    // Drawn four times as large; each pixel averages its 4 × 4 samples, the
    // colours weighted by their coverage.
    constexpr int samples = 4;
    Painter painter(size * samples);
    drawPlant(painter);
    const std::vector<FXColor>& large = painter.pixels();
    std::vector<FXColor> picture(static_cast<std::size_t>(size) * size);
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column) {
            int red = 0, green = 0, blue = 0, covered = 0;
            for (int y = 0; y < samples; ++y)
                for (int x = 0; x < samples; ++x) {
                    const FXColor colour = large[(row * samples + y) * size * samples + column * samples + x];
                    if (colour == clearKey) continue;
                    red += FXREDVAL(colour);
                    green += FXGREENVAL(colour);
                    blue += FXBLUEVAL(colour);
                    ++covered;
                }
            const auto mean = [covered](int sum) { return static_cast<FXuchar>(covered ? sum / covered : 0); };
            picture[row * size + column] =
                FXRGBA(mean(red), mean(green), mean(blue), covered * 255 / (samples * samples));
        }
    return picture;
}
