#pragma once
// "Open Fractint L-System": the entries of a Fractint L-system file (".l")
// by name, one of which is chosen to be opened.

#include <fx.h>

#include <memory>
#include <string>
#include <vector>

class LSystemDefinition;

class FractintEntryDialog : public FXDialogBox {
    FXDECLARE(FractintEntryDialog)

public:
    enum { ID_ENTRIES = FXDialogBox::ID_LAST, ID_LAST };

    FractintEntryDialog(FXWindow* owner, const std::string& fileName, const std::vector<std::string>& names);

    // The chosen entry, or -1.
    int chosen() const;
    void choose(int index);

    // A double click on an entry chooses it.
    long onDoubleClicked(FXObject*, FXSelector, void*);

    // Reads the file, asks which entry to open and returns it converted.
    // Null when the file cannot be read or holds no entry, when the user
    // cancels, or when the entry cannot be converted: each said in a message
    // box. An approximate conversion is opened after a warning.
    static std::unique_ptr<LSystemDefinition> open(FXWindow* owner, const std::string& fileName);

protected:
    FractintEntryDialog() = default;

private:
    FXList* myEntries = nullptr;
};
