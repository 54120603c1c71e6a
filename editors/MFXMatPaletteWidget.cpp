#include "editors/MFXMatPaletteWidget.h"

#include "diagnostics/Exceptions.h"
#include "editors/MFXMaterialDialog.h"
#include "editors/MaterialPreview.h"
#include "materials/MaterialFiles.h"
#include "materials/PaletteImport.h"
#include "materials/PaletteLibrary.h"

#include <algorithm>
#include <cstring>

// One undo step: the palette before and after a change.
class MFXMatPaletteWidget::PaletteChange : public FXCommand {
public:
    PaletteChange(MFXMatPaletteWidget* editor, const MaterialPalette& before, const MaterialPalette& after)
        : editor(editor), before(before), after(after) {}
    void undo() override { editor->setPalette(before), editor->notify(); }
    void redo() override { editor->setPalette(after), editor->notify(); }
    FXString undoName() const override { return "Undo palette change"; }
    FXString redoName() const override { return "Redo palette change"; }
    FXuint size() const override { return sizeof(*this); }

private:
    MFXMatPaletteWidget* editor;
    MaterialPalette before, after;
};

// clang-format off
FXDEFMAP(MFXMatPaletteWidget) MFXMatPaletteWidgetMap[] = {
    FXMAPFUNC(SEL_PAINT, MFXMatPaletteWidget::ID_GRID, MFXMatPaletteWidget::onPaintGrid),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, MFXMatPaletteWidget::ID_GRID, MFXMatPaletteWidget::onGridPress),
    FXMAPFUNC(SEL_MOTION, MFXMatPaletteWidget::ID_GRID, MFXMatPaletteWidget::onGridMotion),
    FXMAPFUNC(SEL_COMMAND, MFXMatPaletteWidget::ID_LIBRARY, MFXMatPaletteWidget::onCmdLibrary),
    FXMAPFUNCS(SEL_COMMAND, MFXMatPaletteWidget::ID_LOAD, MFXMatPaletteWidget::ID_IMPORT, MFXMatPaletteWidget::onCmdFile),
    FXMAPFUNCS(SEL_COMMAND, MFXMatPaletteWidget::ID_COPY, MFXMatPaletteWidget::ID_PASTE, MFXMatPaletteWidget::onCmdEdit),
    FXMAPFUNCS(SEL_COMMAND, MFXMatPaletteWidget::ID_GRADIENT, MFXMatPaletteWidget::ID_AMBIENT, MFXMatPaletteWidget::onCmdOperation),
    FXMAPFUNCS(SEL_UPDATE, MFXMatPaletteWidget::ID_COPY, MFXMatPaletteWidget::ID_CUT, MFXMatPaletteWidget::onUpdSelection),
    FXMAPFUNCS(SEL_UPDATE, MFXMatPaletteWidget::ID_GRADIENT, MFXMatPaletteWidget::ID_AMBIENT, MFXMatPaletteWidget::onUpdSelection),
    FXMAPFUNC(SEL_COMMAND, MFXMatPaletteWidget::ID_SELECT_ALL, MFXMatPaletteWidget::onCmdSelectAll),
    FXMAPFUNC(SEL_COMMAND, MFXMatPaletteWidget::ID_ENTRY, MFXMatPaletteWidget::onCmdEntry),
    FXMAPFUNC(SEL_CHANGED, MFXMatPaletteWidget::ID_ENTRY, MFXMatPaletteWidget::onCmdEntry),
    FXMAPFUNC(SEL_CLIPBOARD_REQUEST, 0, MFXMatPaletteWidget::onClipboardRequest),
};
// clang-format on

FXIMPLEMENT(MFXMatPaletteWidget, FXVerticalFrame, MFXMatPaletteWidgetMap, ARRAYNUMBER(MFXMatPaletteWidgetMap))

MFXMatPaletteWidget::MFXMatPaletteWidget(FXComposite* parent, FXObject* target, FXSelector selector, FXuint options)
    : FXVerticalFrame(parent, options) {
    this->target = target;
    message = selector;
    FXMenuBar* bar = new FXMenuBar(this, LAYOUT_FILL_X);
    fileMenu = new FXMenuPane(this);
    new FXMenuCommand(fileMenu, "Load...", nullptr, this, ID_LOAD);
    new FXMenuCommand(fileMenu, "Save...", nullptr, this, ID_SAVE);
    new FXMenuCommand(fileMenu, "&Import...", nullptr, this, ID_IMPORT);
    new FXMenuTitle(bar, "&File", nullptr, fileMenu);
    editMenu = new FXMenuPane(this);
    new FXMenuCommand(editMenu, "&Undo\tCtl-Z", nullptr, &undo, FXUndoList::ID_UNDO);
    new FXMenuCommand(editMenu, "&Redo\tCtl-Y", nullptr, &undo, FXUndoList::ID_REDO);
    new FXMenuCommand(editMenu, "Cu&t\tCtl-X", nullptr, this, ID_CUT);
    new FXMenuCommand(editMenu, "&Copy\tCtl-C", nullptr, this, ID_COPY);
    new FXMenuCommand(editMenu, "&Paste\tCtl-V", nullptr, this, ID_PASTE);
    new FXMenuCommand(editMenu, "Select &All\tCtl-A", nullptr, this, ID_SELECT_ALL);
    new FXMenuTitle(bar, "&Edit", nullptr, editMenu);
    paletteMenu = new FXMenuPane(this);
    new FXMenuCommand(paletteMenu, "&Gradient", nullptr, this, ID_GRADIENT);
    new FXMenuCommand(paletteMenu, "&Reverse", nullptr, this, ID_REVERSE);
    new FXMenuCommand(paletteMenu, "R&otate", nullptr, this, ID_ROTATE);
    new FXMenuCommand(paletteMenu, "Set &Alpha...", nullptr, this, ID_ALPHA);
    new FXMenuCommand(paletteMenu, "Set &Shininess...", nullptr, this, ID_SHININESS);
    new FXMenuCommand(paletteMenu, "Ambient from &Diffuse...", nullptr, this, ID_AMBIENT);
    new FXMenuTitle(bar, "&Palette", nullptr, paletteMenu);

    library = new FXListBox(this, this, ID_LIBRARY, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X);
    for (int i = 0; i < PaletteLibrary::count(); ++i) library->appendItem(PaletteLibrary::name(i).c_str());
    library->setNumVisible(16);
    grid = new FXCanvas(this, this, ID_GRID, LAYOUT_FILL_X | LAYOUT_FILL_Y | LAYOUT_MIN_WIDTH | LAYOUT_MIN_HEIGHT, 0, 0,
                        16 * 24, 16 * 24);
    hover = new FXLabel(this, "Entry: ", nullptr, LAYOUT_FILL_X | JUSTIFY_LEFT);
    marked[0] = true;
}

MFXMatPaletteWidget::~MFXMatPaletteWidget() {
    delete fileMenu;
    delete editMenu;
    delete paletteMenu;
    delete image;
}

void MFXMatPaletteWidget::setPalette(const MaterialPalette& value) {
    palette = value;
    redraw();
}

void MFXMatPaletteWidget::notify() {
    if (target) target->tryHandle(this, FXSEL(SEL_CHANGED, message), &palette);
}

void MFXMatPaletteWidget::change(const MaterialPalette& after) {
    if (after.fullText() == palette.fullText()) return;
    undo.add(new PaletteChange(this, palette, after), true);
}

void MFXMatPaletteWidget::redraw() {
    imageValid = false;
    grid->update();
}

PaletteEdits::Selection MFXMatPaletteWidget::selection() const {
    PaletteEdits::Selection chosen;
    for (int i = 0; i < MaterialPalette::size; ++i)
        if (marked[i]) chosen.push_back(i);
    return chosen;
}

void MFXMatPaletteWidget::select(int index, FXuint modifiers) {
    if (index < 0 || index >= MaterialPalette::size) return;
    if (modifiers & CONTROLMASK) {
        marked[index] = !marked[index];
    } else if (modifiers & SHIFTMASK) {
        std::fill(marked.begin(), marked.end(), false);
        for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i) marked[i] = true;
        grid->update();
        return;
    } else {
        std::fill(marked.begin(), marked.end(), false);
        marked[index] = true;
    }
    anchor = index;
    grid->update();
}

void MFXMatPaletteWidget::selectAll() {
    std::fill(marked.begin(), marked.end(), true);
    grid->update();
}

int MFXMatPaletteWidget::indexAt(int x, int y) const {
    const int w = grid->getWidth(), h = grid->getHeight();
    if (x < 0 || y < 0 || x >= w || y >= h) return -1;
    return (y * 16 / h) * 16 + x * 16 / w;
}

long MFXMatPaletteWidget::onPaintGrid(FXObject*, FXSelector, void* ptr) {
    const int w = grid->getWidth(), h = grid->getHeight();
    if (!imageValid || !image || image->getWidth() != w || image->getHeight() != h) {
        imageValid = true;
        std::vector<FXColor> pixels;
        if (previews.paletteGrid(getApp(), palette, true, w, h, pixels)) {
            if (!image) {
                image = new FXImage(getApp(), nullptr, IMAGE_OWNED | IMAGE_KEEP, w, h);
                image->create();
            }
            image->resize(w, h);
            std::memcpy(image->getData(), pixels.data(), pixels.size() * sizeof(FXColor));
            image->render();
        }
    }
    FXDCWindow dc(grid, static_cast<FXEvent*>(ptr));
    dc.setForeground(FXRGB(0, 0, 0));
    dc.fillRectangle(0, 0, w, h);
    if (image && image->getWidth() == w && image->getHeight() == h) dc.drawImage(image, 0, 0);
    dc.setForeground(getApp()->getSelbackColor());
    for (int i = 0; i < MaterialPalette::size; ++i) {
        if (!marked[i]) continue;
        const PaletteCell cell = paletteCell(i, w, h);
        dc.drawRectangle(cell.x, cell.y, cell.width - 1, cell.height - 1);
        dc.drawRectangle(cell.x + 1, cell.y + 1, cell.width - 3, cell.height - 3);
    }
    return 1;
}

long MFXMatPaletteWidget::onGridPress(FXObject*, FXSelector, void* ptr) {
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    grid->setFocus();
    const int index = indexAt(event->win_x, event->win_y);
    select(index, event->state);
    if (event->click_count == 2 && index >= 0) editEntry(index);
    return 1;
}

long MFXMatPaletteWidget::onGridMotion(FXObject*, FXSelector, void* ptr) {
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    const int index = indexAt(event->win_x, event->win_y);
    hover->setText(index < 0 ? FXString("Entry: ") : FXStringFormat("Entry: %d", index));
    return 1;
}

long MFXMatPaletteWidget::onCmdLibrary(FXObject*, FXSelector, void* ptr) {
    const int index = static_cast<int>(reinterpret_cast<FXival>(ptr));
    if (index >= 0 && index < PaletteLibrary::count()) change(PaletteLibrary::palette(index));
    return 1;
}

bool MFXMatPaletteWidget::pasteText(const std::string& text) {
    const PaletteEdits::Selection chosen = selection();
    MaterialPalette after = palette;
    if (PaletteEdits::paste(after, chosen.empty() ? 0 : chosen.front(), text) < 0) return false;
    change(after);
    return true;
}

bool MFXMatPaletteWidget::importPalette(const FXString& path, int format) {
    try {
        const ColorList colors = PaletteImport::importFile(path.text(), format);
        MaterialPalette after;
        PaletteImport::apply(colors, after);
        change(after);
        return true;
    } catch (const DescribedException& failure) {
        failures->report(failure.title(), failure.description());
        return false;
    }
}

bool MFXMatPaletteWidget::loadPalette(const FXString& path) {
    MaterialPalette after = palette;
    if (!loadPaletteFile(path.text(), after, *failures)) return false;
    change(after);
    return true;
}

bool MFXMatPaletteWidget::savePalette(const FXString& path) { return savePaletteFile(path.text(), palette, *failures); }

long MFXMatPaletteWidget::onCmdFile(FXObject*, FXSelector sel, void*) {
    const int id = FXSELID(sel);
    FXRegistry& settings = getApp()->reg();
    const char* key = id == ID_IMPORT ? "palimportdir" : "paldir";
    FXFileDialog dialog(this, id == ID_IMPORT ? "Import Palette" : id == ID_LOAD ? "Load Palette" : "Save Palette");
    if (id == ID_IMPORT) {
        dialog.setPatternList(PaletteImport::patternList);
        dialog.setCurrentPattern(settings.readIntEntry("MaterialIO", "importtype", 0));
    } else {
        dialog.setPatternList("Palette (*.ogm)\nAll Files (*)");
    }
    dialog.setSelectMode(id == ID_SAVE ? SELECTFILE_ANY : SELECTFILE_EXISTING);
    const FXString directory = settings.readStringEntry("MaterialIO", key, "");
    if (!directory.empty()) dialog.setDirectory(directory);
    if (!dialog.execute()) return 1;
    const FXString path = dialog.getFilename();
    // Where the file is, also when its path was typed into the name field.
    settings.writeStringEntry("MaterialIO", key, FXPath::directory(path).text());
    if (id == ID_LOAD) {
        loadPalette(path);
    } else if (id == ID_SAVE) {
        savePalette(path);
    } else {
        settings.writeIntEntry("MaterialIO", "importtype", dialog.getCurrentPattern());
        try {
            importPalette(path, PaletteImport::formatForPattern(dialog.getCurrentPattern(), path.text()));
        } catch (const DescribedException& failure) {
            failures->report(failure.title(), failure.description());
        }
    }
    return 1;
}

long MFXMatPaletteWidget::onCmdEdit(FXObject*, FXSelector sel, void*) {
    const int id = FXSELID(sel);
    if (id == ID_PASTE) {
        FXString text;
        if (getDNDData(FROM_CLIPBOARD, textType, text) || getDNDData(FROM_CLIPBOARD, stringType, text))
            pasteText(text.text());
        return 1;
    }
    clipboardText = PaletteEdits::copy(palette, selection());
    FXDragType types[2] = {textType, stringType};
    acquireClipboard(types, 2);
    if (id == ID_CUT) {
        // Cut entries become default materials.
        MaterialPalette after = palette;
        for (int index : selection()) after[index] = GLMaterial();
        change(after);
    }
    return 1;
}

long MFXMatPaletteWidget::onClipboardRequest(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXVerticalFrame::onClipboardRequest(sender, sel, ptr)) return 1;
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    if (event->target != textType && event->target != stringType) return 0;
    setDNDData(FROM_CLIPBOARD, event->target, FXString(clipboardText.c_str()));
    return 1;
}

long MFXMatPaletteWidget::onCmdOperation(FXObject*, FXSelector sel, void*) {
    MaterialPalette after = palette;
    const PaletteEdits::Selection chosen = selection();
    FXdouble value = 1.0;
    switch (FXSELID(sel)) {
    case ID_GRADIENT:
        PaletteEdits::gradient(after, chosen);
        break;
    case ID_REVERSE:
        PaletteEdits::reverse(after, chosen);
        break;
    case ID_ROTATE:
        PaletteEdits::rotate(after, chosen, 1);
        break;
    case ID_ALPHA:
        if (!FXInputDialog::getReal(value, this, "Set Alpha", "Alpha (0-1):", nullptr, 0.0, 1.0)) return 1;
        PaletteEdits::setAlpha(after, chosen, static_cast<float>(value));
        break;
    case ID_SHININESS:
        value = 24.0;
        if (!FXInputDialog::getReal(value, this, "Set Shininess", "Shininess (0-255):", nullptr, 0.0, 255.0)) return 1;
        PaletteEdits::setShininess(after, chosen, static_cast<float>(value));
        break;
    case ID_AMBIENT:
        value = 0.2;
        if (!FXInputDialog::getReal(value, this, "Ambient from Diffuse", "Factor:", nullptr, 0.0, 10.0)) return 1;
        PaletteEdits::ambientFromDiffuse(after, chosen, static_cast<float>(value));
        break;
    }
    change(after);
    return 1;
}

long MFXMatPaletteWidget::onUpdSelection(FXObject* sender, FXSelector sel, void*) {
    // A gradient needs entries between its ends, a reordering two entries.
    const int id = FXSELID(sel);
    const long needed = id == ID_GRADIENT ? 3 : id == ID_REVERSE || id == ID_ROTATE ? 2 : 1;
    const bool enough = std::count(marked.begin(), marked.end(), true) >= needed;
    sender->handle(this, FXSEL(SEL_COMMAND, enough ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}

long MFXMatPaletteWidget::onCmdSelectAll(FXObject*, FXSelector, void*) {
    selectAll();
    return 1;
}

void MFXMatPaletteWidget::editEntry(int index) {
    const MaterialPalette before = palette;
    editedEntry = index;
    MFXMaterialDialog dialog(this, "Material Dialog", this, ID_ENTRY);
    dialog.setMaterial(palette[index]);
    const bool accepted = dialog.execute() != 0;
    editedEntry = -1;
    MaterialPalette after = before;
    after[index] = dialog.getMaterial();
    const bool shownChanged = palette.fullText() != before.fullText();
    setPalette(before);
    if (accepted && after.fullText() != before.fullText())
        change(after);
    else if (shownChanged)
        notify();
}

// Live edits and "Apply" of the material dialog show in the entry at once.
long MFXMatPaletteWidget::onCmdEntry(FXObject*, FXSelector, void* ptr) {
    if (editedEntry < 0) return 1;
    palette[editedEntry] = *static_cast<const GLMaterial*>(ptr);
    redraw();
    notify();
    return 1;
}
