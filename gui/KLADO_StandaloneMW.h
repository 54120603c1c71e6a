#pragma once
// The workbench window: menus, tool bar, the 3-D view and the eight tabs in
// which the user edits the open definition. It owns the document (through
// the workbench), the undo list, the settings it restores and saves, and the
// recent-files list. A file named on the command line is loaded before the
// window shows (its problems then go to standard error) and computed once it
// does.

#include "editors/MessageBoxReporter.h"
#include "gui/MFXUndoCommand.h"
#include "gui/MFXUndoHolder.h"
#include "workbench/RecoveryStore.h"
#include "workbench/Workbench.h"

#include <fx.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class FXRealSpinDial;
class MFXAddEditTypedTable;
class MFXMaterialWell;
class MFXMatPaletteWell;
class WindowScheduler;
class MFXOSGCanvas;
class SymbolHelpTable;
class WindowIcons;

class KLADO_StandaloneMW : public FXMainWindow, public MFXUndoHolder {
    FXDECLARE(KLADO_StandaloneMW)
public:
    enum {
        ID_BACKGROUND = FXMainWindow::ID_LAST,
        ID_QUIT,
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
        ID_NAME,
        ID_ITERATIONS,
        ID_AXIOM,
        ID_SEED,
        ID_IDIRX,
        ID_IDIRY,
        ID_IDIRZ,
        ID_ROTX,
        ID_ROTY,
        ID_ROTZ,
        ID_COMPUTE,
        ID_ITEM,
        ID_SHAPE,
        ID_SHAPETYPE,
        ID_TWEAKS,
        ID_RECENT,
        ID_SHOW_PROBABILITIES,
        ID_SHOW_LEFT,
        ID_SHOW_RIGHT,
        ID_SHOW_CONSTRAINTS,
        ID_MULTICHAR,
        ID_LIGHT,
        // The three editable tables, in this order.
        ID_RULES,
        ID_IGNORE,
        ID_CONSTANTS,
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

    // Reads a definition file. With the window on screen the reader's
    // messages are shown in one box, else written on standard error. On
    // success the definition replaces the document, the undo list is cleared
    // and marked, the file joins the recent list and is computed; a failure
    // keeps the current document.
    bool load(const std::string& fileName);
    // Writes the document to the file; marks the undo list on success. A
    // failure keeps the old file and the document modified.
    bool saveTo(const std::string& fileName);
    // Save as: asks for a file name; false when cancelled or failed.
    bool saveAs();
    // Whether the caller may go on: asks to save a modified document.
    bool askSave();
    // A definition with at least one rule or a non-empty axiom.
    bool hasContent() const;
    // Differs from what was last saved or loaded, and has content.
    bool isModified() const;
    bool computeOnChange() const;
    bool pending() const { return myWorkbench.pending(); }
    // "NAME - KLADO", with an asterisk after the name while there are
    // unsaved edits.
    FXString titleText() const;
    // From now on keeps a recovery copy of unsaved edits in the folder; first
    // offers the copies that programs which ended without saving left there.
    void keepRecoveryCopies(const std::string& folder);

    Workbench& workbench() { return myWorkbench; }
    WindowScheduler& scheduler() { return *myScheduler; }
    MFXOSGCanvas* canvas() const { return myCanvas; }
    FXString statusText() const;
    FXRecentFiles& recentFiles() { return myRecentFiles; }
    FXTextField* nameField() const { return myNameField; }
    FXTextField* axiomField() const { return myAxiomField; }
    FXRealSpinDial* iterationsDial() const { return myIterationsDial; }
    FXRealSpinDial* seedDial() const { return mySeedDial; }
    FXRealSpinDial* directionDial(int axis) const { return myDirectionDials[axis]; }
    FXCheckButton* multiCharCheck() const { return myMultiCharCheck; }
    FXColorWell* backgroundWell() const { return myBackgroundWell; }
    MFXAddEditTypedTable* ruleTable() const { return myRuleTable; }
    MFXAddEditTypedTable* constantsTable() const { return myConstantsTable; }
    SymbolHelpTable* symbolHelpTable() const { return mySymbolHelpTable; }
    FXTreeList* statisticsTree() const { return myStatisticsTree; }
    FXButton* computeButton(int tab) const { return myComputeButtons[tab]; }

    long onUpdTitle(FXObject*, FXSelector, void*);
    long onCmdQuit(FXObject*, FXSelector, void*);
    long onCmdNew(FXObject*, FXSelector, void*);
    long onSigQuit(FXObject*, FXSelector, void*);
    long onCmdOpen(FXObject*, FXSelector, void*);
    long onCmdSave(FXObject*, FXSelector, void*);
    long onUpdSave(FXObject*, FXSelector, void*);
    long onCmdSaveAs(FXObject*, FXSelector, void*);
    long onUpdWithContent(FXObject*, FXSelector, void*);
    long onCmdExportImage(FXObject*, FXSelector, void*);
    long onCmdExportObject(FXObject*, FXSelector, void*);
    long onCmdClose(FXObject*, FXSelector, void*);
    long onCmdRecent(FXObject*, FXSelector, void*);
    long onCmdComputeOnChange(FXObject*, FXSelector, void*);
    long onUpdComputeOnChange(FXObject*, FXSelector, void*);
    long onCmdCenter(FXObject*, FXSelector, void*);
    long onCmdAbout(FXObject*, FXSelector, void*);
    long onCmdName(FXObject*, FXSelector, void*);
    long onCmdAxiom(FXObject*, FXSelector, void*);
    long onCmdIterations(FXObject*, FXSelector, void*);
    long onCmdSeed(FXObject*, FXSelector, void*);
    long onCmdRotation(FXObject*, FXSelector, void*);
    long onCmdMultiChar(FXObject*, FXSelector, void*);
    long onCmdCompute(FXObject*, FXSelector, void*);
    long onUpdCompute(FXObject*, FXSelector, void*);
    long onCmdItem(FXObject*, FXSelector, void*);
    long onCmdShape(FXObject*, FXSelector, void*);
    long onCmdTweaks(FXObject*, FXSelector, void*);
    long onCmdBackground(FXObject*, FXSelector, void*);
    long onCmdLight(FXObject*, FXSelector, void*);
    long onCmdRuleColumn(FXObject*, FXSelector, void*);
    long onUpdRuleColumn(FXObject*, FXSelector, void*);
    long onTableChanged(FXObject*, FXSelector, void*);
    long onFileWatch(FXObject*, FXSelector, void*);
    long onComputed(FXObject*, FXSelector, void*);
    long onComputing(FXObject*, FXSelector, void*);
    long onRecoveryTimer(FXObject*, FXSelector, void*);

protected:
    KLADO_StandaloneMW();
    // The dialogs the document's life asks; tests replace them.
    virtual FXuint askQuestion(const FXString& title, const FXString& text, FXuint buttons);
    virtual void showMessage(bool error, const FXString& title, const FXString& text);
    // Asks for a definition file to open (save false) or save to; false when
    // cancelled. The dialog opens in the folder last used for definitions.
    virtual bool chooseFile(bool save, FXString& fileName);

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
    class MFXUndoCommand_ShapeDef;
    class MFXUndoCommand_Tweaks;
    class MFXUndoCommand_EnvDef;
    class MFXUndoCommand_LightDef;

    void buildMenus();
    void buildToolBar(FXComposite* shell);
    void buildDefinitionTab(FXTabBook* book);
    void buildExtensionsTab(FXTabBook* book);
    void buildShapingTab(FXTabBook* book);
    void buildColoringTab(FXTabBook* book);
    void buildTweaksTab(FXTabBook* book);
    void buildEnvironmentTab(FXTabBook* book);
    void buildStatisticsTab(FXTabBook* book);
    void buildSymbolHelpTab(FXTabBook* book);
    FXVerticalFrame* addTab(FXTabBook* book, int icon, const char* tip);
    void addComputeButton(FXComposite* tab);

    // Records an edit that has already been made. A command that changes
    // nothing only closes the open entry it continues.
    void record(MFXUndoCommand* command, bool changed = true);
    // Whether a change message replays an undo or redo, or restores a dial.
    bool isReplay(FXObject* sender) const;

    void readSettings();
    void writeSettings();
    void updateTitle();
    void fillWidgets();
    void fillSymbolChoosers();
    void showShape();
    void showLight();
    void showStatistics();
    void clearTables();

    // Shows a special variable of the definition on its dial.
    void showSpecialVariable(FXRealSpinDial* dial, const char* name, double fallback);
    // The definition changed in a way that needs a new derivation.
    void recompute(bool force);
    // Only the interpretation changed; live while a widget is still dragged.
    void reinterpret(bool live = false);

    // The rows of a table, without the row about to be removed.
    void setRulesFromTable(FXint removedRow);
    void setIgnoredFromTable(FXint removedRow);
    void setConstantsFromTable(FXint removedRow);
    void fillRuleTable();
    void fillIgnoreTable();
    void fillConstantsTable();
    std::string chosenSymbol() const;
    ShapeDef shapeFromWidgets(const ShapeDef& base) const;
    LightDef lightFromWidgets() const;
    void applyShapes(const std::map<std::string, ShapeDef>& shapes, const std::string& symbol);
    void applyTweaks(const TweakMap& tweaks);
    void applyEnvironment(const EnvironmentMap& environment);
    void applyLight(int index, const LightDef& light);
    void setDocumentName(const std::string& name);
    // An empty document, every tab, the view, the status bar and the
    // statistics as a new one shows them.
    void newDocument();
    // Replaces the document by a new one when the user agrees to lose its edits.
    void closeDocument();
    void rememberFileTime();
    // Loads the file; with a view, shows the new model from there.
    bool loadDocument(const std::string& fileName, const CameraDef* view);
    // Asks the view for a frame at the next idle moment.
    void requestFrame();
    // The document as saving would write it.
    std::string documentText();
    // Offers each copy that a program left in the recovery folder.
    void offerLeftCopies();
    // Opens the copy's edits as a modified document of its original file.
    bool restoreCopy(const RecoveryCopy& copy);

    WindowReporter myReporter;
    Workbench myWorkbench;
    FXRecentFiles myRecentFiles;
    std::unique_ptr<WindowIcons> myIcons;
    std::unique_ptr<WindowScheduler> myScheduler;
    // Unsaved edits kept on disk; none in tests that never ask for it.
    std::unique_ptr<RecoveryStore> myRecovery;
    bool myOfferLeftCopies = false;
    // A document loaded before the window was on the screen is computed
    // once it is.
    bool myComputeWhenShown = false;
    // When the open file was last changed, as last seen.
    FXTime myFileTime = 0;
    FXString myDataDir;
    bool myShowGLControls = true;
    int myCurrentLight = 0;
    // The last iteration count recorded, so that a value typed again adds
    // no command.
    int myLastIterations = 3;

    FXMenuBar* myMenuBar = nullptr;
    std::vector<FXMenuPane*> myMenus;
    FXToolBarShell* myMenuShell = nullptr;
    FXToolBarShell* myToolShell = nullptr;
    FXStatusBar* myStatusBar = nullptr;
    FXSplitter* mySplitter = nullptr;
    FXGLVisual* myVisual = nullptr;
    MFXOSGCanvas* myCanvas = nullptr;
    FXVerticalFrame* myPanel = nullptr;
    std::array<FXButton*, 8> myComputeButtons{};

    FXTextField* myNameField = nullptr;
    FXCheckButton* myMultiCharCheck = nullptr;
    FXTextField* myAxiomField = nullptr;
    FXRealSpinDial* myIterationsDial = nullptr;
    MFXAddEditTypedTable* myRuleTable = nullptr;
    std::array<bool, 4> myRuleColumnShown{true, true, true, true};
    std::array<FXRealSpinDial*, 3> myRotationDials{};
    std::array<FXRealSpinDial*, 3> myDirectionDials{};
    MFXAddEditTypedTable* myIgnoreTable = nullptr;
    MFXAddEditTypedTable* myConstantsTable = nullptr;

    FXListBox* myShapeItem = nullptr;
    FXCheckButton* myInterpretedCheck = nullptr;
    FXCheckButton* myVisibleCheck = nullptr;
    FXListBox* myShapeType = nullptr;
    FXSwitcher* myShapePanels = nullptr;
    // Per shape type: length, width, second width.
    std::array<std::array<FXRealSpinDial*, 3>, 5> myShapeDials{};
    std::array<FXListBox*, 5> myQualityBoxes{};
    std::array<std::array<FXListBox*, 2>, 5> myCapBoxes{};
    std::array<FXCheckButton*, 5> myAddLineChecks{};

    FXListBox* myColorItem = nullptr;
    FXListBox* myColoringType = nullptr;
    FXSwitcher* myColorPanels = nullptr;
    MFXMaterialWell* myMaterialWell = nullptr;
    MFXMatPaletteWell* myPaletteWell = nullptr;
    FXRealSpinDial* myOffsetDial = nullptr;
    FXRealSpinDial* myStartDial = nullptr;
    FXRealSpinDial* myEndDial = nullptr;
    FXSwitcher* myPaletteRange = nullptr;

    std::array<FXRealSpinDial*, 3> myTropismDials{};
    FXRealSpinDial* myTropismStrength = nullptr;
    FXRealSpinDial* mySeedDial = nullptr;

    FXColorWell* myBackgroundWell = nullptr;
    FXListBox* myLightBox = nullptr;
    FXCheckButton* myLightOn = nullptr;
    std::array<FXColorWell*, 3> myLightColors{};
    std::array<FXRealSpinDial*, 3> myLightPosition{};

    FXTreeList* myStatisticsTree = nullptr;
    SymbolHelpTable* mySymbolHelpTable = nullptr;
};
