#include "gui/FractintEntryDialog.h"

#include "definition_io/FractintConverter.h"
#include "diagnostics/Exceptions.h"
#include "diagnostics/FileText.h"
#include "lsys/LSystemDefinition.h"

FXDEFMAP(FractintEntryDialog)
FractintEntryDialogMap[] = {
    FXMAPFUNC(SEL_DOUBLECLICKED, FractintEntryDialog::ID_ENTRIES, FractintEntryDialog::onDoubleClicked),
};

FXIMPLEMENT(FractintEntryDialog, FXDialogBox, FractintEntryDialogMap, ARRAYNUMBER(FractintEntryDialogMap))

namespace {

// "line N: text" for each problem, each after "\n ".
std::string listed(const std::vector<FractintProblem>& problems) {
    std::string text;
    for (const FractintProblem& problem : problems)
        text += "\n line " + std::to_string(problem.line) + ": " + problem.text;
    return text;
}

} // namespace

FractintEntryDialog::FractintEntryDialog(FXWindow* owner, const std::string& fileName,
                                         const std::vector<std::string>& names)
    : FXDialogBox(owner, "Open Fractint L-System", DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE, 0, 0, 320, 360) {
    FXHorizontalFrame* buttons = new FXHorizontalFrame(this, LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    new FXButton(buttons, "OK", nullptr, this, ID_ACCEPT,
                 BUTTON_DEFAULT | BUTTON_INITIAL | BUTTON_NORMAL | LAYOUT_RIGHT);
    new FXButton(buttons, "Cancel", nullptr, this, ID_CANCEL, BUTTON_NORMAL | LAYOUT_RIGHT);
    new FXHorizontalSeparator(this, SEPARATOR_GROOVE | LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X);
    new FXLabel(this, FXStringFormat("Entries of '%s':", FXPath::name(fileName.c_str()).text()));
    FXVerticalFrame* frame =
        new FXVerticalFrame(this, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    myEntries = new FXList(frame, this, ID_ENTRIES, LIST_BROWSESELECT | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    for (const std::string& name : names) myEntries->appendItem(name.c_str());
    choose(0);
}

int FractintEntryDialog::chosen() const { return myEntries->getNumItems() > 0 ? myEntries->getCurrentItem() : -1; }

void FractintEntryDialog::choose(int index) {
    if (index < 0 || index >= myEntries->getNumItems()) return;
    myEntries->setCurrentItem(index);
    myEntries->selectItem(index);
    myEntries->makeItemVisible(index);
}

long FractintEntryDialog::onDoubleClicked(FXObject*, FXSelector, void*) {
    return handle(this, FXSEL(SEL_COMMAND, ID_ACCEPT), nullptr);
}

std::unique_ptr<LSystemDefinition> FractintEntryDialog::open(FXWindow* owner, const std::string& fileName) {
    std::string text;
    try {
        text = readFileText(fileName);
    } catch (const FileError&) {
        FXMessageBox::error(owner, MBOX_OK, "Error on loading file", " Could not open '%s'.", fileName.c_str());
        return nullptr;
    }
    FractintFile file = FractintConverter::convert(text);
    if (file.entries.empty()) {
        FXMessageBox::error(owner, MBOX_OK, "Error on loading file", " No entry found in '%s'.", fileName.c_str());
        return nullptr;
    }
    std::vector<std::string> names;
    for (const FractintEntry& entry : file.entries) names.push_back(entry.name);
    FractintEntryDialog dialog(owner, fileName, names);
    if (!dialog.execute(PLACEMENT_OWNER) || dialog.chosen() < 0) return nullptr;
    FractintEntry& entry = file.entries[static_cast<std::size_t>(dialog.chosen())];
    if (!entry.definition) {
        FXMessageBox::error(owner, MBOX_OK, "Error(s) on parsing", "Could not convert '%s';\n Errors: %s",
                            entry.name.c_str(), listed(entry.errors).c_str());
        return nullptr;
    }
    if (!entry.warnings.empty())
        FXMessageBox::warning(owner, MBOX_OK, "Warning(s) on parsing", "'%s' is converted approximately:%s",
                              entry.name.c_str(), listed(entry.warnings).c_str());
    return std::move(entry.definition);
}
