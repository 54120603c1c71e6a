#pragma once
// Owner of the undo list of a window. Edits are recorded as commands that the
// user's edit has already carried out; a command that continues an open entry
// of the same widget is absorbed into it, and the list is trimmed when it
// grows past its limit.

#include <fx.h>

#include <vector>

class MFXUndoCommand;

class MFXUndoHolder {
public:
    MFXUndoHolder(FXuint maxSize, FXuint trimSize);
    virtual ~MFXUndoHolder();

    // Takes ownership of the command. It is absorbed into the open entry when
    // that entry accepts it, destroyed when an undo or redo is running (edits
    // replayed by undo and redo are never recorded), and appended otherwise.
    // A null command is ignored.
    void add(MFXUndoCommand* command);
    // Records an edit that has already been made. A command that changes
    // nothing only closes the open entry it continues.
    void record(MFXUndoCommand* command, bool changed);
    // Whether a change message replays an undo or redo, or restores a dial.
    bool isReplay(FXObject* sender) const;

    // Marks the current state as saved. The open entry is closed first, so
    // that an edit going on after the save is a new, unsaved change.
    void markSaved();

    // Called by every command after it has undone or redone itself.
    virtual void undoChanged() = 0;

    // Tells the recorded commands that the widget no longer exists; their
    // undo and redo then leave it alone.
    void forgetWidget(FXObject* widget);

    // A widget's pointer to this holder, cleared when the holder goes first:
    // a window's tables are destroyed by its toolkit base, after this base.
    void addReference(MFXUndoHolder** reference) { references.push_back(reference); }
    void removeReference(MFXUndoHolder** reference);

    FXUndoList undoList;
    // The spin dial whose value a floating-point command is restoring at this
    // moment; its change handler records nothing for it.
    FXObject* restoringWidget = nullptr;

private:
    friend class MFXUndoCommand;

    FXuint maxSize;
    FXuint trimSize;
    std::vector<MFXUndoCommand*> liveCommands;
    std::vector<MFXUndoHolder**> references;
};
