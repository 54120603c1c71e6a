#include "GuiFixture.h"

#include "../TempDir.h"
#include "editors/MFXMatPaletteWell.h"
#include "editors/MFXMatPaletteWidget.h"

#include <fstream>

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
        return editor;
    }
    Recorder recorder;
    Collector failures;
};

TEST_F(PaletteEditorTest, OperationsOnASmallSelectionUndoAndRedo) {
    MFXMatPaletteWidget* editor = addEditor();
    show();
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
}

TEST_F(PaletteEditorTest, ImportReplacesThePaletteAndAFailedOneLeavesIt) {
    TempDir dir;
    const std::string good = dir.path("red.gpl"), bad = dir.path("bad.gpl");
    std::ofstream(good) << "GIMP Palette\nName: red\nColumns: 1\n#\n255 0 0 red\n";
    std::ofstream(bad) << "GIMP Palette\n255 x 0 broken\n";
    MFXMatPaletteWidget* editor = addEditor();
    show();
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

TEST_F(PaletteEditorTest, PaletteWellTakesPaletteTextsOnly) {
    window = new FXMainWindow(app, "well");
    MFXMatPaletteWell* well = new MFXMatPaletteWell(
        window, &recorder, 1, FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 200, 200);
    show();
    EXPECT_FALSE(well->setValueText(GLMaterial::shapeDefault().text().c_str(), true));
    EXPECT_TRUE(well->setValueText("1:d:gradients/glossy/rainbow", true));
    EXPECT_EQ("1:d:gradients/glossy/rainbow", std::string(well->valueText().text()));
    EXPECT_TRUE(well->setValueText("", true));
    EXPECT_EQ("", std::string(well->valueText().text()));
    EXPECT_EQ(2, recorder.commands);
}

} // namespace
