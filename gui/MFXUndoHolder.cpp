#include "gui/MFXUndoHolder.h"

#include "gui/MFXUndoCommand.h"

#include <algorithm>

MFXUndoHolder::MFXUndoHolder(FXuint maxSize, FXuint trimSize) : maxSize(maxSize), trimSize(trimSize) {}

MFXUndoHolder::~MFXUndoHolder() {
    // The commands unregister from this holder when they are destroyed.
    undoList.clear();
    for (MFXUndoHolder** reference : references) *reference = nullptr;
}

void MFXUndoHolder::removeReference(MFXUndoHolder** reference) {
    references.erase(std::remove(references.begin(), references.end(), reference), references.end());
}

void MFXUndoHolder::add(MFXUndoCommand* command) {
    if (!command) return;
    // Checked before absorbing: a replayed edit must not alter an older open
    // entry either.
    if (undoList.busy()) {
        delete command;
        return;
    }
    auto* top = dynamic_cast<MFXUndoCommand*>(undoList.current());
    if (top && top->canAbsorb(command)) {
        top->absorb(command);
        delete command;
        // An entry that ends where it began is dropped, so that the document
        // is not marked as changed by it.
        if (top->changesNothing()) {
            undoList.undo();
            undoList.cut();
        }
        return;
    }
    undoList.add(command, false, true);
    if (undoList.size() > maxSize) undoList.trimSize(trimSize);
}

void MFXUndoHolder::record(MFXUndoCommand* command, bool changed) {
    auto* top = dynamic_cast<MFXUndoCommand*>(undoList.current());
    if (changed || (top && top->canAbsorb(command)))
        add(command);
    else
        delete command;
}

bool MFXUndoHolder::isReplay(FXObject* sender) const {
    return dynamic_cast<MFXUndoCommand*>(sender) || (sender && sender == restoringWidget);
}

void MFXUndoHolder::markSaved() {
    if (auto* top = dynamic_cast<MFXUndoCommand*>(undoList.current())) top->close();
    undoList.mark();
}

void MFXUndoHolder::forgetWidget(FXObject* widget) {
    for (MFXUndoCommand* command : liveCommands) command->forgetWidget(widget);
}
