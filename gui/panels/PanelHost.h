#pragma once
// What a tab panel needs of the window: the document it edits (through the
// workbench), the undo list its edits go to, and a word on what an edit
// costs. The window implements it; a panel knows nothing else of it.

#include <fx.h>

class MFXUndoHolder;
class Workbench;

class PanelHost {
public:
    virtual ~PanelHost() = default;

    virtual Workbench& workbench() = 0;
    virtual MFXUndoHolder& undoHolder() = 0;
    // The edit needs a new derivation.
    virtual void recompute() = 0;
    // The same while a widget is still dragged: the picture follows the drag.
    virtual void recomputeLive() = 0;
    // The edit changes only the interpretation of the derived string.
    virtual void reinterpret() = 0;
    // The same while a widget is still dragged: the picture follows the drag.
    virtual void reinterpretLive() = 0;
    // The edit changes only the picture.
    virtual void requestFrame() = 0;
    // A value that cannot go into the definition.
    virtual void showError(const FXString& title, const FXString& text) = 0;
};
