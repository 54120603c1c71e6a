#pragma once
// The palette editor: a 16 x 16 grid of the 256 materials with the hovered
// index shown, selection by click, Shift-click range, Ctrl-click toggle and
// "Select All", a double click editing the entry in the material dialog,
// clipboard, undo and redo of every change, the library chooser, palette
// files, import, and the operations of PaletteEdits. Every change is sent
// to the target as SEL_CHANGED with a MaterialPalette*.

#include "editors/MessageBoxReporter.h"
#include "editors/PaletteEdits.h"
#include "editors/PreviewCache.h"

#include <fx.h>

class MFXMatPaletteWidget : public FXVerticalFrame {
    FXDECLARE(MFXMatPaletteWidget)

public:
    enum {
        ID_GRID = FXVerticalFrame::ID_LAST,
        ID_LIBRARY,
        ID_LOAD,
        ID_SAVE,
        ID_IMPORT,
        ID_COPY,
        ID_CUT,
        ID_PASTE,
        ID_GRADIENT,
        ID_REVERSE,
        ID_ROTATE,
        ID_ALPHA,
        ID_SHININESS,
        ID_AMBIENT,
        ID_SELECT_ALL,
        ID_ENTRY,
        ID_LAST
    };

    MFXMatPaletteWidget(FXComposite* parent, FXObject* target = nullptr, FXSelector selector = 0,
                        FXuint options = LAYOUT_FILL_X | LAYOUT_FILL_Y);
    ~MFXMatPaletteWidget() override;

    long onPaintGrid(FXObject*, FXSelector, void*);
    long onGridPress(FXObject*, FXSelector, void*);
    long onGridMotion(FXObject*, FXSelector, void*);
    long onCmdLibrary(FXObject*, FXSelector, void*);
    long onCmdFile(FXObject*, FXSelector, void*);
    long onCmdEdit(FXObject*, FXSelector, void*);
    long onCmdOperation(FXObject*, FXSelector, void*);
    long onUpdSelection(FXObject*, FXSelector, void*);
    long onCmdSelectAll(FXObject*, FXSelector, void*);
    long onCmdEntry(FXObject*, FXSelector, void*);
    long onClipboardRequest(FXObject*, FXSelector, void*);

    // Replaces the palette without recording an undo step or notifying. The
    // library chooser shows the palette's name, or "Custom palette" when it
    // is none of the library's.
    void setPalette(const MaterialPalette& palette);
    FXListBox* getLibraryChooser() const { return library; }

    // Room for a grid whose entries can be told apart and clicked.
    FXint getDefaultWidth() override;
    FXint getDefaultHeight() override;
    const MaterialPalette& getPalette() const { return palette; }

    // Selection as a click with these modifiers (SHIFTMASK, CONTROLMASK) would make it.
    void select(int index, FXuint modifiers = 0);
    PaletteEdits::Selection selection() const;
    void selectAll();

    // Edits one entry in the material dialog; its live edits show at once,
    // "OK" makes them one undo step and "Cancel" takes them back.
    void editEntry(int index);

    // Every change below is one undo step and notifies the target.
    void change(const MaterialPalette& after);
    bool pasteText(const std::string& text); // at the first selected entry
    bool importPalette(const FXString& path, int format);
    bool loadPalette(const FXString& path);
    bool savePalette(const FXString& path);
    FXUndoList& undoList() { return undo; }

    void setFailureReporter(FailureReporter* reporter) { failures = reporter; }

private:
    MFXMatPaletteWidget() {}
    MFXMatPaletteWidget(const MFXMatPaletteWidget&);
    MFXMatPaletteWidget& operator=(const MFXMatPaletteWidget&);
    int indexAt(int x, int y) const;
    void redraw();
    void notify();
    void showLibraryName();

    class PaletteChange;

    MaterialPalette palette;
    std::vector<bool> marked = std::vector<bool>(MaterialPalette::size, false);
    int anchor = 0;
    int editedEntry = -1; // the entry open in the material dialog
    std::string clipboardText;
    FXUndoList undo;
    FXMenuPane* fileMenu = nullptr;
    FXMenuPane* editMenu = nullptr;
    FXMenuPane* paletteMenu = nullptr;
    FXListBox* library = nullptr;
    FXCanvas* grid = nullptr;
    FXLabel* hover = nullptr;
    FXImage* image = nullptr;
    bool imageValid = false;
    PreviewCache previews;
    MessageBoxReporter messageBoxes{this};
    FailureReporter* failures = &messageBoxes;
};
