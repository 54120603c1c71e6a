#include "editors/MFXColorWell.h"
#include "editors/MFXMatPaletteWell.h"
#include "editors/MFXMaterialDialog.h"
#include "editors/MFXMaterialWell.h"
#include "materials/MaterialPalette.h"

#include "../GuiTestApp.h"

#include <chrono>

namespace {

GLMaterial flatColour(float r, float g, float b, float a) {
    GLMaterial material;
    const float colour[4] = {r, g, b, a};
    std::copy(colour, colour + 4, material.diffuse);
    material.flat = true;
    return material;
}

class WellsTest : public GuiTest {
protected:
    MFXMaterialWell* addWell(const GLMaterial& material) {
        if (!window) window = new FXMainWindow(app, "wells", nullptr, nullptr, DECOR_ALL, 0, 0, 300, 200);
        return new MFXMaterialWell(window, material, &recorder, 1, FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT,
                                   0, 0, 64, 64);
    }
};

TEST_F(WellsTest, TextCommandsAcceptMaterialsAndACancelledDialogRestores) {
    MFXMaterialWell* well = addWell(GLMaterial::shapeDefault());
    show();
    const std::string red = flatColour(1, 0, 0, 1).text();
    struct Case {
        std::string text;
        bool accepted;
    } cases[] = {
        {red, true},
        {"7:" + red, true},                // an index prefix
        {"1:2:" + red + ":" + red, false}, // a palette text
        {red.substr(0, 34), false},        // too short
    };
    for (const Case& c : cases) {
        well->setMaterial(GLMaterial::shapeDefault());
        recorder.commands = 0;
        FXString text = c.text.c_str();
        well->handle(app, FXSEL(SEL_COMMAND, FXWindow::ID_SETSTRINGVALUE), &text);
        EXPECT_EQ(c.accepted ? red : GLMaterial::shapeDefault().text(), well->getMaterial().text()) << c.text;
        EXPECT_EQ(0, recorder.commands) << "setting a value by command does not notify";
        // A drop or paste of the same text notifies only when it was taken.
        well->setMaterial(GLMaterial::shapeDefault());
        EXPECT_EQ(c.accepted, well->setValueText(text, true)) << c.text;
        EXPECT_EQ(c.accepted ? 1 : 0, recorder.commands) << c.text;
    }
    well->setMaterial(flatColour(1, 0, 0, 1));
    FXString out;
    well->handle(app, FXSEL(SEL_COMMAND, FXWindow::ID_GETSTRINGVALUE), &out);
    EXPECT_EQ(red, out.text());

    // A cancelled dialog shows its live edits, then restores.
    well->setMaterial(GLMaterial::shapeDefault());
    recorder.commands = 0;
    std::string seenWhileOpen;
    recorder.hook = [&](FXObject*, FXSelector, void* ptr) {
        if (recorder.commands == 0) seenWhileOpen = static_cast<GLMaterial*>(ptr)->text();
    };
    whenModal<MFXMaterialDialog>([&](MFXMaterialDialog* dialog) {
        EXPECT_STREQ("Material Dialog", dialog->getTitle().text());
        dialog->setUpdateImmediately(true);
        dialog->diffuseWell()->setRGBA(FXRGBA(0, 0, 255, 255), true);
        EXPECT_EQ(1, recorder.changes);
        EXPECT_EQ(0.0f, well->getMaterial().diffuse[0]);
        EXPECT_EQ(1.0f, well->getMaterial().diffuse[2]);
        dialog->handle(app, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr);
    });
    click(well, 2);
    EXPECT_EQ("242424ff0000ffff000000ff3b3b3bff350", seenWhileOpen);
    EXPECT_EQ(GLMaterial::shapeDefault().text(), well->getMaterial().text());
    EXPECT_EQ(1, recorder.commands) << "the restored material is announced";
}

// Drags from the middle of one swatch to the middle of another with the
// messages the mouse produces, letting the X drag-and-drop protocol run
// between them (the X server relays it even within one application), and
// drops.
void dragAndDrop(FXApp* app, MFXSwatch* from, MFXSwatch* onto) {
    FXEvent event;
    event.win_x = from->getWidth() / 2;
    event.win_y = from->getHeight() / 2;
    event.click_button = LEFTBUTTON;
    event.click_count = 1;
    from->handle(app, FXSEL(SEL_LEFTBUTTONPRESS, 0), &event);
    onto->translateCoordinatesTo(event.root_x, event.root_y, app->getRootWindow(), onto->getWidth() / 2,
                                 onto->getHeight() / 2);
    event.moved = TRUE;
    from->handle(app, FXSEL(SEL_MOTION, 0), &event); // begins the drag
    from->handle(app, FXSEL(SEL_MOTION, 0), &event); // moves over the target
    for (int round = 0; round < 50 && !from->didAccept(); ++round) {
        app->flush(true);
        app->runWhileEvents();
    }
    EXPECT_EQ(DRAG_COPY, from->didAccept()) << "the target accepts the type";
    // Source and target share the application's answer, which the target
    // sets before its status message has travelled back to the source; a
    // source that has not received it drops nothing. A round trip brings it.
    app->flush(true);
    app->runWhileEvents();
    from->handle(app, FXSEL(SEL_LEFTBUTTONRELEASE, 0), &event); // FOX delivers the drop before it returns
}

TEST_F(WellsTest, DragAndDropCopiesMaterialsAndRefusesPalettes) {
    const GLMaterial red = flatColour(1, 0, 0, 1), blue = flatColour(0, 0, 1, 1);
    MFXMaterialWell* source = addWell(red);
    MFXMaterialWell* target = addWell(blue);
    MFXMatPaletteWell* palette =
        new MFXMatPaletteWell(window, nullptr, 0, FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 64);
    show();
    // Every test window is centred on the one shared display; a drag goes to
    // whichever window lies under the pointer, so this one moves to a corner
    // that the others do not reach.
    FXWindow* root = app->getRootWindow();
    window->move(root->getWidth() - window->getWidth(), root->getHeight() - window->getHeight());
    window->raise();
    settle();
    dragAndDrop(app, palette, target);
    EXPECT_EQ(blue.text(), target->getMaterial().text());
    EXPECT_EQ(0, recorder.commands);
    // The drop travels through the X server; on a busy machine it may still
    // be on its way when the release returns: a second drag is made before
    // giving up.
    for (int attempt = 0; attempt < 2 && target->getMaterial().text() != red.text(); ++attempt) {
        dragAndDrop(app, source, target);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (target->getMaterial().text() != red.text() && std::chrono::steady_clock::now() < deadline) {
            app->flush(true);
            app->runWhileEvents();
        }
    }
    EXPECT_EQ(red.text(), target->getMaterial().text());
    EXPECT_EQ(red.text(), source->getMaterial().text());
    EXPECT_EQ(1, recorder.commands) << "the target announces its new material";
}

TEST_F(WellsTest, AColourWellsDialogSessionIsOneEditEndedByOneCommand) {
    window = new FXMainWindow(app, "wells");
    auto* well = new MFXColorWell(window, FXRGB(0, 0, 0), &recorder, 1,
                                  COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    show();
    FXColor last = 0;
    recorder.hook = [&](FXObject*, FXSelector, void* ptr) {
        last = static_cast<FXColor>(reinterpret_cast<FXuval>(ptr));
    };
    // Double-clicks the well and, in its dialog, sends the well the dialog's
    // messages, then closes the dialog with OK or Cancel.
    const auto edit = [&](const std::vector<std::pair<FXuint, FXColor>>& messages, bool accept) {
        recorder.changes = recorder.commands = 0;
        whenModal<FXColorDialog>([&](FXColorDialog* dialog) {
            for (const auto& [type, colour] : messages) {
                dialog->setRGBA(colour);
                well->handle(dialog, FXSEL(type, MFXColorWell::ID_DIALOG),
                             reinterpret_cast<void*>(static_cast<FXuval>(colour)));
            }
            dialog->handle(app, FXSEL(SEL_COMMAND, accept ? FXDialogBox::ID_ACCEPT : FXDialogBox::ID_CANCEL), nullptr);
        });
        click(well, 2);
    };

    // Two drags, each released: the toolkit's dialog says SEL_COMMAND at
    // each release; the target hears of the end only once.
    edit({{SEL_CHANGED, FXRGB(10, 0, 0)},
          {SEL_COMMAND, FXRGB(20, 0, 0)},
          {SEL_CHANGED, FXRGB(30, 0, 0)},
          {SEL_COMMAND, FXRGB(40, 0, 0)}},
         true);
    EXPECT_EQ(4, recorder.changes);
    EXPECT_EQ(1, recorder.commands);
    EXPECT_EQ(FXRGB(40, 0, 0), last);
    EXPECT_EQ(FXRGB(40, 0, 0), well->getRGBA());

    // Cancel ends the edit with the old colour.
    edit({{SEL_CHANGED, FXRGB(0, 50, 0)}}, false);
    EXPECT_EQ(1, recorder.commands);
    EXPECT_EQ(FXRGB(40, 0, 0), last);
    EXPECT_EQ(FXRGB(40, 0, 0), well->getRGBA());

    // A dialog that changes nothing is no edit.
    edit({}, true);
    EXPECT_EQ(0, recorder.changes + recorder.commands);
}

} // namespace
