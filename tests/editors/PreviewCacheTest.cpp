#include "../GuiTestApp.h"

#include "editors/MaterialPreview.h"
#include "editors/PreviewCache.h"
#include "materials/MaterialPalette.h"
#include "materials/PaletteLibrary.h"

#include <numeric>

namespace {

class PreviewCacheTest : public GuiTest {
protected:
    // The grid as drawn directly, every cell in one pass, without a cache.
    static std::vector<FXColor> directGrid(const MaterialPalette& palette, bool enabled, int width, int height) {
        std::vector<int> all(MaterialPalette::size);
        std::iota(all.begin(), all.end(), 0);
        std::vector<FXColor> pixels;
        OffscreenPreview::render(
            guiApp(), width, height, [&](int w, int h) { drawPaletteCells(palette, all, enabled, w, h); }, pixels);
        return pixels;
    }
};

GLMaterial fresh(float green) {
    GLMaterial material;
    material.diffuse[1] = green;
    material.shininess = 7.5f;
    return material;
}

TEST_F(PreviewCacheTest, ComposedGridEqualsTheDirectDrawingAndRendersOnlyChangedEntries) {
    struct Case {
        int width, height;
        bool enabled;
        const char* palette;
    };
    const Case cases[] = {{160, 160, true, "default"},
                          {203, 187, true, "gradients/glossy/rainbow"},
                          {96, 80, false, "default"},
                          {12, 9, true, "default"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " " << c.palette);
        MaterialPalette palette = PaletteLibrary::palette(PaletteLibrary::indexOf(c.palette));
        PreviewCache cache;
        std::vector<FXColor> pixels;
        ASSERT_TRUE(cache.paletteGrid(app, palette, c.enabled, c.width, c.height, pixels));
        EXPECT_GT(cache.renderedLastTime(), 0);
        EXPECT_EQ(directGrid(palette, c.enabled, c.width, c.height), pixels);

        ASSERT_TRUE(cache.paletteGrid(app, palette, c.enabled, c.width, c.height, pixels));
        EXPECT_EQ(0, cache.renderedLastTime()) << "an unchanged palette renders nothing";

        palette[37] = fresh(0.5f);
        palette[200] = fresh(0.5f);
        ASSERT_TRUE(cache.paletteGrid(app, palette, c.enabled, c.width, c.height, pixels));
        EXPECT_LE(cache.renderedLastTime(), 2);
        EXPECT_GE(cache.renderedLastTime(), 1);
        EXPECT_EQ(directGrid(palette, c.enabled, c.width, c.height), pixels);
    }
}

} // namespace
