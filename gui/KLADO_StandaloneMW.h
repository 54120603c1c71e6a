#pragma once
// The workbench window: the menus, the tool bar, the status bar, and a
// splitter with the 3-D view on one side and the eight tabs on the other.
// Each tab is a panel of its own (gui/panels) that edits its part of the
// document; the document's life (open, save, close, the file watch, the
// recovery copy) is DocumentLife's. The window wires them together: it owns
// the workbench, the undo list, the scheduler of frames and computations,
// the settings it restores and saves, and the recent-files list. A file
// named on the command line is loaded before the window shows (its problems
// then go to standard error) and computed once it does.

#include "editors/MessageBoxReporter.h"
#include "gui/DocumentLife.h"
#include "gui/MFXUndoHolder.h"
#include "gui/panels/PanelHost.h"
#include "workbench/Workbench.h"

#include <fx.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

class ColoringPanel;
class DefinitionPanel;
class EnvironmentPanel;
class ExtensionsPanel;
class MFXOSGCanvas;
class ShapingPanel;
class StatisticsPanel;
class StepBar;
class SymbolHelpPanel;
class SymbolShapes;
class TweaksPanel;
class WindowIcons;
class WindowScheduler;

class KLADO_StandaloneMW : public FXMainWindow, public MFXUndoHolder, private PanelHost, private DocumentLife::Host {
    FXDECLARE(KLADO_StandaloneMW)
public:
    enum {
        ID_QUIT = FXMainWindow::ID_LAST,
        ID_NEW,
        ID_OPEN,
        ID_SAVE,
        ID_SAVEAS,
        ID_EXPORT_IMAGE,
        ID_EXPORT_OBJECT,
        ID_CLOSE,
        ID_COMPUTE_ON_CHANGE,
        ID_CENTER,
        ID_ABOUT,
        ID_COMPUTE,
        ID_RECENT,
        ID_FILE_WATCH,
        ID_COMPUTED,
        ID_RECOVERY,
        ID_LAST
    };

    explicit KLADO_StandaloneMW(FXApp* app);
    ~KLADO_StandaloneMW() override;

    void create() override;
    // Every widget and menu entry refreshes its state on the next update pass.
    void undoChanged() override;

    // The document's life (DocumentLife says what each does).
    bool load(const std::string& fileName) { return myDocument->load(fileName); }
    bool saveTo(const std::string& fileName) { return myDocument->saveTo(fileName); }
    bool saveAs() { return myDocument->saveAs(); }
    bool askSave() { return myDocument->askSave(); }
    bool hasContent() const { return myDocument->hasContent(); }
    bool isModified() const { return myDocument->isModified(); }
    // "NAME - KLADO", with an asterisk after the name while there are
    // unsaved edits.
    FXString titleText() const;
    // From now on keeps a recovery copy of unsaved edits in the folder; first
    // offers the copies that programs which ended without saving left there.
    void keepRecoveryCopies(const std::string& folder);

    bool computeOnChange() const;
    bool pending() const { return myWorkbench.pending(); }
    Workbench& workbench() override { return myWorkbench; }
    WindowScheduler& scheduler() { return *myScheduler; }
    MFXOSGCanvas* canvas() const { return myCanvas; }
    StepBar* stepBar() const { return myStepBar; }
    FXString statusText() const;
    FXRecentFiles& recentFiles() { return myRecentFiles; }
    FXButton* computeButton(int tab) const { return myComputeButtons[tab]; }

    DefinitionPanel* definitionPanel() const { return myDefinitionPanel; }
    ExtensionsPanel* extensionsPanel() const { return myExtensionsPanel; }
    ShapingPanel* shapingPanel() const { return myShapingPanel; }
    ColoringPanel* coloringPanel() const { return myColoringPanel; }
    TweaksPanel* tweaksPanel() const { return myTweaksPanel; }
    EnvironmentPanel* environmentPanel() const { return myEnvironmentPanel; }
    StatisticsPanel* statisticsPanel() const { return myStatisticsPanel; }
    SymbolHelpPanel* symbolHelpPanel() const { return mySymbolHelpPanel; }

    long onUpdTitle(FXObject*, FXSelector, void*);
    long onCmdQuit(FXObject*, FXSelector, void*);
    long onSigQuit(FXObject*, FXSelector, void*);
    long onCmdNew(FXObject*, FXSelector, void*);
    long onCmdOpen(FXObject*, FXSelector, void*);
    long onCmdSave(FXObject*, FXSelector, void*);
    long onUpdSave(FXObject*, FXSelector, void*);
    long onCmdSaveAs(FXObject*, FXSelector, void*);
    long onUpdWithContent(FXObject*, FXSelector, void*);
    long onCmdExportImage(FXObject*, FXSelector, void*);
    long onCmdExportObject(FXObject*, FXSelector, void*);
    long onCmdRecent(FXObject*, FXSelector, void*);
    long onCmdComputeOnChange(FXObject*, FXSelector, void*);
    long onUpdComputeOnChange(FXObject*, FXSelector, void*);
    long onCmdCenter(FXObject*, FXSelector, void*);
    long onCmdAbout(FXObject*, FXSelector, void*);
    long onCmdCompute(FXObject*, FXSelector, void*);
    long onUpdCompute(FXObject*, FXSelector, void*);
    long onFileWatch(FXObject*, FXSelector, void*);
    long onComputed(FXObject*, FXSelector, void*);
    long onComputing(FXObject*, FXSelector, void*);
    long onRecoveryTimer(FXObject*, FXSelector, void*);

protected:
    KLADO_StandaloneMW();
    // The dialogs the document's life asks; tests replace them.
    FXuint askQuestion(const FXString& title, const FXString& text, FXuint buttons) override;
    void showMessage(bool error, const FXString& title, const FXString& text) override;
    // Asks for a definition file to open (save false) or save to; false when
    // cancelled. The dialog opens in the folder last used for definitions.
    bool chooseFile(bool save, FXString& fileName) override;

private:
    // Boxes once the window is on the screen, standard error before.
    class WindowReporter : public MessageBoxReporter {
    public:
        explicit WindowReporter(KLADO_StandaloneMW& window) : MessageBoxReporter(&window), myWindow(window) {}
        void report(const std::string& title, const std::string& text) override;
        void warn(const std::string& title, const std::string& text) override;

    private:
        KLADO_StandaloneMW& myWindow;
    };

    // What the tabs ask of the window.
    MFXUndoHolder& undoHolder() override { return *this; }
    void recompute() override;
    void recomputeLive() override;
    void reinterpret() override;
    void reinterpretLive() override;
    void requestFrame() override;
    void showError(const FXString& title, const FXString& text) override;

    // What the document's life asks of the window.
    std::unique_ptr<LSystemDefinition> chooseFractintEntry(const std::string& fileName) override;
    MFXRecoveryDialog::Answer askRestore(const FXString& text) override;
    bool onScreen() const override { return shown(); }
    bool multiCharWords() const override;
    void stopComputing() override;
    void documentReplaced(bool empty) override;
    void computeDocument() override;
    void nameChanged() override;
    void showStatus(const FXString& text) override;

    void buildMenus();
    void buildToolBar(FXComposite* shell);
    void buildTabs(FXComposite* parent);
    // A tab of the book: its button and the scrolling page the panel fills.
    FXComposite* addTab(FXTabBook* book, int icon, const char* tip);
    void addComputeButton(FXComposite* panel);

    void readSettings();
    void writeSettings();
    void updateTitle();
    // Every tab shows the document.
    void showDocument();
    // The symbols and statistics of the document before go.
    void clearTables();

    WindowReporter myReporter;
    Workbench myWorkbench;
    FXRecentFiles myRecentFiles;
    std::unique_ptr<WindowIcons> myIcons;
    std::unique_ptr<WindowScheduler> myScheduler;
    std::unique_ptr<DocumentLife> myDocument;
    std::unique_ptr<SymbolShapes> mySymbolShapes;
    FXString myDataDir;
    bool myShowGLControls = true;

    FXMenuBar* myMenuBar = nullptr;
    std::vector<FXMenuPane*> myMenus;
    FXToolBarShell* myMenuShell = nullptr;
    FXToolBarShell* myToolShell = nullptr;
    FXStatusBar* myStatusBar = nullptr;
    FXSplitter* mySplitter = nullptr;
    FXGLVisual* myVisual = nullptr;
    MFXOSGCanvas* myCanvas = nullptr;
    StepBar* myStepBar = nullptr;
    FXVerticalFrame* myPanel = nullptr;
    std::array<FXButton*, 8> myComputeButtons{};

    DefinitionPanel* myDefinitionPanel = nullptr;
    ExtensionsPanel* myExtensionsPanel = nullptr;
    ShapingPanel* myShapingPanel = nullptr;
    ColoringPanel* myColoringPanel = nullptr;
    TweaksPanel* myTweaksPanel = nullptr;
    EnvironmentPanel* myEnvironmentPanel = nullptr;
    StatisticsPanel* myStatisticsPanel = nullptr;
    SymbolHelpPanel* mySymbolHelpPanel = nullptr;
};
