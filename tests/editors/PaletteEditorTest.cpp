#include "editors/MFXMatPaletteDialog.h"
#include "editors/MFXMatPaletteWell.h"
#include "editors/MFXMatPaletteWidget.h"
#include "editors/MFXMaterialDialog.h"
#include "editors/MaterialPreview.h"
#include "editors/PreviewCache.h"
#include "materials/MaterialPalette.h"
#include "materials/PaletteLibrary.h"

#include "../GuiTestApp.h"
#include "../TempDir.h"

#include <fstream>
#include <numeric>

namespace {

struct Collector : FailureReporter {
    void report(const std::string& title, const std::string&) override { titles.push_back(title); }
    std::vector<std::string> titles;
};

class PaletteEditorTest : public GuiTest {
protected:
    MFXMatPaletteWidget* addEditor() {
        window = new FXMainWindow(app, "editor", nullptr, nullptr, DECOR_ALL, 0, 0, 420, 520);
        MFXMatPaletteWidget* editor = new MFXMatPaletteWidget(window, &recorder, 1);
        editor->setFailureReporter(&failures);
        show();
        return editor;
    }
    Collector failures;
};

TEST_F(PaletteEditorTest, OperationsOnASmallSelectionUndoAndRedoAndImportsReplaceThePalette) {
    MFXMatPaletteWidget* editor = addEditor();
    const MaterialPalette original = editor->getPalette();
    editor->select(4);
    editor->select(7, SHIFTMASK);
    editor->select(6, CONTROLMASK);
    EXPECT_EQ((PaletteEdits::Selection{4, 5, 7}), editor->selection());
    editor->handle(app, FXSEL(SEL_COMMAND, MFXMatPaletteWidget::ID_REVERSE), nullptr);
    EXPECT_EQ(original[4].text(), editor->getPalette()[7].text());
    editor->handle(app, FXSEL(SEL_COMMAND, MFXMatPaletteWidget::ID_GRADIENT), nullptr);
    editor->handle(app, FXSEL(SEL_COMMAND, MFXMatPaletteWidget::ID_ROTATE), nullptr);
    EXPECT_TRUE(editor->pasteText(original[0].text()));
    EXPECT_EQ(original[0].text(), editor->getPalette()[4].text());
    EXPECT_FALSE(editor->pasteText("no palette"));
    EXPECT_EQ(4, recorder.changes);
    for (int i = 0; i < 4; ++i) editor->undoList().undo();
    EXPECT_EQ(original.fullText(), editor->getPalette().fullText());
    editor->undoList().redo();
    EXPECT_EQ(original[4].text(), editor->getPalette()[7].text());

    // An import replaces the palette; a failed one leaves it.
    TempDir dir;
    const std::string good = dir.path("red.gpl"), bad = dir.path("bad.gpl");
    std::ofstream(good) << "GIMP Palette\nName: red\nColumns: 1\n#\n255 0 0 red\n";
    std::ofstream(bad) << "GIMP Palette\n255 x 0 broken\n";
    EXPECT_TRUE(editor->importPalette(good.c_str(), 1));
    EXPECT_FLOAT_EQ(1.0f, editor->getPalette()[0].diffuse[0]);
    EXPECT_EQ(GLMaterial().text(), editor->getPalette()[1].text());
    const std::string imported = editor->getPalette().fullText();
    EXPECT_FALSE(editor->importPalette(bad.c_str(), 1));
    EXPECT_FALSE(editor->importPalette(dir.path("missing.map").c_str(), 3));
    EXPECT_EQ(imported, editor->getPalette().fullText());
    EXPECT_EQ((std::vector<std::string>{"Error on parsing GIMP palette", "Error on parsing Fractint palette"}),
              failures.titles);
}

TEST_F(PaletteEditorTest, PaletteWellTakesPaletteTextsItsDialogRestoresOnCancelAndOpensWithAUsableGrid) {
    window = new FXMainWindow(app, "well");
    MFXMatPaletteWell* well =
        new MFXMatPaletteWell(window, &recorder, 1, FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 64);
    show();
    EXPECT_FALSE(well->setValueText(GLMaterial::shapeDefault().text().c_str(), true));
    EXPECT_TRUE(well->setValueText("1:d:gradients/glossy/rainbow", true));
    EXPECT_EQ("1:d:gradients/glossy/rainbow", std::string(well->valueText().text()));
    EXPECT_TRUE(well->setValueText("", true));
    EXPECT_EQ("", std::string(well->valueText().text()));
    EXPECT_EQ(2, recorder.commands);
    recorder.commands = 0;

    const std::string old = well->getPalette().fullText();
    const int rainbow = PaletteLibrary::indexOf("gradients/glossy/rainbow");
    std::string seenWhileOpen;
    whenModal<MFXMatPaletteDialog>([&](MFXMatPaletteDialog* dialog) {
        EXPECT_STREQ("Palette Dialog", dialog->getTitle().text());
        // The check follows the flag through its update handler, and a click on it sets the flag.
        auto* check = dynamic_cast<FXCheckButton*>(findLabel(dialog, "Update View immediately"));
        ASSERT_NE(nullptr, check);
        dialog->setUpdateImmediately(true);
        settle();
        EXPECT_EQ(TRUE, check->getCheck());
        click(check);
        EXPECT_FALSE(dialog->isUpdateImmediately());
        click(check);
        EXPECT_TRUE(dialog->isUpdateImmediately());
        // Choosing a library palette in the editor reaches the swatch at once.
        dialog->getEditor()->handle(app, FXSEL(SEL_COMMAND, MFXMatPaletteWidget::ID_LIBRARY),
                                    reinterpret_cast<void*>(static_cast<FXival>(rainbow)));
        seenWhileOpen = well->getPalette().fullText();
        dialog->handle(app, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr);
    });
    click(well, 2);
    EXPECT_EQ(PaletteLibrary::palette(rainbow).fullText(), seenWhileOpen);
    EXPECT_EQ(1, recorder.changes);
    EXPECT_EQ(old, well->getPalette().fullText());
    EXPECT_EQ(1, recorder.commands) << "the restored palette is announced";

    // A dialog of its own opens with a usable grid and names the palette in use.
    MFXMatPaletteDialog dialog(window);
    dialog.setPalette(PaletteLibrary::palette(rainbow));
    dialog.create();
    dialog.show(PLACEMENT_SCREEN);
    settle();
    // Every entry of the 16 x 16 grid at least 20 pixels square.
    FXWindow* grid = dialog.getEditor()->getFirst()->getNext()->getNext();
    ASSERT_NE(nullptr, dynamic_cast<FXCanvas*>(grid));
    EXPECT_GE(grid->getWidth(), 16 * 20);
    EXPECT_GE(grid->getHeight(), 16 * 20);

    FXListBox* chooser = dialog.getEditor()->getLibraryChooser();
    EXPECT_STREQ("gradients/glossy/rainbow", chooser->getItemText(chooser->getCurrentItem()).text());
    MaterialPalette edited = PaletteLibrary::palette(rainbow);
    edited[3] = GLMaterial::shapeDefault();
    dialog.setPalette(edited);
    EXPECT_STREQ("Custom palette", chooser->getItemText(chooser->getCurrentItem()).text());
    // Undo of a library choice names the palette it returns to.
    dialog.getEditor()->handle(app, FXSEL(SEL_COMMAND, MFXMatPaletteWidget::ID_LIBRARY),
                               reinterpret_cast<void*>(static_cast<FXival>(rainbow)));
    EXPECT_STREQ("gradients/glossy/rainbow", chooser->getItemText(chooser->getCurrentItem()).text());
    dialog.getEditor()->undoList().undo();
    EXPECT_STREQ("Custom palette", chooser->getItemText(chooser->getCurrentItem()).text());
    dialog.hide();
}

TEST_F(PaletteEditorTest, DoubleClickedEntryIsEditedInTheMaterialDialog) {
    MFXMatPaletteWidget* editor = addEditor();
    FXWindow* grid = editor->getFirst()->getNext()->getNext();
    ASSERT_NE(nullptr, dynamic_cast<FXCanvas*>(grid));
    const MaterialPalette original = editor->getPalette();
    const int column = 3, row = 5, entry = row * 16 + column;
    for (const bool accept : {true, false}) {
        recorder.changes = 0;
        std::string liveEntry;
        whenModal<MFXMaterialDialog>([&](MFXMaterialDialog* dialog) {
            EXPECT_EQ(original[entry].text(), dialog->getMaterial().text());
            dialog->setUpdateImmediately(true);
            dialog->diffuseWell()->setRGBA(FXRGBA(0, 255, 0, 255), true);
            liveEntry = editor->getPalette()[entry].text();
            dialog->handle(app, FXSEL(SEL_COMMAND, accept ? FXDialogBox::ID_ACCEPT : FXDialogBox::ID_CANCEL), nullptr);
        });
        click(grid, 2, (2 * column + 1) * grid->getWidth() / 32, (2 * row + 1) * grid->getHeight() / 32);
        EXPECT_EQ(2, recorder.changes) << "the live edit and the outcome are announced";
        GLMaterial live;
        live.read(liveEntry);
        EXPECT_FLOAT_EQ(1.0f, live.diffuse[1]) << "the live edit shows in the grid";
        if (accept) {
            EXPECT_FLOAT_EQ(1.0f, editor->getPalette()[entry].diffuse[1]);
            editor->undoList().undo();
        }
        EXPECT_EQ(original.fullText(), editor->getPalette().fullText()) << (accept ? "undone" : "cancelled");
    }
}

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
