#include "editors/MFXSwatch.h"

#include <cstring>

FXDragType MFXSwatch::materialType = 0;

// clang-format off
FXDEFMAP(MFXSwatch) MFXSwatchMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, MFXSwatch::onPaint),
    FXMAPFUNC(SEL_MOTION, 0, MFXSwatch::onMotion),
    FXMAPFUNC(SEL_DRAGGED, 0, MFXSwatch::onDragged),
    FXMAPFUNC(SEL_DND_MOTION, 0, MFXSwatch::onDNDMotion),
    FXMAPFUNC(SEL_DND_DROP, 0, MFXSwatch::onDNDDrop),
    FXMAPFUNC(SEL_DND_REQUEST, 0, MFXSwatch::onDNDRequest),
    FXMAPFUNC(SEL_FOCUSIN, 0, MFXSwatch::onFocusIn),
    FXMAPFUNC(SEL_FOCUSOUT, 0, MFXSwatch::onFocusOut),
    FXMAPFUNC(SEL_LEFTBUTTONPRESS, 0, MFXSwatch::onLeftBtnPress),
    FXMAPFUNC(SEL_LEFTBUTTONRELEASE, 0, MFXSwatch::onLeftBtnRelease),
    FXMAPFUNC(SEL_MIDDLEBUTTONPRESS, 0, MFXSwatch::onMiddleBtnPress),
    FXMAPFUNC(SEL_MIDDLEBUTTONRELEASE, 0, MFXSwatch::onMiddleBtnRelease),
    FXMAPFUNC(SEL_UNGRABBED, 0, MFXSwatch::onUngrabbed),
    FXMAPFUNC(SEL_BEGINDRAG, 0, MFXSwatch::onBeginDrag),
    FXMAPFUNC(SEL_ENDDRAG, 0, MFXSwatch::onEndDrag),
    FXMAPFUNC(SEL_SELECTION_LOST, 0, MFXSwatch::onSelectionLost),
    FXMAPFUNC(SEL_SELECTION_GAINED, 0, MFXSwatch::onSelectionGained),
    FXMAPFUNC(SEL_SELECTION_REQUEST, 0, MFXSwatch::onSelectionRequest),
    FXMAPFUNC(SEL_CLICKED, 0, MFXSwatch::onClicked),
    FXMAPFUNC(SEL_DOUBLECLICKED, 0, MFXSwatch::onDoubleClicked),
    FXMAPFUNC(SEL_COMMAND, FXWindow::ID_SETSTRINGVALUE, MFXSwatch::onCmdSetStringValue),
    FXMAPFUNC(SEL_COMMAND, FXWindow::ID_GETSTRINGVALUE, MFXSwatch::onCmdGetStringValue),
};
// clang-format on

FXIMPLEMENT_ABSTRACT(MFXSwatch, FXFrame, MFXSwatchMap, ARRAYNUMBER(MFXSwatchMap))

MFXSwatch::MFXSwatch(FXComposite* parent, FXObject* target, FXSelector selector, FXuint options, FXint x, FXint y,
                     FXint width, FXint height, FXint padLeft, FXint padRight, FXint padTop, FXint padBottom)
    : FXFrame(parent, options, x, y, width, height, padLeft, padRight, padTop, padBottom) {
    flags |= FLAG_ENABLED | FLAG_DROPTARGET;
    this->target = target;
    message = selector;
}

MFXSwatch::~MFXSwatch() { delete preview; }

void MFXSwatch::create() {
    FXFrame::create();
    if (!materialType) materialType = getApp()->registerDragType("application/x-glmaterial");
    if (!textType) textType = getApp()->registerDragType(textTypeName);
}

void MFXSwatch::detach() {
    FXFrame::detach();
    materialType = 0;
}

void MFXSwatch::enable() {
    if (!isEnabled()) valueChanged(false);
    FXFrame::enable();
}

void MFXSwatch::disable() {
    if (isEnabled()) valueChanged(false);
    FXFrame::disable();
}

FXint MFXSwatch::getDefaultWidth() { return padleft + padright + 19; }

FXint MFXSwatch::getDefaultHeight() { return padtop + padbottom + 19; }

bool MFXSwatch::setValueText(const FXString& text, bool notify) {
    if (!readValue(text)) return false;
    valueChanged(notify);
    return true;
}

void MFXSwatch::valueChanged(bool notify) {
    previewValid = false;
    update();
    if (notify && target) target->tryHandle(this, FXSEL(SEL_COMMAND, message), valueData());
}

void MFXSwatch::refreshPreview(int width, int height) {
    previewValid = true;
    std::vector<FXColor> pixels;
    if (!renderPreview(width, height, pixels)) return;
    if (!preview) {
        preview = new FXImage(getApp(), nullptr, IMAGE_OWNED | IMAGE_KEEP, width, height);
        preview->create();
    }
    preview->resize(width, height);
    std::memcpy(preview->getData(), pixels.data(), pixels.size() * sizeof(FXColor));
    preview->render();
}

long MFXSwatch::onPaint(FXObject*, FXSelector, void* ptr) {
    FXDCWindow dc(this, static_cast<FXEvent*>(ptr));
    const FXint innerX = border + padleft, innerY = border + padtop;
    const FXint innerWidth = width - padleft - padright - (border << 1);
    const FXint innerHeight = height - padtop - padbottom - (border << 1);
    dc.setForeground(backColor);
    dc.fillRectangle(0, 0, width, height);
    if (hasSelection()) {
        dc.setForeground(getApp()->getSelbackColor());
        dc.drawRectangle(border, border, width - (border << 1) - 1, height - (border << 1) - 1);
    }
    if (innerWidth > 4 && innerHeight > 4) {
        const FXint imageWidth = innerWidth - 4, imageHeight = innerHeight - 4;
        if (!previewValid || !preview || preview->getWidth() != imageWidth || preview->getHeight() != imageHeight)
            refreshPreview(imageWidth, imageHeight);
        dc.setForeground(FXRGB(0, 0, 0));
        dc.fillRectangle(innerX + 2, innerY + 2, imageWidth, imageHeight);
        if (preview && preview->getWidth() == imageWidth && preview->getHeight() == imageHeight)
            dc.drawImage(preview, innerX + 2, innerY + 2);
        drawDoubleSunkenRectangle(dc, innerX, innerY, innerWidth, innerHeight);
    }
    if (hasFocus())
        dc.drawFocusRectangle(border + 1, border + 1, width - (border << 1) - 2, height - (border << 1) - 2);
    drawFrame(dc, 0, 0, width, height);
    return 1;
}

long MFXSwatch::onFocusIn(FXObject* sender, FXSelector sel, void* ptr) {
    FXFrame::onFocusIn(sender, sel, ptr);
    update();
    return 1;
}

long MFXSwatch::onFocusOut(FXObject* sender, FXSelector sel, void* ptr) {
    FXFrame::onFocusOut(sender, sel, ptr);
    update();
    return 1;
}

long MFXSwatch::onSelectionGained(FXObject* sender, FXSelector sel, void* ptr) {
    FXFrame::onSelectionGained(sender, sel, ptr);
    update();
    return 1;
}

long MFXSwatch::onSelectionLost(FXObject* sender, FXSelector sel, void* ptr) {
    FXFrame::onSelectionLost(sender, sel, ptr);
    update();
    return 1;
}

namespace {

// Hands a text over as drag-and-drop or selection data, which FOX frees.
void offerText(FXWindow* window, FXDNDOrigin origin, FXDragType type, const FXString& text) {
    FXuchar* data;
    FXMALLOC(&data, FXuchar, text.length() + 1);
    std::memcpy(data, text.text(), text.length() + 1);
    window->setDNDData(origin, type, data, text.length());
}

} // namespace

long MFXSwatch::onSelectionRequest(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onSelectionRequest(sender, sel, ptr)) return 1;
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    if (event->target == stringType || event->target == materialType || event->target == textType) {
        offerText(this, FROM_SELECTION, event->target, valueText());
        return 1;
    }
    return 0;
}

long MFXSwatch::onLeftBtnPress(FXObject*, FXSelector, void* ptr) {
    handle(this, FXSEL(SEL_FOCUS_SELF, 0), ptr);
    flags &= ~FLAG_TIP;
    if (!isEnabled()) return 0;
    grab();
    if (target && target->tryHandle(this, FXSEL(SEL_LEFTBUTTONPRESS, message), ptr)) return 1;
    flags |= FLAG_PRESSED | FLAG_TRYDRAG;
    flags &= ~FLAG_UPDATE;
    return 1;
}

long MFXSwatch::onLeftBtnRelease(FXObject*, FXSelector, void* ptr) {
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    const FXuint wasFlags = flags;
    if (!isEnabled()) return 0;
    ungrab();
    flags |= FLAG_UPDATE;
    flags &= ~(FLAG_PRESSED | FLAG_TRYDRAG | FLAG_DODRAG);
    if (target && target->tryHandle(this, FXSEL(SEL_LEFTBUTTONRELEASE, message), ptr)) return 1;
    if (wasFlags & FLAG_DODRAG) {
        handle(this, FXSEL(SEL_ENDDRAG, 0), ptr);
        return 1;
    }
    if (event->click_count == 1)
        handle(this, FXSEL(SEL_CLICKED, 0), ptr);
    else if (event->click_count == 2)
        handle(this, FXSEL(SEL_DOUBLECLICKED, 0), ptr);
    return 1;
}

long MFXSwatch::onMiddleBtnPress(FXObject*, FXSelector, void* ptr) {
    handle(this, FXSEL(SEL_FOCUS_SELF, 0), ptr);
    flags &= ~FLAG_TIP;
    if (!isEnabled()) return 0;
    grab();
    if (target && target->tryHandle(this, FXSEL(SEL_MIDDLEBUTTONPRESS, message), ptr)) return 1;
    return 1;
}

// The middle button pastes the selection when it holds a material or palette text.
long MFXSwatch::onMiddleBtnRelease(FXObject*, FXSelector, void* ptr) {
    if (!isEnabled()) return 0;
    ungrab();
    if (target && target->tryHandle(this, FXSEL(SEL_MIDDLEBUTTONRELEASE, message), ptr)) return 1;
    FXuchar* data;
    FXuint size;
    if (getDNDData(FROM_SELECTION, materialType, data, size)) {
        const FXString text(reinterpret_cast<FXchar*>(data), size);
        FXFREE(&data);
        setValueText(text, true);
    }
    return 1;
}

long MFXSwatch::onUngrabbed(FXObject* sender, FXSelector sel, void* ptr) {
    FXFrame::onUngrabbed(sender, sel, ptr);
    flags &= ~(FLAG_PRESSED | FLAG_TRYDRAG | FLAG_DODRAG);
    flags |= FLAG_UPDATE;
    endDrag(false);
    return 1;
}

long MFXSwatch::onMotion(FXObject*, FXSelector, void* ptr) {
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    if (flags & FLAG_DODRAG) {
        handle(this, FXSEL(SEL_DRAGGED, 0), ptr);
        return 1;
    }
    if ((flags & FLAG_TRYDRAG) && event->moved) {
        flags &= ~FLAG_TRYDRAG;
        if (handle(this, FXSEL(SEL_BEGINDRAG, 0), ptr)) flags |= FLAG_DODRAG;
        return 1;
    }
    return 0;
}

long MFXSwatch::onBeginDrag(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onBeginDrag(sender, sel, ptr)) return 1;
    beginDrag(&materialType, 1);
    setDragCursor(getApp()->getDefaultCursor(DEF_SWATCH_CURSOR));
    return 1;
}

long MFXSwatch::onDragged(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onDragged(sender, sel, ptr)) return 1;
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    handleDrag(event->root_x, event->root_y, DRAG_COPY);
    setDragCursor(getApp()->getDefaultCursor(didAccept() != DRAG_REJECT ? DEF_SWATCH_CURSOR : DEF_DNDSTOP_CURSOR));
    return 1;
}

long MFXSwatch::onEndDrag(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onEndDrag(sender, sel, ptr)) return 1;
    endDrag(didAccept() != DRAG_REJECT);
    setDragCursor(getDefaultCursor());
    return 1;
}

long MFXSwatch::onDNDMotion(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onDNDMotion(sender, sel, ptr)) return 1;
    if (isEnabled() && offeredDNDType(FROM_DRAGNDROP, materialType)) {
        acceptDrop(DRAG_COPY);
        return 1;
    }
    return 0;
}

long MFXSwatch::onDNDDrop(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onDNDDrop(sender, sel, ptr)) return 1;
    FXuchar* data;
    FXuint size;
    if (!getDNDData(FROM_DRAGNDROP, materialType, data, size)) return 0;
    const FXString text(reinterpret_cast<FXchar*>(data), size);
    FXFREE(&data);
    // A text that is not a value of this swatch is refused silently.
    return setValueText(text, true) ? 1 : 0;
}

long MFXSwatch::onDNDRequest(FXObject* sender, FXSelector sel, void* ptr) {
    if (FXFrame::onDNDRequest(sender, sel, ptr)) return 1;
    const FXEvent* event = static_cast<FXEvent*>(ptr);
    if (event->target != materialType) return 0;
    offerText(this, FROM_DRAGNDROP, materialType, valueText());
    return 1;
}

long MFXSwatch::onClicked(FXObject*, FXSelector, void*) {
    if (!target || !target->tryHandle(this, FXSEL(SEL_CLICKED, message), valueData())) {
        if (!hasSelection()) {
            FXDragType types[3] = {stringType, materialType, textType};
            acquireSelection(types, 3);
        }
    }
    return 1;
}

long MFXSwatch::onDoubleClicked(FXObject*, FXSelector, void*) {
    if (target && target->tryHandle(this, FXSEL(SEL_DOUBLECLICKED, message), valueData())) return 1;
    if (options & SWATCH_NODIALOG) return 1;
    runDialog();
    return 1;
}

long MFXSwatch::onCmdSetStringValue(FXObject*, FXSelector, void* ptr) {
    setValueText(*static_cast<FXString*>(ptr));
    return 1;
}

long MFXSwatch::onCmdGetStringValue(FXObject*, FXSelector, void* ptr) {
    *static_cast<FXString*>(ptr) = valueText();
    return 1;
}

void MFXSwatch::save(FXStream& store) const {
    FXFrame::save(store);
    store << valueText();
}

void MFXSwatch::load(FXStream& store) {
    FXFrame::load(store);
    FXString text;
    store >> text;
    setValueText(text);
}
