#include "editors/MFXMaterialDialog.h"

#include "editors/MaterialPreview.h"
#include "editors/NamedMaterials.h"
#include "materials/MaterialFiles.h"

#include <FXGLCanvas.h>
#include <FXGLVisual.h>

#include <cstring>

// clang-format off
FXDEFMAP(MFXMaterialDialog) MFXMaterialDialogMap[] = {
    FXMAPFUNC(SEL_COMMAND, MFXMaterialDialog::ID_COLOR, MFXMaterialDialog::onCmdColor),
    FXMAPFUNC(SEL_CHANGED, MFXMaterialDialog::ID_COLOR, MFXMaterialDialog::onCmdColor),
    FXMAPFUNC(SEL_COMMAND, MFXMaterialDialog::ID_SHININESS, MFXMaterialDialog::onCmdColor),
    FXMAPFUNC(SEL_CHANGED, MFXMaterialDialog::ID_SHININESS, MFXMaterialDialog::onCmdColor),
    FXMAPFUNC(SEL_COMMAND, MFXMaterialDialog::ID_FLAT, MFXMaterialDialog::onCmdColor),
    FXMAPFUNC(SEL_PAINT, MFXMaterialDialog::ID_PREVIEW, MFXMaterialDialog::onPaintPreview),
    FXMAPFUNC(SEL_COMMAND, MFXMaterialDialog::ID_LOAD, MFXMaterialDialog::onCmdLoad),
    FXMAPFUNC(SEL_COMMAND, MFXMaterialDialog::ID_SAVE, MFXMaterialDialog::onCmdSave),
    FXMAPFUNC(SEL_COMMAND, MFXMaterialDialog::ID_LIST, MFXMaterialDialog::onCmdList),
};
// clang-format on

FXIMPLEMENT(MFXMaterialDialog, MFXEditingDialog, MFXMaterialDialogMap, ARRAYNUMBER(MFXMaterialDialogMap))

namespace {

FXColor toColor(const float c[4]) {
    auto byte = [](float v) { return static_cast<FXuchar>(FXCLAMP(0, static_cast<int>(v * 255.0f + 0.5f), 255)); };
    return FXRGBA(byte(c[0]), byte(c[1]), byte(c[2]), byte(c[3]));
}

void fromColor(FXColor color, float c[4]) {
    c[0] = FXREDVAL(color) / 255.0f;
    c[1] = FXGREENVAL(color) / 255.0f;
    c[2] = FXBLUEVAL(color) / 255.0f;
    c[3] = FXALPHAVAL(color) / 255.0f;
}

FXColorWell* colorRow(FXMatrix* matrix, const char* label, FXObject* target) {
    new FXLabel(matrix, label, nullptr, LAYOUT_CENTER_Y);
    return new FXColorWell(matrix, 0, target, MFXMaterialDialog::ID_COLOR,
                           COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 48, 24);
}

} // namespace

MFXMaterialDialog::MFXMaterialDialog(FXWindow* owner, const FXString& title, FXObject* target, FXSelector selector)
    : MFXEditingDialog(owner, title, target, selector) {
    visual = new FXGLVisual(getApp(), VISUAL_DOUBLEBUFFER);

    FXVerticalFrame* contents = new FXVerticalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXTabBook* tabs = new FXTabBook(contents, nullptr, 0, LAYOUT_FILL_X | LAYOUT_FILL_Y);

    new FXTabItem(tabs, "Definition");
    FXHorizontalFrame* definition = new FXHorizontalFrame(tabs, FRAME_THICK | FRAME_RAISED);
    FXMatrix* matrix = new FXMatrix(definition, 2, MATRIX_BY_COLUMNS | LAYOUT_TOP);
    new FXLabel(matrix, "Diffuse Color:", nullptr, LAYOUT_CENTER_Y);
    FXHorizontalFrame* diffuseRow = new FXHorizontalFrame(matrix, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    diffuse = new FXColorWell(diffuseRow, 0, this, ID_COLOR, COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0,
                              0, 48, 24);
    flat = new FXCheckButton(diffuseRow, "Flat", this, ID_FLAT, CHECKBUTTON_NORMAL | LAYOUT_CENTER_Y);
    ambient = colorRow(matrix, "Ambient Color:", this);
    specular = colorRow(matrix, "Specular Color:", this);
    emission = colorRow(matrix, "Emission Color:", this);
    new FXLabel(matrix, "Shinyness: ", nullptr, LAYOUT_CENTER_Y);
    shininess = new FXRealSpinner(matrix, 6, this, ID_SHININESS, REALSPIN_NORMAL | FRAME_SUNKEN | FRAME_THICK);
    shininess->setRange(0.0, 255.0);
    shininess->setIncrement(1.0);

    FXVerticalFrame* previewColumn = new FXVerticalFrame(definition, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXVerticalFrame* previewFrame = new FXVerticalFrame(
        previewColumn, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    preview = new FXGLCanvas(previewFrame, visual, this, ID_PREVIEW,
                             LAYOUT_FILL_X | LAYOUT_FILL_Y | LAYOUT_MIN_WIDTH | LAYOUT_MIN_HEIGHT, 0, 0, 128, 128);
    FXHorizontalFrame* files = new FXHorizontalFrame(previewColumn, LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    new FXButton(files, "Load", nullptr, this, ID_LOAD, BUTTON_NORMAL | LAYOUT_FILL_X);
    new FXButton(files, "Save", nullptr, this, ID_SAVE, BUTTON_NORMAL | LAYOUT_FILL_X);

    new FXTabItem(tabs, "List");
    FXVerticalFrame* listFrame = new FXVerticalFrame(tabs, FRAME_THICK | FRAME_RAISED);
    list = new FXTreeList(listFrame, this, ID_LIST,
                          TREELIST_BROWSESELECT | TREELIST_SHOWS_LINES | TREELIST_SHOWS_BOXES | TREELIST_ROOT_BOXES |
                              LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXTreeItem* group = nullptr;
    for (int i = 0; i < namedMaterialCount; ++i) {
        const NamedMaterial& named = namedMaterials[i];
        if (!group || group->getText() != named.group) group = list->appendItem(nullptr, named.group);
        FXTreeItem* item = list->appendItem(group, named.name);
        item->setData(const_cast<char*>(named.text));
    }

    addFooter(contents);
    showMaterial();
}

MFXMaterialDialog::~MFXMaterialDialog() {
    delete preview; // before the visual it was made with
    preview = nullptr;
    delete visual;
}

void MFXMaterialDialog::setMaterial(const GLMaterial& value) {
    material = value;
    showMaterial();
}

void MFXMaterialDialog::showMaterial() {
    diffuse->setRGBA(toColor(material.diffuse));
    ambient->setRGBA(toColor(material.ambient));
    specular->setRGBA(toColor(material.specular));
    emission->setRGBA(toColor(material.emission));
    shininess->setValue(material.shininess);
    flat->setCheck(material.flat);
    preview->update();
}

// The widgets hold the material now; take it over, redraw and pass it on.
void MFXMaterialDialog::materialEdited() {
    fromColor(diffuse->getRGBA(), material.diffuse);
    fromColor(ambient->getRGBA(), material.ambient);
    fromColor(specular->getRGBA(), material.specular);
    fromColor(emission->getRGBA(), material.emission);
    material.shininess = static_cast<float>(shininess->getValue());
    material.flat = flat->getCheck() == TRUE;
    preview->update();
    edited();
}

long MFXMaterialDialog::onCmdColor(FXObject*, FXSelector, void*) {
    materialEdited();
    return 1;
}

long MFXMaterialDialog::onPaintPreview(FXObject*, FXSelector, void*) {
    if (!preview->makeCurrent()) return 1;
    drawMaterialPreview(material, previewStyleFor(material, true), 0, 0, preview->getWidth(), preview->getHeight());
    if (visual->isDoubleBuffer()) preview->swapBuffers();
    preview->makeNonCurrent();
    return 1;
}

bool MFXMaterialDialog::loadMaterial(const FXString& path) {
    GLMaterial loaded = material;
    if (!loadMaterialFile(path.text(), loaded, *failures)) return false;
    material = loaded;
    showMaterial();
    materialEdited();
    return true;
}

bool MFXMaterialDialog::saveMaterial(const FXString& path) {
    return saveMaterialFile(path.text(), material, *failures);
}

namespace {

// Asks for a material file in the remembered directory and remembers the
// directory of a successful choice.
FXString chooseMaterialFile(FXWindow* owner, const char* title, bool save) {
    FXFileDialog dialog(owner, title);
    dialog.setPatternList("Material (*.ogm)\nAll Files (*)");
    dialog.setSelectMode(save ? SELECTFILE_ANY : SELECTFILE_EXISTING);
    const FXString directory = owner->getApp()->reg().readStringEntry("SETTINGS", "matdir", "");
    if (!directory.empty()) dialog.setDirectory(directory);
    if (!dialog.execute()) return FXString();
    // Where the file is, also when its path was typed into the name field.
    owner->getApp()->reg().writeStringEntry("SETTINGS", "matdir", FXPath::directory(dialog.getFilename()).text());
    return dialog.getFilename();
}

} // namespace

long MFXMaterialDialog::onCmdLoad(FXObject*, FXSelector, void*) {
    const FXString path = chooseMaterialFile(this, "Load Material", false);
    if (!path.empty()) loadMaterial(path);
    return 1;
}

long MFXMaterialDialog::onCmdSave(FXObject*, FXSelector, void*) {
    const FXString path = chooseMaterialFile(this, "Save Material", true);
    if (!path.empty()) saveMaterial(path);
    return 1;
}

long MFXMaterialDialog::onCmdList(FXObject*, FXSelector, void* ptr) {
    const FXTreeItem* item = static_cast<FXTreeItem*>(ptr);
    if (!item || !item->getData()) return 1; // a group
    material.read(static_cast<const char*>(item->getData()));
    showMaterial();
    materialEdited();
    return 1;
}
