#include "gui/DocumentLife.h"

#include "definition_io/DefinitionWriter.h"
#include "diagnostics/ErrorHandler.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelKit.h"
#include "lsys/LSystem.h"
#include "lsys/String2IDManager.h"

#include <iostream>

DocumentLife::DocumentLife(Host& host, Workbench& workbench, MFXUndoHolder& undo, FXRecentFiles& recentFiles,
                           FailureReporter& reporter)
    : myHost(host), myWorkbench(workbench), myUndo(undo), myRecentFiles(recentFiles), myReporter(reporter) {}

DocumentLife::~DocumentLife() = default;

bool DocumentLife::hasContent() const {
    const LSystemDefinition& definition = myWorkbench.definition();
    return !definition.getRules().empty() || !definition.getAxiom().empty();
}

bool DocumentLife::isModified() const { return !myUndo.undoList.marked() && hasContent(); }

FXString DocumentLife::title(const FXString& appName) const {
    const std::string& fileName = myWorkbench.fileName();
    const FXString mark = isModified() ? "*" : "";
    if (fileName.empty()) return isModified() ? "<unnamed>* - " + appName : appName;
    FXString name = FXPath::name(fileName.c_str());
    const FXint dot = name.find('.');
    if (dot >= 0) name = name.left(dot);
    return name + mark + " - " + appName;
}

void DocumentLife::newDocument() {
    myHost.stopComputing();
    myWorkbench.replaceDocument(std::make_unique<LSystemDefinition>(), "", false);
    // A new definition starts from the window's own defaults.
    myWorkbench.setSpecialVariable("_steps", defaultIterations);
    for (int i = 0; i < 3; ++i) {
        myWorkbench.setSpecialVariable(rotationVariables[i], 0);
        myWorkbench.setSpecialVariable(directionVariables[i], 0);
    }
    myWorkbench.setSpecialVariable("_seed", defaultSeed);
    myWorkbench.setSpecialVariable("_multichar", myHost.multiCharWords() ? 1 : 0);
    myHost.documentReplaced(true);
    myHost.nameChanged();
    rememberFileTime();
}

void DocumentLife::close() {
    if (!askSave()) return;
    if (myRecovery) myRecovery->drop();
    newDocument();
    myUndo.undoList.clear();
    myUndo.undoList.mark();
}

bool DocumentLife::askSave() {
    if (!isModified()) return true;
    LSystemDefinition& definition = myWorkbench.definition();
    if (definition.getName().empty()) {
        definition.setName("<unnamed>");
        myHost.nameChanged();
    }
    const FXString text = FXStringFormat("Save '%s' to file?", definition.getName().c_str());
    const FXuint answer = myHost.askQuestion("Unsaved Document", text, MBOX_YES_NO_CANCEL);
    if (answer == MBOX_CLICKED_CANCEL) return false;
    if (answer == MBOX_CLICKED_NO) return true;
    if (myWorkbench.fileName().empty()) return saveAs();
    // A save that fails stops what asked, so that the edits are not lost.
    return saveTo(myWorkbench.fileName());
}

void DocumentLife::quit() {
    if (myRecovery) myRecovery->drop();
}

bool DocumentLife::load(const std::string& fileName, const CameraDef* view) {
    myHost.stopComputing();
    if (myHost.onScreen()) {
        tov::StoringErrorHandler problems;
        const bool loaded = myWorkbench.load(fileName, problems);
        if (problems.hasMessages()) {
            const bool errors = problems.hasErrors();
            problems.reset();
            const std::string joined = tov::joinMessages(problems);
            if (errors)
                myHost.showMessage(
                    true, "Error(s) on parsing",
                    FXStringFormat("Could not parse '%s';\n Errors: %s", fileName.c_str(), joined.c_str()));
            else
                myHost.showMessage(false, "Warning(s) on parsing",
                                   FXStringFormat("Warnings occured while parsing '%s':\n Warnings: %s",
                                                  fileName.c_str(), joined.c_str()));
        }
        if (!loaded) return false;
    } else {
        // Before the window shows, problems of the file and of its
        // compilation go to standard error, as in batch use.
        tov::ReportingErrorHandler problems(std::cerr);
        if (!myWorkbench.load(fileName, problems)) return false;
        if (!buildLSystem(myWorkbench.definition(), String2IDManager::instance(), problems) || problems.hasErrors())
            return false;
        myComputeWhenShown = true;
    }
    if (view) myWorkbench.currentCamera() = *view;
    myUndo.undoList.clear();
    myUndo.undoList.mark();
    // Kept absolute, so that the list works from any folder.
    myRecentFiles.appendFile(FXPath::absolute(fileName.c_str()));
    myHost.documentReplaced(false);
    myHost.nameChanged();
    rememberFileTime();
    if (myHost.onScreen()) myHost.computeDocument();
    return true;
}

void DocumentLife::open() {
    if (!askSave()) return;
    FXString fileName;
    if (!myHost.chooseFile(false, fileName)) return;
    if (FXPath::extension(fileName) != "l") {
        load(fileName.text());
        return;
    }
    // An entry of a Fractint file becomes a new, unnamed and unsaved document.
    std::unique_ptr<LSystemDefinition> entry = myHost.chooseFractintEntry(fileName.text());
    if (!entry) return;
    myWorkbench.replaceDocument(std::move(entry), "", true);
    myUndo.undoList.clear();
    myHost.documentReplaced(false);
    myHost.nameChanged();
    rememberFileTime();
    myHost.computeDocument();
}

void DocumentLife::openRecent(const FXString& fileName) {
    if (!askSave()) return;
    if (!load(fileName.text())) myRecentFiles.removeFile(fileName);
}

void DocumentLife::rememberFileTime() {
    myFileTime = myWorkbench.fileName().empty() ? 0 : FXStat::modified(myWorkbench.fileName().c_str());
    myNoticedTime = myFileTime;
}

bool DocumentLife::saveTo(const std::string& fileName) {
    // Another program (an editor, a second window) wrote the open file since
    // it was read: its change is not overwritten without asking.
    if (fileName == myWorkbench.fileName() && myFileTime != 0) {
        const FXTime modified = FXStat::modified(fileName.c_str());
        if (modified != 0 && modified != myFileTime &&
            myHost.askQuestion(
                "File Changed",
                FXStringFormat("'%s' changed on disk since it was opened. Overwrite it?", fileName.c_str()),
                MBOX_YES_NO) != MBOX_CLICKED_YES)
            return false;
    }
    if (!saveDefinition(fileName, myWorkbench.sheet(), myWorkbench.definition(), myReporter)) return false;
    myWorkbench.setFileName(fileName);
    // Typing that goes on after the save is a new edit.
    myUndo.markSaved();
    if (myRecovery) myRecovery->drop();
    myRecentFiles.appendFile(FXPath::absolute(fileName.c_str()));
    myHost.nameChanged();
    rememberFileTime();
    return true;
}

std::string DocumentLife::text() { return definitionText(myWorkbench.sheet(), myWorkbench.definition()); }

bool DocumentLife::saveAs() {
    FXString fileName;
    if (!myHost.chooseFile(true, fileName)) return false;
    if (FXPath::extension(fileName) != "kld") {
        // Offer the name once more with the definition extension.
        fileName = FXPath::directory(fileName).empty()
                       ? FXPath::title(fileName) + ".kld"
                       : FXPath::directory(fileName) + PATHSEPSTRING + FXPath::title(fileName) + ".kld";
        if (!myHost.chooseFile(true, fileName)) return false;
    }
    if (FXStat::exists(fileName) &&
        myHost.askQuestion("File Exists", FXStringFormat("Overwrite '%s'?", fileName.text()), MBOX_YES_NO) !=
            MBOX_CLICKED_YES)
        return false;
    return saveTo(fileName.text());
}

bool DocumentLife::save() {
    if (myWorkbench.fileName().empty()) return saveAs();
    return saveTo(myWorkbench.fileName());
}

bool DocumentLife::watchFile() {
    const std::string& fileName = myWorkbench.fileName();
    if (fileName.empty()) return false;
    const FXTime modified = FXStat::modified(fileName.c_str());
    if (modified == 0 || modified == myNoticedTime) return false;
    // The time the file was opened or saved stays: saving the kept edits
    // still asks before it overwrites the change.
    myNoticedTime = modified;
    if (!myUndo.undoList.marked()) {
        myHost.showStatus("The file changed on disk; the unsaved edits are kept. Save or reopen to decide.");
        return true;
    }
    // Reload and keep looking from where the user looks now.
    const CameraDef view = myWorkbench.currentCamera();
    if (load(fileName, &view)) myHost.showStatus("Reloaded the definition changed on disk.");
    return true;
}

bool DocumentLife::takeComputeWhenShown() {
    const bool compute = myComputeWhenShown;
    myComputeWhenShown = false;
    return compute;
}
