#include "gui/MFXUndoCommand.h"

#include "gui/FXRealSpinDial.h"
#include "gui/MFXUndoHolder.h"

#include <algorithm>

FXIMPLEMENT_ABSTRACT(MFXUndoCommand, FXCommand, nullptr, 0)

MFXUndoCommand::MFXUndoCommand(MFXUndoHolder* holder, const FXString& undoLabel, const FXString& redoLabel)
    : holder(holder), undoLabel(undoLabel), redoLabel(redoLabel) {
    if (holder) holder->liveCommands.push_back(this);
}

MFXUndoCommand::~MFXUndoCommand() {
    if (!holder) return;
    auto& live = holder->liveCommands;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

bool MFXUndoCommand::canAbsorb(const MFXUndoCommand*) const { return false; }

void MFXUndoCommand::absorb(const MFXUndoCommand*) {}

void MFXUndoCommand::forgetWidget(FXObject*) {}

void MFXUndoCommand::notifyTarget(FXWindow* widget, void* data) {
    if (widget->getTarget()) widget->getTarget()->handle(this, FXSEL(SEL_COMMAND, widget->getSelector()), data);
}

void MFXUndoCommand::changed() {
    if (holder) holder->undoChanged();
}

void MFXUndoCommand_String::show(const std::string& value) {
    widget->setText(value.c_str(), false);
    widget->update();
    notifyTarget(widget, const_cast<char*>(value.c_str()));
}

void MFXUndoCommand_Float::show(const float& value) {
    if (holder) holder->restoringWidget = widget;
    widget->setValue(value);
    widget->update();
    notifyTarget(widget, nullptr);
    // Cleared again so that the user's next change of this dial is recorded.
    if (holder) holder->restoringWidget = nullptr;
}

MFXUndoCommand_Bool::MFXUndoCommand_Bool(FXCheckButton* widget, MFXUndoHolder* holder, const FXString& undoLabel,
                                         const FXString& redoLabel, bool value)
    : MFXUndoCommand(holder, undoLabel, redoLabel), widget(widget), value(value) {}

void MFXUndoCommand_Bool::forgetWidget(FXObject* gone) {
    if (gone == widget) widget = nullptr;
}

void MFXUndoCommand_Bool::replay(bool state) {
    if (widget) {
        widget->setCheck(state, false);
        notifyTarget(widget, nullptr);
        widget->update();
    }
    changed();
}
