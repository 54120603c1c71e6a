#include "gui/ExportDialogs.h"
#include "gui/FractintEntryDialog.h"
#include "gui/MFXExportImageSizeDialog.h"
#include "lsys/LSystemDefinition.h"
#include "lsys/String2IDManager.h"
#include "workbench/ImageWriter.h"
#include "workbench/Workbench.h"

#include "../GuiTestApp.h"
#include "../TempDir.h"

#include <algorithm>
#include <osgDB/ReadFile>
#include <sstream>

namespace {

TEST(ExportFileName, KeepsOfferedExtensionsAndAppendsTheCurrentPatternsOtherwise) {
    const char* const jpeg = "JPEG  (*.jpg,*.jpeg)";
    const struct {
        const char *chosen, *list, *pattern, *expected;
    } cases[] = {
        {"/tmp/tree.png", imagePatternList, "*.bmp", "/tmp/tree.png"}, // offered: kept whatever the pattern
        {"/tmp/my.dir/tree", imagePatternList, "*.png", "/tmp/my.dir/tree.png"},
        {"/tmp/tree.pn", imagePatternList, "*.png", "/tmp/tree.pn.png"}, // a prefix of an offered one is not offered
        // A pattern list entry with several patterns: "*.ext," also counts.
        {"a.jpeg", jpeg, "*.jpg,*.jpeg", "a.jpeg"},
        {"a", jpeg, "*.jpg,*.jpeg", "a.jpg"},
    };
    for (const auto& c : cases) EXPECT_EQ(exportFileName(c.chosen, c.list, c.pattern), c.expected) << c.chosen;
}

// Every offered format is really written, images with alpha except JPEG.
TEST(OfferedFormats, EveryImageAndObjectFormatIsWritten) {
    const auto extensions = [](const std::string& patterns) {
        std::vector<std::string> found;
        for (std::size_t at = patterns.find("*."); at != std::string::npos; at = patterns.find("*.", at + 1))
            found.push_back(patterns.substr(at + 2, patterns.find_first_of("),", at) - at - 2));
        return found;
    };
    TempDir dir;
    for (const std::string& extension : extensions(imagePatternList)) {
        // A drawing is no rendered picture: the drawing's own test writes it.
        if (extension == "svg") continue;
        // The view renders JPEG images without alpha, as the JPEG writer wants them.
        osg::ref_ptr<osg::Image> image = new osg::Image;
        const GLenum format = extension == "jpg" ? GL_RGB : GL_RGBA;
        image->allocateImage(40, 30, 1, format, GL_UNSIGNED_BYTE);
        std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), 128);
        EXPECT_EQ("", writeImage(*image, dir.path("tree." + extension))) << extension;
    }

    // Objects are written readably.
    String2IDManager::instance().registerBuiltins();
    Workbench workbench{FailureReporter::standardError()};
    dir.write("plant.kld", "Axiom:F\nRule::::F::F[+F]F\nDef:_steps:2\n"
                           "ShapeDef:F visible=1, interpreted=1, type=tube, length=10, width=2\n");
    std::ostringstream messages;
    tov::ReportingErrorHandler errors(messages);
    ASSERT_TRUE(workbench.load(dir.path("plant.kld"), errors)) << messages.str();
    ASSERT_TRUE(workbench.recompute(errors)) << messages.str();
    for (const std::string& extension : extensions(objectPatternList)) {
        const std::string file = dir.path("tree." + extension);
        ASSERT_TRUE(workbench.exportObject(file)) << extension;
        // The scene-graph library reads no glTF; the workbench's tests read it back.
        const bool gltf = extension == "glb" || extension == "gltf";
        EXPECT_TRUE(gltf || osgDB::readRefNodeFile(file).valid()) << extension;
    }
}

TEST(ExportDialogs, ArePresetFromTheSettingsAndStoreTheChoiceAndTheFolderAlsoWhenItsPathWasTyped) {
    FXMainWindow owner(guiApp(), "owner");
    owner.create();
    FXRegistry settings("klado-export-test", "TOVA-test");
    int width = 0, height = 0, presetWidth = 0, presetHeight = 0;
    whenModal<MFXExportImageSizeDialog>([&](MFXExportImageSizeDialog* dialog) {
        presetWidth = dialog->imageWidth();
        presetHeight = dialog->imageHeight();
        dialog->setImageSize(2000, 0); // below the smallest size
        dialog->handle(dialog, FXSEL(SEL_COMMAND, FXDialogBox::ID_ACCEPT), nullptr);
    });
    ASSERT_TRUE(askImageSize(&owner, settings, width, height));
    EXPECT_EQ(std::make_pair(presetWidth, presetHeight), std::make_pair(600, 400));
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(2000, 1));
    EXPECT_EQ(settings.readIntEntry("ImgExport", "imgwidth", 0), 2000);
    EXPECT_EQ(settings.readIntEntry("ImgExport", "imgheight", 0), 1);

    TempDir dir;
    settings.writeStringEntry("SETTINGS", "objdir", "");
    std::string opened;
    // Notes the folder the dialog opens in, and types a whole path into the
    // name field, wherever the dialog is, or cancels.
    const auto answer = [&](bool accept) {
        whenModal<FXFileDialog>([&, accept](FXFileDialog* dialog) {
            opened = dialog->getDirectory().text();
            dialog->setFilename(dir.path("plant.osgb").c_str());
            dialog->handle(dialog, FXSEL(SEL_COMMAND, accept ? FXDialogBox::ID_ACCEPT : FXDialogBox::ID_CANCEL),
                           nullptr);
        });
    };
    std::string fileName;
    answer(true);
    ASSERT_TRUE(askObjectExport(&owner, settings, fileName));
    EXPECT_EQ(fileName, dir.path("plant.osgb"));
    EXPECT_STREQ(settings.readStringEntry("SETTINGS", "objdir", ""), FXPath::directory(fileName.c_str()).text());

    // The next dialog opens there.
    answer(false);
    EXPECT_FALSE(askObjectExport(&owner, settings, fileName));
    EXPECT_EQ(opened, dir.path(""));
}

TEST(FractintEntryDialog, OpensTheChosenEntryOrSaysWhatCannotBeOpened) {
    FXMainWindow window(guiApp(), "test");
    window.create();
    TempDir dir;
    dir.write("curves.l", "Koch { angle 6\n axiom F--F--F\n F=F+F--F+F\n}\n"
                          "Dragon { angle 4\n axiom FX\n X=X+YF+\n Y=-FX-Y\n}\n"
                          "Bad { angle 2\n axiom F\n}\n");
    std::string message;
    // Opens the file, choosing the entry (cancelling for -1), and answers
    // the message box that follows, whose text is kept.
    const auto open = [&](int entry, const std::string& file = "curves.l") {
        bool done = false;
        Poller answer([&] {
            FXWindow* modal = guiApp()->getModalWindow();
            if (auto* dialog = dynamic_cast<FractintEntryDialog*>(modal)) {
                dialog->choose(entry);
                dialog->handle(dialog, FXSEL(SEL_COMMAND, entry < 0 ? FXDialogBox::ID_CANCEL : FXDialogBox::ID_ACCEPT),
                               nullptr);
                return false; // a message box may follow
            }
            if (auto* box = dynamic_cast<FXMessageBox*>(modal)) {
                message = box->getTitle().text();
                box->handle(box, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
                return true;
            }
            return !modal && done;
        });
        message.clear();
        std::unique_ptr<LSystemDefinition> result = FractintEntryDialog::open(&window, dir.path(file));
        done = true;
        runUntil([&] { return !guiApp()->getModalWindow(); });
        return result;
    };

    std::unique_ptr<LSystemDefinition> dragon = open(1);
    ASSERT_TRUE(dragon);
    EXPECT_EQ("Dragon", dragon->getName());
    EXPECT_EQ("FX", dragon->getAxiom());
    EXPECT_EQ("", message);
    EXPECT_FALSE(open(-1));
    EXPECT_FALSE(open(2));
    EXPECT_EQ("Error(s) on parsing", message);
    EXPECT_FALSE(open(0, "missing.l"));
    EXPECT_EQ("Error on loading file", message);
}

} // namespace
