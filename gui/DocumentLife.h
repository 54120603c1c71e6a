#pragma once
// The life of the window's document: new, open (definition files and
// Fractint entries), save, save as, close, the recent files, the watch on the
// open file and the recovery copy of unsaved edits. It owns no widget: what
// it asks and shows goes through its host, the main window, so that it runs
// with a scripted host as well.

#include "diagnostics/FailureReporter.h"
#include "gui/MFXRecoveryDialog.h"
#include "workbench/RecoveryStore.h"
#include "workbench/Workbench.h"

#include <fx.h>

#include <memory>
#include <string>

class MFXUndoHolder;

class DocumentLife {
public:
    // What the document's life asks of the window.
    class Host {
    public:
        virtual ~Host() = default;
        virtual FXuint askQuestion(const FXString& title, const FXString& text, FXuint buttons) = 0;
        virtual void showMessage(bool error, const FXString& title, const FXString& text) = 0;
        // A definition file to open (save false) or save to; false when cancelled.
        virtual bool chooseFile(bool save, FXString& fileName) = 0;
        // The entry of a Fractint file the user opens; null when none.
        virtual std::unique_ptr<LSystemDefinition> chooseFractintEntry(const std::string& fileName) = 0;
        virtual MFXRecoveryDialog::Answer askRestore(const FXString& text) = 0;
        // Whether the window is on the screen: before, problems go to
        // standard error and the computation waits until it is.
        virtual bool onScreen() const = 0;
        // Whether a new definition uses multi-character words.
        virtual bool multiCharWords() const = 0;
        // Stops a running computation, which reads the document.
        virtual void stopComputing() = 0;
        // The document was replaced: every tab shows it; a new (empty) one
        // also empties the view, the statistics and the status bar.
        virtual void documentReplaced(bool empty) = 0;
        // Derives and shows the document now.
        virtual void computeDocument() = 0;
        // The definition's name or the file's changed.
        virtual void nameChanged() = 0;
        virtual void showStatus(const FXString& text) = 0;
    };

    DocumentLife(Host& host, Workbench& workbench, MFXUndoHolder& undo, FXRecentFiles& recentFiles,
                 FailureReporter& reporter);
    ~DocumentLife();

    // A definition with at least one rule or a non-empty axiom.
    bool hasContent() const;
    // Differs from what was last saved or loaded, and has content.
    bool isModified() const;
    // "NAME - APP", with an asterisk after the name while there are unsaved
    // edits; "<unnamed>" for a modified document without a file.
    FXString title(const FXString& appName) const;

    // An empty document with the window's defaults; the undo list is left alone.
    void newDocument();
    // Replaces the document by a new one when the user agrees to lose its edits.
    void close();
    // Reads a definition file. With the window on screen the reader's
    // messages are shown in one box, else written on standard error. On
    // success the definition replaces the document, the undo list is cleared
    // and marked, the file joins the recent list and is computed (with a
    // view, shown from there); a failure keeps the current document.
    bool load(const std::string& fileName, const CameraDef* view = nullptr);
    // Asks for a file and opens it: a definition, or an entry of a Fractint
    // file as a new, unnamed and unsaved document.
    void open();
    // Opens a file of the recent list; one that fails leaves the list.
    void openRecent(const FXString& fileName);
    // Writes the document to the file; marks the undo list on success. A
    // failure keeps the old file and the document modified; a file changed on
    // disk since it was read is overwritten only when the user agrees.
    bool saveTo(const std::string& fileName);
    // Save as: asks for a file name; false when cancelled or failed.
    bool saveAs();
    // Save: to the open file, or as a new one.
    bool save();
    // Whether the caller may go on: asks to save a modified document.
    bool askSave();
    // Before the program ends: the recovery copy goes.
    void quit();
    // The document as saving would write it.
    std::string text();

    // Called now and then: a file changed on disk is read again, unless the
    // document holds unsaved edits, which are kept. False when the file has
    // not changed.
    bool watchFile();
    // True once when a document loaded before the window showed is to be
    // computed.
    bool takeComputeWhenShown();

    // From now on keeps a recovery copy of unsaved edits in the folder; the
    // next look first offers the copies that programs which ended without
    // saving left there.
    void keepRecoveryCopies(const std::string& folder);
    bool keepsRecoveryCopies() const { return myRecovery != nullptr; }
    // Called now and then with the time in seconds, while nothing computes.
    // True when it had something to say in the status bar.
    bool lookAfterRecovery(double now);

private:
    void rememberFileTime();
    void offerLeftCopies();
    // Opens the copy's edits as a modified document of its original file.
    bool restoreCopy(const RecoveryCopy& copy);

    Host& myHost;
    Workbench& myWorkbench;
    MFXUndoHolder& myUndo;
    FXRecentFiles& myRecentFiles;
    FailureReporter& myReporter;
    // Unsaved edits kept on disk; none until asked for.
    std::unique_ptr<RecoveryStore> myRecovery;
    bool myOfferLeftCopies = false;
    bool myComputeWhenShown = false;
    // When the open file was last changed, as read or written here, and as
    // last seen by the watch.
    FXTime myFileTime = 0;
    FXTime myNoticedTime = 0;
};
