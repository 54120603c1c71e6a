#pragma once
// Undoable edits. Each command counts as one unit of the undo list and tells
// its holder when it has been undone or redone. The value commands restore a
// widget's value and then replay the widget's notification to its target as
// if the user had entered that value; the target recognises the replay by the
// sender being an MFXUndoCommand and records nothing.

#include <fx.h>

#include <string>
#include <typeinfo>

class FXRealSpinDial;
class MFXUndoHolder;

class MFXUndoCommand : public FXCommand {
    FXDECLARE_ABSTRACT(MFXUndoCommand)
public:
    MFXUndoCommand(MFXUndoHolder* holder, const FXString& undoLabel, const FXString& redoLabel);
    ~MFXUndoCommand() override;

    void undo() override {}
    void redo() override {}
    FXuint size() const override { return 1; }
    FXString undoName() const override { return undoLabel; }
    FXString redoName() const override { return redoLabel; }
    bool canMerge() const override { return false; }

    // Whether the newer command continues this command's entry.
    virtual bool canAbsorb(const MFXUndoCommand* newer) const;
    virtual void absorb(const MFXUndoCommand* newer);
    // Closes an open entry: nothing is absorbed into it any more.
    virtual void close() {}
    // Whether the entry is closed and leaves everything as it found it, as a
    // dialog cancelled after live edits does.
    virtual bool changesNothing() const { return false; }
    // The widget is gone: replays must not touch it any more.
    virtual void forgetWidget(FXObject* widget);

protected:
    MFXUndoCommand() = default;
    // Sends the widget's target the widget's own SEL_COMMAND with this command
    // as sender, so that the target applies the replayed value.
    void notifyTarget(FXWindow* widget, void* data);
    void changed();

    MFXUndoHolder* holder = nullptr;
    FXString undoLabel;
    FXString redoLabel;
};

// A value command that edits one widget and chains with later commands of the
// same widget until a final one closes the entry.
template <class Widget, class Value>
class MFXUndoCommand_Value : public MFXUndoCommand {
public:
    MFXUndoCommand_Value(Widget* widget, MFXUndoHolder* holder, const FXString& undoLabel, const FXString& redoLabel,
                         const Value& oldValue, const Value& newValue, bool final)
        : MFXUndoCommand(holder, undoLabel, redoLabel), widget(widget), oldValue(oldValue), newValue(newValue),
          final(final) {}

    void undo() override { replay(oldValue); }
    void redo() override { replay(newValue); }

    bool canAbsorb(const MFXUndoCommand* newer) const override {
        auto* same = dynamic_cast<const MFXUndoCommand_Value*>(newer);
        return same && !final && same->widget == widget;
    }
    void close() override { final = true; }
    bool changesNothing() const override { return final && oldValue == newValue; }
    void absorb(const MFXUndoCommand* newer) override {
        auto* same = static_cast<const MFXUndoCommand_Value*>(newer);
        newValue = same->newValue;
        final = same->final;
    }
    void forgetWidget(FXObject* gone) override {
        if (gone == widget) widget = nullptr;
    }

protected:
    virtual void show(const Value& value) = 0;

    void replay(const Value& value) {
        if (widget) show(value);
        changed();
    }

    Widget* widget;
    Value oldValue;
    Value newValue;
    bool final;
};

class MFXUndoCommand_String : public MFXUndoCommand_Value<FXTextField, std::string> {
public:
    using MFXUndoCommand_Value::MFXUndoCommand_Value;

protected:
    void show(const std::string& value) override;
};

class MFXUndoCommand_Float : public MFXUndoCommand_Value<FXRealSpinDial, float> {
public:
    using MFXUndoCommand_Value::MFXUndoCommand_Value;

protected:
    void show(const float& value) override;
};

// A check-button change; `value` is the state after the change. Check-button
// changes never chain, so the command has no final flag.
class MFXUndoCommand_Bool : public MFXUndoCommand {
public:
    MFXUndoCommand_Bool(FXCheckButton* widget, MFXUndoHolder* holder, const FXString& undoLabel,
                        const FXString& redoLabel, bool value);

    void undo() override { replay(!value); }
    void redo() override { replay(value); }
    void forgetWidget(FXObject* gone) override;

private:
    void replay(bool state);

    FXCheckButton* widget;
    bool value;
};

// Base of the commands that hold a record before and after an edit (shape
// definitions, tweaks, environment, a light). Commands of one class with the
// same merge key chain until a final one closes the entry; `apply` writes a
// record back into the document and refreshes what shows it.
template <class Record, class Key>
class MFXUndoCommand_Record : public MFXUndoCommand {
public:
    MFXUndoCommand_Record(MFXUndoHolder* holder, const FXString& undoLabel, const FXString& redoLabel,
                          const Record& before, const Record& after, const Key& key, bool final)
        : MFXUndoCommand(holder, undoLabel, redoLabel), before(before), after(after), key(key), final(final) {}

    void undo() override {
        apply(before);
        changed();
    }
    void redo() override {
        apply(after);
        changed();
    }

    bool canAbsorb(const MFXUndoCommand* newer) const override {
        auto* same = dynamic_cast<const MFXUndoCommand_Record*>(newer);
        return same && !final && typeid(*same) == typeid(*this) && same->key == key;
    }
    void close() override { final = true; }
    bool changesNothing() const override { return final && before == after; }
    void absorb(const MFXUndoCommand* newer) override {
        if (newer == this) return;
        auto* same = static_cast<const MFXUndoCommand_Record*>(newer);
        after = same->after;
        final = same->final;
    }

protected:
    virtual void apply(const Record& record) = 0;

    Record before;
    Record after;
    Key key;
    bool final;
};
