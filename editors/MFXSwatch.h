#pragma once
// What the material swatch and the palette swatch share, in the manner of
// FOX's colour well: a preview of the value, click to offer the value as the
// selection, double click to edit it in a dialog, drag and drop of the value
// as text, the value commands as text, and stream serialisation.

#include <fx.h>

#include <vector>

// Suppresses the dialog on a double click.
enum { SWATCH_NODIALOG = 0x00100000 };

class MFXSwatch : public FXFrame {
    FXDECLARE_ABSTRACT(MFXSwatch)

public:
    enum { ID_DIALOG = FXFrame::ID_LAST, ID_LAST };

    // The drag-and-drop and selection type of material and palette texts.
    static FXDragType materialType;

    long onPaint(FXObject*, FXSelector, void*);
    long onLeftBtnPress(FXObject*, FXSelector, void*);
    long onLeftBtnRelease(FXObject*, FXSelector, void*);
    long onMiddleBtnPress(FXObject*, FXSelector, void*);
    long onMiddleBtnRelease(FXObject*, FXSelector, void*);
    long onUngrabbed(FXObject*, FXSelector, void*);
    long onMotion(FXObject*, FXSelector, void*);
    long onBeginDrag(FXObject*, FXSelector, void*);
    long onEndDrag(FXObject*, FXSelector, void*);
    long onDragged(FXObject*, FXSelector, void*);
    long onFocusIn(FXObject*, FXSelector, void*);
    long onFocusOut(FXObject*, FXSelector, void*);
    long onDNDMotion(FXObject*, FXSelector, void*);
    long onDNDDrop(FXObject*, FXSelector, void*);
    long onDNDRequest(FXObject*, FXSelector, void*);
    long onSelectionLost(FXObject*, FXSelector, void*);
    long onSelectionGained(FXObject*, FXSelector, void*);
    long onSelectionRequest(FXObject*, FXSelector, void*);
    long onClicked(FXObject*, FXSelector, void*);
    long onDoubleClicked(FXObject*, FXSelector, void*);
    long onCmdSetStringValue(FXObject*, FXSelector, void*);
    long onCmdGetStringValue(FXObject*, FXSelector, void*);

    void create() override;
    void detach() override;
    void enable() override;
    void disable() override;
    FXint getDefaultWidth() override;
    FXint getDefaultHeight() override;
    bool canFocus() const override { return true; }

    // Takes the value from a material or palette text and notifies the
    // target when asked to; false, changing nothing, when the text does not
    // parse.
    bool setValueText(const FXString& text, bool notify = false);
    // The value as the text exchanged by drag and drop and the selection.
    virtual FXString valueText() const = 0;

    // The preview as last painted (client-side pixels kept), or null.
    FXImage* getPreview() const { return preview; }

    void save(FXStream& store) const override;
    void load(FXStream& store) override;

    ~MFXSwatch() override;

protected:
    MFXSwatch() {}
    MFXSwatch(FXComposite* parent, FXObject* target, FXSelector selector, FXuint options, FXint x, FXint y, FXint width,
              FXint height, FXint padLeft, FXint padRight, FXint padTop, FXint padBottom);

    // Reads the value from a text; false when it does not parse.
    virtual bool readValue(const FXString& text) = 0;
    // The value as the data of the target's messages.
    virtual void* valueData() = 0;
    // Renders the preview at that size into pixels, top row first; false
    // when it cannot be rendered.
    virtual bool renderPreview(int width, int height, std::vector<FXColor>& pixels) = 0;
    // Opens the editing dialog modally on the value.
    virtual void runDialog() = 0;

    // Repaints with a new preview and, when asked to, sends SEL_COMMAND with
    // the value to the target.
    void valueChanged(bool notify);

private:
    MFXSwatch(const MFXSwatch&);
    MFXSwatch& operator=(const MFXSwatch&);
    void refreshPreview(int width, int height);

    FXImage* preview = nullptr;
    bool previewValid = false;
};
