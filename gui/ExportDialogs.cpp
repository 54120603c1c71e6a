#include "gui/ExportDialogs.h"

#include "gui/MFXExportImageSizeDialog.h"

#include <sys/stat.h>

const char* const imagePatternList = "BMP-Image  (*.bmp)\n"
                                     "PNG-Image  (*.png)\n"
                                     "JPEG-Image  (*.jpg)\n"
                                     "TIFF-Image  (*.tif)\n"
                                     "GIF-Image  (*.gif)\n"
                                     "TARGA-Image  (*.tga)\n"
                                     "PCX-Image  (*.pcx)\n"
                                     "XPM-Image  (*.xpm)\n"
                                     "ICO-Image  (*.ico)\n"
                                     "SGI-Image  (*.rgb)\n"
                                     "SVG drawing  (*.svg)";

const char* const objectPatternList = "glTF binary  (*.glb)\n"
                                      "glTF  (*.gltf)\n"
                                      "OpenSceneGraph binary  (*.osgb)\n"
                                      "OpenSceneGraph text  (*.osgt)\n"
                                      "OpenSceneGraph  (*.osg)\n"
                                      "Inventor binary  (*.ive)\n"
                                      "Wavefront OBJ  (*.obj)\n"
                                      "3D Studio  (*.3ds)\n"
                                      "Stereolithography  (*.stl)";

namespace {

// What follows the last "." of the text (only the part before a "," when the
// text is a list of patterns); empty without a ".".
std::string extensionOf(const std::string& text) {
    const std::string first = text.substr(0, text.find(','));
    const std::size_t dot = first.rfind('.');
    return dot == std::string::npos ? std::string() : first.substr(dot + 1);
}

bool exists(const std::string& fileName) {
    struct stat status;
    return ::stat(fileName.c_str(), &status) == 0;
}

// Runs a file dialog; false when cancelled. A chosen name is completed by
// exportFileName and confirmed when the file exists.
bool askFileName(FXWindow* owner, const char* title, const char* patterns, FXint& patternIndex, FXString& directory,
                 std::string& fileName) {
    FXFileDialog dialog(owner, title, 0, 0, 0, 500, 300);
    dialog.setSelectMode(SELECTFILE_ANY);
    dialog.setPatternList(patterns);
    dialog.setCurrentPattern(patternIndex);
    if (!directory.empty()) dialog.setDirectory(directory);
    if (!dialog.execute(PLACEMENT_CURSOR)) return false;
    fileName = exportFileName(dialog.getFilename().text(), patterns, dialog.getPattern().text());
    if (exists(fileName) && FXMessageBox::question(owner, MBOX_YES_NO, "File Exists", "Overwrite '%s'?",
                                                   fileName.c_str()) != MBOX_CLICKED_YES)
        return false;
    patternIndex = dialog.getCurrentPattern();
    // Where the file went, also when its path was typed into the name field.
    directory = FXPath::directory(fileName.c_str());
    return true;
}

} // namespace

std::string exportFileName(const std::string& chosen, const std::string& patternList,
                           const std::string& currentPattern) {
    const std::size_t slash = chosen.rfind('/');
    const std::string filePart = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
    const std::size_t dot = filePart.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : filePart.substr(dot + 1);
    if (!extension.empty() && (patternList.find("*." + extension + ")") != std::string::npos ||
                               patternList.find("*." + extension + ",") != std::string::npos))
        return chosen;
    return chosen + "." + extensionOf(currentPattern);
}

bool askImageExport(FXWindow* owner, FXRegistry& settings, std::string& fileName, int& width, int& height) {
    FXint patternIndex = settings.readIntEntry("ImgExport", "imgtype", 0);
    FXString directory = settings.readStringEntry("ImgExport", "imgdir", "");
    if (!askFileName(owner, "Export Image", imagePatternList, patternIndex, directory, fileName)) return false;
    settings.writeIntEntry("ImgExport", "imgtype", patternIndex);
    settings.writeStringEntry("ImgExport", "imgdir", directory.text());
    return askImageSize(owner, settings, width, height);
}

bool askImageSize(FXWindow* owner, FXRegistry& settings, int& width, int& height) {
    MFXExportImageSizeDialog dialog(owner, settings.readIntEntry("ImgExport", "imgwidth", 600),
                                    settings.readIntEntry("ImgExport", "imgheight", 400));
    if (!dialog.execute(PLACEMENT_OWNER)) return false;
    width = dialog.imageWidth();
    height = dialog.imageHeight();
    settings.writeIntEntry("ImgExport", "imgwidth", width);
    settings.writeIntEntry("ImgExport", "imgheight", height);
    return true;
}

bool askObjectExport(FXWindow* owner, FXRegistry& settings, std::string& fileName) {
    FXint patternIndex = 0;
    FXString directory = settings.readStringEntry("SETTINGS", "objdir", "");
    if (!askFileName(owner, "Export Object", objectPatternList, patternIndex, directory, fileName)) return false;
    settings.writeStringEntry("SETTINGS", "objdir", directory.text());
    return true;
}
