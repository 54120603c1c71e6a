#include "gui/KLADO_StandaloneMW.h"

#include "gui/ExportDialogs.h"
#include "gui/FractintEntryDialog.h"
#include "gui/MFXOSGCanvas.h"
#include "gui/StepBar.h"
#include "gui/WindowIcons.h"
#include "gui/WindowPlacement.h"
#include "gui/WindowScheduler.h"
#include "gui/panels/ColoringPanel.h"
#include "gui/panels/DefinitionPanel.h"
#include "gui/panels/EnvironmentPanel.h"
#include "gui/panels/ExtensionsPanel.h"
#include "gui/panels/ShapingPanel.h"
#include "gui/panels/StatisticsPanel.h"
#include "gui/panels/SymbolHelpPanel.h"
#include "gui/panels/SymbolShapes.h"
#include "gui/panels/TweaksPanel.h"

#include <fx3d.h>

#include <algorithm>
#include <chrono>
#include <iostream>

void KLADO_StandaloneMW::WindowReporter::report(const std::string& title, const std::string& text) {
    if (myWindow.shown())
        myWindow.showMessage(true, title.c_str(), text.c_str());
    else
        std::cerr << title << ":" << std::endl << text << std::endl;
}

void KLADO_StandaloneMW::WindowReporter::warn(const std::string& title, const std::string& text) {
    if (myWindow.shown())
        myWindow.showMessage(false, title.c_str(), text.c_str());
    else
        std::cerr << title << ":" << std::endl << text << std::endl;
}

// clang-format off
FXDEFMAP(KLADO_StandaloneMW) KLADO_StandaloneMWMap[] = {
    FXMAPFUNC(SEL_UPDATE, 0, KLADO_StandaloneMW::onUpdTitle),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_QUIT, KLADO_StandaloneMW::onCmdQuit),
    FXMAPFUNC(SEL_SIGNAL, KLADO_StandaloneMW::ID_QUIT, KLADO_StandaloneMW::onSigQuit),
    FXMAPFUNC(SEL_CLOSE, 0, KLADO_StandaloneMW::onCmdQuit),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_NEW, KLADO_StandaloneMW::onCmdNew),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_CLOSE, KLADO_StandaloneMW::onCmdNew),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_OPEN, KLADO_StandaloneMW::onCmdOpen),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SAVE, KLADO_StandaloneMW::onCmdSave),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_SAVE, KLADO_StandaloneMW::onUpdSave),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SAVEAS, KLADO_StandaloneMW::onCmdSaveAs),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_SAVEAS, KLADO_StandaloneMW::onUpdWithContent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_EXPORT_IMAGE, KLADO_StandaloneMW::onCmdExportImage),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_EXPORT_IMAGE, KLADO_StandaloneMW::onUpdWithContent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_EXPORT_OBJECT, KLADO_StandaloneMW::onCmdExportObject),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_EXPORT_OBJECT, KLADO_StandaloneMW::onUpdWithContent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_RECENT, KLADO_StandaloneMW::onCmdRecent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_COMPUTE_ON_CHANGE, KLADO_StandaloneMW::onCmdComputeOnChange),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_COMPUTE_ON_CHANGE, KLADO_StandaloneMW::onUpdComputeOnChange),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_CENTER, KLADO_StandaloneMW::onCmdCenter),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_ABOUT, KLADO_StandaloneMW::onCmdAbout),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_COMPUTE, KLADO_StandaloneMW::onCmdCompute),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_COMPUTE, KLADO_StandaloneMW::onUpdCompute),
    FXMAPFUNC(SEL_TIMEOUT, KLADO_StandaloneMW::ID_FILE_WATCH, KLADO_StandaloneMW::onFileWatch),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_COMPUTED, KLADO_StandaloneMW::onComputed),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_COMPUTED, KLADO_StandaloneMW::onComputing),
    FXMAPFUNC(SEL_TIMEOUT, KLADO_StandaloneMW::ID_RECOVERY, KLADO_StandaloneMW::onRecoveryTimer),
};
// clang-format on

FXIMPLEMENT(KLADO_StandaloneMW, FXMainWindow, KLADO_StandaloneMWMap, ARRAYNUMBER(KLADO_StandaloneMWMap))

namespace {

// The settings that the export and material dialogs keep: directories, and
// numbers with their defaults.
const std::pair<const char*, const char*> keptDirectories[] = {{"ImgExport", "imgdir"},
                                                               {"SETTINGS", "objdir"},
                                                               {"SETTINGS", "matdir"},
                                                               {"MaterialIO", "paldir"},
                                                               {"MaterialIO", "palimportdir"}};
struct KeptNumber {
    const char* section;
    const char* key;
    FXint initial;
};
const KeptNumber keptNumbers[] = {{"ImgExport", "imgtype", 0},
                                  {"ImgExport", "imgwidth", 600},
                                  {"ImgExport", "imgheight", 400},
                                  {"MaterialIO", "importtype", 0}};
constexpr FXuint fileWatchInterval = 500; // ms between looks at the open file
constexpr FXuint recoveryInterval = 1000; // ms between looks at the document

} // namespace

KLADO_StandaloneMW::KLADO_StandaloneMW() : MFXUndoHolder(30, 10), myReporter(*this), myWorkbench(myReporter) {}

KLADO_StandaloneMW::KLADO_StandaloneMW(FXApp* app)
    : FXMainWindow(app, "KLADO", nullptr, nullptr, DECOR_ALL, 0, 0, 600, 400), MFXUndoHolder(30, 10), myReporter(*this),
      myWorkbench(myReporter), myRecentFiles(app, "Recent Files", this, ID_RECENT),
      myIcons(std::make_unique<WindowIcons>(app)),
      myScheduler(std::make_unique<WindowScheduler>(this, myWorkbench, myReporter, this, ID_COMPUTED)),
      myDocument(std::make_unique<DocumentLife>(static_cast<DocumentLife::Host&>(*this), myWorkbench, *this,
                                                myRecentFiles, myReporter)),
      mySymbolShapes(std::make_unique<SymbolShapes>(static_cast<PanelHost&>(*this))) {
    myRecentFiles.setMaxFiles(10);
    setIcon((*myIcons)[WindowIcons::Program]);
    setMiniIcon((*myIcons)[WindowIcons::Program]);

    myMenuShell = new FXToolBarShell(this, FRAME_RAISED);
    myMenuBar = new FXMenuBar(this, myMenuShell, LAYOUT_SIDE_TOP | LAYOUT_FILL_X);
    new FXToolBarGrip(myMenuBar, myMenuBar, FXMenuBar::ID_TOOLBARGRIP, TOOLBARGRIP_DOUBLE);
    myToolShell = new FXToolBarShell(this, FRAME_RAISED);
    buildToolBar(myToolShell);
    myStatusBar = new FXStatusBar(this, LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X | STATUSBAR_WITH_DRAGCORNER);

    mySplitter = new FXSplitter(this, SPLITTER_HORIZONTAL | SPLITTER_REVERSED | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    auto* viewSide = new FXVerticalFrame(mySplitter, LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    auto* viewFrame =
        new FXHorizontalFrame(viewSide, FRAME_SUNKEN | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    myVisual = new FXGLVisual(app, VISUAL_DOUBLEBUFFER | VISUAL_STEREO);
    myCanvas = new MFXOSGCanvas(viewFrame, myVisual, myWorkbench.view(), myScheduler.get(), WindowScheduler::ID_VIEW,
                                LAYOUT_FILL_X | LAYOUT_FILL_Y);
    myScheduler->setCanvas(myCanvas);
    // Under the view, whichever tab is open: it chooses what the view shows.
    myStepBar = new StepBar(viewSide, myWorkbench, *myScheduler);
    myPanel = new FXVerticalFrame(mySplitter, LAYOUT_FILL_Y | LAYOUT_FIX_WIDTH, 0, 0, 360, 0, 0, 0, 0, 0);
    buildTabs(myPanel);
    // The menus reach into the tabs (the rule table's columns).
    buildMenus();

    myDocument->newDocument();
    undoList.mark();
}

KLADO_StandaloneMW::~KLADO_StandaloneMW() {
    getApp()->removeTimeout(this, ID_FILE_WATCH);
    getApp()->removeTimeout(this, ID_RECOVERY);
    // The worker reads the document: it stops before anything goes.
    myScheduler->finish();
    myScheduler->setCanvas(nullptr);
    // The view and the tables refer to the workbench and the undo holder,
    // which go before the window's children would.
    delete mySplitter;
    // Menu panes are children of the root window: they go with their owner.
    for (FXMenuPane* menu : myMenus) delete menu;
    delete myMenuShell;
    delete myToolShell;
    delete myVisual;
}

void KLADO_StandaloneMW::buildMenus() {
    const auto pane = [this](const char* title) {
        auto* menu = new FXMenuPane(this);
        myMenus.push_back(menu);
        new FXMenuTitle(myMenuBar, title, nullptr, menu);
        return menu;
    };
    FXMenuPane* file = pane("&File");
    new FXMenuCommand(file, "&New\tCtl-N\tStart a new definition.", nullptr, this, ID_NEW);
    new FXMenuCommand(file, "&Open...\tCtl-O\tOpen KLADO file.", (*myIcons)[WindowIcons::Open], this, ID_OPEN);
    new FXMenuCommand(file, "&Save...\tCtl-S\tSave changes to file.", (*myIcons)[WindowIcons::Save], this, ID_SAVE);
    new FXMenuCommand(file, "Save &As...\tCtl-U\tSave definition to another file.", (*myIcons)[WindowIcons::SaveAs],
                      this, ID_SAVEAS);
    new FXMenuCommand(file, "Export &Image...", (*myIcons)[WindowIcons::ExportImage], this, ID_EXPORT_IMAGE);
    new FXMenuCommand(file, "E&xport Object...", (*myIcons)[WindowIcons::ExportObject], this, ID_EXPORT_OBJECT);
    new FXMenuCommand(file, "&Close\t\tClose definition.", nullptr, this, ID_CLOSE);
    // Shown only with recent files: the one below then separates alone.
    FXMenuSeparator* recentSeparator = new FXMenuSeparator(file);
    recentSeparator->setTarget(&myRecentFiles);
    recentSeparator->setSelector(FXRecentFiles::ID_ANYFILES);
    for (int i = 0; i < 10; ++i)
        new FXMenuCommand(file, FXString::null, nullptr, &myRecentFiles, FXRecentFiles::ID_FILE_1 + i);
    new FXMenuCommand(file, "Clear &Recent Files", nullptr, &myRecentFiles, FXRecentFiles::ID_CLEAR);
    new FXMenuSeparator(file);
    new FXMenuCommand(file, "&Quit\tCtl-Q\tQuit KLADO.", nullptr, this, ID_QUIT);

    FXMenuPane* edit = pane("&Edit");
    new FXMenuCommand(edit, "&Undo\tCtl-Z\tUndo last change.", (*myIcons)[WindowIcons::Undo], &undoList,
                      FXUndoList::ID_UNDO);
    new FXMenuCommand(edit, "&Redo\tCtl-Y\tRedo last undo.", (*myIcons)[WindowIcons::Redo], &undoList,
                      FXUndoList::ID_REDO);
    new FXMenuCommand(edit, "&Revert to saved\tCtl-R\tRevert to saved.", nullptr, &undoList, FXUndoList::ID_REVERT);

    FXMenuPane* settings = pane("&Settings");
    new FXMenuCheck(settings, "Compute on Change", this, ID_COMPUTE_ON_CHANGE);

    FXMenuPane* view = pane("&View");
    new FXMenuCommand(view, "&Center View\t\tCenter the Object in the viewer's center.",
                      (*myIcons)[WindowIcons::CenterView], this, ID_CENTER);
    new FXMenuCheck(view, "&Anti-aliasing\t\tSmooth edges and fine branches in the view and in exported images.",
                    myScheduler.get(), WindowScheduler::ID_ANTIALIAS);
    auto* ruleOptions = new FXMenuPane(this);
    myMenus.push_back(ruleOptions);
    new FXMenuCascade(view, "Rule Table &Options", nullptr, ruleOptions);
    new FXMenuCheck(ruleOptions, "Show &Probabilities", myDefinitionPanel, DefinitionPanel::ID_SHOW_PROBABILITIES);
    new FXMenuCheck(ruleOptions, "Show &Left Context", myDefinitionPanel, DefinitionPanel::ID_SHOW_LEFT);
    new FXMenuCheck(ruleOptions, "Show &Right Context", myDefinitionPanel, DefinitionPanel::ID_SHOW_RIGHT);
    new FXMenuCheck(ruleOptions, "Show &Constraints", myDefinitionPanel, DefinitionPanel::ID_SHOW_CONSTRAINTS);

    FXMenuPane* help = pane("&Help");
    new FXMenuCommand(help, "&About KLADO...", nullptr, this, ID_ABOUT);
}

void KLADO_StandaloneMW::buildToolBar(FXComposite* shell) {
    auto* tools = new FXToolBar(this, shell, LAYOUT_SIDE_TOP | LAYOUT_FILL_X);
    new FXToolBarGrip(tools, tools, FXToolBar::ID_TOOLBARGRIP, TOOLBARGRIP_DOUBLE);
    const auto button = [&](const char* tip, WindowIcons::Id icon, FXObject* target, FXSelector selector) {
        auto* made = new FXButton(tools, tip, (*myIcons)[icon], target, selector,
                                  BUTTON_TOOLBAR | FRAME_RAISED | ICON_ABOVE_TEXT);
        // The text after two tabs is the status line's help; the icon's tip shows it too.
        made->setTipText(made->getHelpText());
    };
    button("\t\tOpen...", WindowIcons::Open, this, ID_OPEN);
    button("\t\tSave.", WindowIcons::Save, this, ID_SAVE);
    button("\t\tSave As...", WindowIcons::SaveAs, this, ID_SAVEAS);
    new FXVerticalSeparator(tools, SEPARATOR_GROOVE | LAYOUT_FILL_Y);
    button("\t\tExport Image...", WindowIcons::ExportImage, this, ID_EXPORT_IMAGE);
    button("\t\tExport Object...", WindowIcons::ExportObject, this, ID_EXPORT_OBJECT);
    new FXVerticalSeparator(tools, SEPARATOR_GROOVE | LAYOUT_FILL_Y);
    button("\t\tCompute", WindowIcons::Compute, this, ID_COMPUTE);
    button("\t\tUndo", WindowIcons::Undo, &undoList, FXUndoList::ID_UNDO);
    button("\t\tRedo", WindowIcons::Redo, &undoList, FXUndoList::ID_REDO);
    new FXVerticalSeparator(tools, SEPARATOR_GROOVE | LAYOUT_FILL_Y);
    button("\t\tCenter View", WindowIcons::CenterView, this, ID_CENTER);
}

FXComposite* KLADO_StandaloneMW::addTab(FXTabBook* book, int icon, const char* tip) {
    new FXTabItem(book, tip, (*myIcons)[static_cast<WindowIcons::Id>(icon)]);
    // A page taller than the window (the default window is 400 pixels high)
    // scrolls instead of squeezing its widgets over each other.
    return new FXScrollWindow(book, HSCROLLING_OFF | LAYOUT_FILL_X | LAYOUT_FILL_Y);
}

void KLADO_StandaloneMW::addComputeButton(FXComposite* panel) {
    FXButton* compute = new FXButton(panel, "Compute", (*myIcons)[WindowIcons::Compute], this, ID_COMPUTE,
                                     BUTTON_NORMAL | LAYOUT_FILL_X | LAYOUT_BOTTOM);
    *std::find(myComputeButtons.begin(), myComputeButtons.end(), nullptr) = compute;
}

void KLADO_StandaloneMW::buildTabs(FXComposite* parent) {
    auto* book = new FXTabBook(parent, nullptr, 0, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    myDefinitionPanel = new DefinitionPanel(
        addTab(book, WindowIcons::TabDefinition, "\tDefinition Tab\tAllows describing the L-system to generate."),
        *this);
    addComputeButton(myDefinitionPanel);
    myExtensionsPanel = new ExtensionsPanel(
        addTab(book, WindowIcons::TabExtensions, "\tProcessor Extensions Tab\tHolds further processor parameter."),
        *this);
    addComputeButton(myExtensionsPanel);
    myShapingPanel =
        new ShapingPanel(addTab(book, WindowIcons::TabShaping, "\tShaping Tab\tAllows changing the shape of a symbol."),
                         *mySymbolShapes);
    addComputeButton(myShapingPanel);
    myColoringPanel = new ColoringPanel(
        addTab(book, WindowIcons::TabColoring, "\tColoring Tab\tAllows changing the color of an interpreted symbol."),
        *mySymbolShapes);
    addComputeButton(myColoringPanel);
    myTweaksPanel = new TweaksPanel(
        addTab(book, WindowIcons::TabTweaks, "\tTweaks Tab\tAllows tweaking the interpretation."), *this);
    addComputeButton(myTweaksPanel);
    myEnvironmentPanel = new EnvironmentPanel(
        addTab(book, WindowIcons::TabEnvironment, "\tEnvironment Tab\tAllows changing the environment."), *this);
    addComputeButton(myEnvironmentPanel);
    myStatisticsPanel = new StatisticsPanel(
        addTab(book, WindowIcons::TabStatistics, "\tStatistics Tab\tShows statistics of the generated L-System."));
    addComputeButton(myStatisticsPanel);
    mySymbolHelpPanel = new SymbolHelpPanel(
        addTab(book, WindowIcons::TabSymbolHelp, "\tSymbol Help Tab\tShows how symbols are interpreted."));
    addComputeButton(mySymbolHelpPanel);
}

void KLADO_StandaloneMW::create() {
    readSettings();
    FXMainWindow::create();
    myIcons->create();
    // Wide enough for the rule table with all its columns and a readable
    // conclusion.
    myPanel->setWidth(55 * getApp()->getNormalFont()->getTextWidth("8", 1));
    show(getApp()->reg().readIntEntry("SETTINGS", "maximized", 0) ? PLACEMENT_MAXIMIZED : PLACEMENT_DEFAULT);
    myScheduler->requestFrame();
    getApp()->addTimeout(this, ID_FILE_WATCH, fileWatchInterval);
    if (myDocument->takeComputeWhenShown()) computeDocument();
}

void KLADO_StandaloneMW::readSettings() {
    FXRegistry& reg = getApp()->reg();
    const FXint screenWidth = getApp()->getRootWindow()->getDefaultWidth();
    const FXint screenHeight = getApp()->getRootWindow()->getDefaultHeight();
    const WindowPlacement first = WindowPlacement::firstStart(screenWidth, screenHeight);
    const WindowPlacement kept{reg.readIntEntry("SETTINGS", "x", first.x), reg.readIntEntry("SETTINGS", "y", first.y),
                               reg.readIntEntry("SETTINGS", "width", first.width),
                               reg.readIntEntry("SETTINGS", "height", first.height)};
    const WindowPlacement place = kept.keptOn(screenWidth, screenHeight);
    position(place.x, place.y, place.width, place.height);
    myDataDir = reg.readStringEntry("SETTINGS", "datadir", "");
    myScheduler->setComputeOnChange(reg.readIntEntry("SETTINGS", "bRecOnChange", 1) != 0);
    myScheduler->setAntialiased(reg.readIntEntry("SETTINGS", "bAntialias", 1) != 0);
    // The remembered switch is for new definitions: a loaded file keeps its own.
    if (myWorkbench.fileName().empty() && !hasContent())
        myDefinitionPanel->setMultiCharWords(reg.readIntEntry("SETTINGS", "bSingleCharNamesOnly", 0) != 0);
    myShowGLControls = reg.readIntEntry("SETTINGS", "bShowGLControls", 1) != 0;
}

void KLADO_StandaloneMW::writeSettings() {
    FXRegistry& reg = getApp()->reg();
    reg.writeIntEntry("SETTINGS", "maximized", isMaximized() ? 1 : 0);
    reg.writeIntEntry("SETTINGS", "x", getX());
    reg.writeIntEntry("SETTINGS", "y", getY());
    reg.writeIntEntry("SETTINGS", "width", getWidth());
    reg.writeIntEntry("SETTINGS", "height", getHeight());
    reg.writeStringEntry("SETTINGS", "datadir", myDataDir.text());
    // The export and material dialogs keep their own choices as they go;
    // until a dialog is first used its keys are written with their defaults.
    // (The text read is copied first: writing an entry frees its old text.)
    for (const auto& [section, key] : keptDirectories)
        reg.writeStringEntry(section, key, FXString(reg.readStringEntry(section, key, "")).text());
    for (const KeptNumber& kept : keptNumbers)
        reg.writeIntEntry(kept.section, kept.key, reg.readIntEntry(kept.section, kept.key, kept.initial));
    reg.writeIntEntry("SETTINGS", "bRecOnChange", computeOnChange() ? 1 : 0);
    reg.writeIntEntry("SETTINGS", "bAntialias", myScheduler->antialiased() ? 1 : 0);
    reg.writeIntEntry("SETTINGS", "bSingleCharNamesOnly", multiCharWords() ? 1 : 0);
    reg.writeIntEntry("SETTINGS", "bShowGLControls", myShowGLControls ? 1 : 0);
    reg.write();
}

// ---------------------------------------------------------------------------
// The document and the tabs

FXuint KLADO_StandaloneMW::askQuestion(const FXString& title, const FXString& text, FXuint buttons) {
    return FXMessageBox::question(this, buttons, title.text(), "%s", text.text());
}

void KLADO_StandaloneMW::showMessage(bool error, const FXString& title, const FXString& text) {
    if (error)
        FXMessageBox::error(this, MBOX_OK, title.text(), "%s", text.text());
    else
        FXMessageBox::warning(this, MBOX_OK, title.text(), "%s", text.text());
}

bool KLADO_StandaloneMW::chooseFile(bool save, FXString& fileName) {
    FXFileDialog dialog(this, save ? "Save Document" : "Open L-System", 0, 0, 0, 500, 300);
    dialog.setPatternList(save ? "KLADO Definition (*.kld)" : "*.kld\nFractint L-systems (*.l)");
    if (save) dialog.setSelectMode(SELECTFILE_ANY);
    if (!myDataDir.empty()) dialog.setDirectory(myDataDir);
    if (!fileName.empty()) dialog.setFilename(fileName);
    if (!dialog.execute(PLACEMENT_CURSOR)) return false;
    fileName = dialog.getFilename();
    // Where the file is, also when its path was typed into the name field.
    myDataDir = FXPath::directory(fileName);
    return true;
}

std::unique_ptr<LSystemDefinition> KLADO_StandaloneMW::chooseFractintEntry(const std::string& fileName) {
    return FractintEntryDialog::open(this, fileName);
}

MFXRecoveryDialog::Answer KLADO_StandaloneMW::askRestore(const FXString& text) {
    MFXRecoveryDialog question(this, text);
    return question.ask();
}

bool KLADO_StandaloneMW::multiCharWords() const { return myDefinitionPanel->multiCharWords(); }

void KLADO_StandaloneMW::stopComputing() { myScheduler->finish(); }

void KLADO_StandaloneMW::computeDocument() { myScheduler->recompute(true); }

void KLADO_StandaloneMW::showDocument() {
    myDefinitionPanel->showDocument();
    myExtensionsPanel->showDocument();
    mySymbolShapes->fillSymbols();
    myTweaksPanel->showDocument();
    myEnvironmentPanel->showDocument();
    myStatisticsPanel->showStatistics(myWorkbench.statistics());
}

void KLADO_StandaloneMW::documentReplaced(bool empty) {
    if (!empty) {
        showDocument();
        return;
    }
    clearTables();
    showDocument();
    myWorkbench.view().setScene(nullptr, &myWorkbench.currentCamera(), myWorkbench.lights().data(), true);
    myStatisticsPanel->clear();
    myStatusBar->getStatusLine()->setNormalText("Ready.");
    myStatusBar->getStatusLine()->setText("Ready.");
    requestFrame();
}

void KLADO_StandaloneMW::clearTables() {
    myStatisticsPanel->clear();
    mySymbolShapes->clear();
}

void KLADO_StandaloneMW::nameChanged() {
    myDefinitionPanel->showName();
    updateTitle();
}

void KLADO_StandaloneMW::showStatus(const FXString& text) { myStatusBar->getStatusLine()->setNormalText(text); }

void KLADO_StandaloneMW::showError(const FXString& title, const FXString& text) { showMessage(true, title, text); }

FXString KLADO_StandaloneMW::titleText() const { return myDocument->title(getApp()->getAppName()); }

void KLADO_StandaloneMW::updateTitle() {
    const FXString title = titleText();
    if (title != getTitle()) setTitle(title);
}

// The update pass asks the window itself (the application is the sender,
// or the window when forced); children without a message land here too.
long KLADO_StandaloneMW::onUpdTitle(FXObject* sender, FXSelector selector, void* data) {
    updateTitle();
    return sender == getApp() || sender == this ? FXMainWindow::onUpdate(sender, selector, data) : 0;
}

void KLADO_StandaloneMW::keepRecoveryCopies(const std::string& folder) {
    myDocument->keepRecoveryCopies(folder);
    getApp()->addTimeout(this, ID_RECOVERY, 0);
}

// A look that shows nothing returns 0: the toolkit then spares the widgets'
// update pass, and an idle window stays idle.
long KLADO_StandaloneMW::onRecoveryTimer(FXObject*, FXSelector, void*) {
    getApp()->addTimeout(this, ID_RECOVERY, recoveryInterval);
    // The document is left alone while it is being computed.
    if (myScheduler->computing()) return 0;
    return myDocument->lookAfterRecovery(
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

long KLADO_StandaloneMW::onFileWatch(FXObject*, FXSelector, void*) {
    getApp()->addTimeout(this, ID_FILE_WATCH, fileWatchInterval);
    if (myScheduler->computing()) return 0;
    return myDocument->watchFile();
}

// ---------------------------------------------------------------------------
// Computing

void KLADO_StandaloneMW::recompute() { myScheduler->recompute(false); }

void KLADO_StandaloneMW::recomputeLive() { myScheduler->recompute(false, true); }

void KLADO_StandaloneMW::reinterpret() { myScheduler->reinterpret(false); }

void KLADO_StandaloneMW::reinterpretLive() { myScheduler->reinterpret(false, true); }

void KLADO_StandaloneMW::requestFrame() { myScheduler->requestFrame(); }

bool KLADO_StandaloneMW::computeOnChange() const { return myScheduler->computeOnChange(); }

FXString KLADO_StandaloneMW::statusText() const { return myStatusBar->getStatusLine()->getNormalText(); }

long KLADO_StandaloneMW::onComputing(FXObject*, FXSelector, void* data) {
    showStatus(*static_cast<FXString*>(data));
    return 1;
}

long KLADO_StandaloneMW::onComputed(FXObject*, FXSelector, void*) {
    mySymbolShapes->fillSymbols();
    myStatisticsPanel->showStatistics(myWorkbench.statistics());
    requestFrame();
    FXString text;
    if (myScheduler->cancelled()) {
        text = "Computation cancelled.";
    } else if (myScheduler->failed()) {
        text = myScheduler->failedInterpreting() ? "Interpretation failed." : "Computation failed.";
    } else if (!myWorkbench.statistics().items().empty()) {
        const Statistics& counts = myWorkbench.counts();
        const ComputationTimes& times = myWorkbench.lastTimes();
        text = FXStringFormat("%llu atoms derived, %llu shapes placed; derivation %.0f ms, interpretation %.0f ms",
                              static_cast<unsigned long long>(counts.overallSize()),
                              static_cast<unsigned long long>(counts.visibleItems()), times.derivation,
                              times.interpretation);
    }
    showStatus(text.empty() ? FXString("Ready.") : text);
    return 1;
}

void KLADO_StandaloneMW::undoChanged() { update(); }

// ---------------------------------------------------------------------------
// Menu and tool bar commands

long KLADO_StandaloneMW::onCmdQuit(FXObject*, FXSelector, void*) {
    // A running computation stops first: the question comes with the
    // document left alone.
    myScheduler->finish();
    if (!askSave()) return 1;
    myDocument->quit();
    clearTables();
    writeSettings();
    getApp()->exit(0);
    return 1;
}

long KLADO_StandaloneMW::onSigQuit(FXObject* sender, FXSelector, void* data) {
    return onCmdQuit(sender, FXSEL(SEL_COMMAND, ID_QUIT), data);
}

long KLADO_StandaloneMW::onCmdNew(FXObject*, FXSelector, void*) {
    myDocument->close();
    return 1;
}

long KLADO_StandaloneMW::onCmdOpen(FXObject*, FXSelector, void*) {
    myDocument->open();
    return 1;
}

long KLADO_StandaloneMW::onCmdSave(FXObject*, FXSelector, void*) {
    myDocument->save();
    return 1;
}

long KLADO_StandaloneMW::onUpdSave(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, isModified() ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}

long KLADO_StandaloneMW::onCmdSaveAs(FXObject*, FXSelector, void*) {
    saveAs();
    return 1;
}

long KLADO_StandaloneMW::onUpdWithContent(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, hasContent() ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}

long KLADO_StandaloneMW::onCmdExportImage(FXObject*, FXSelector, void*) {
    std::string fileName;
    int width = 0;
    int height = 0;
    if (myScheduler->computing() || !askImageExport(this, getApp()->reg(), fileName, width, height)) return 1;
    // The picture under the closed dialogs is drawn before the export.
    getApp()->repaint();
    myScheduler->drawNow();
    myWorkbench.exportImage(fileName, width, height, myScheduler->antialiased() ? SceneView::defaultSamples : 1);
    return 1;
}

long KLADO_StandaloneMW::onCmdExportObject(FXObject*, FXSelector, void*) {
    std::string fileName;
    if (myScheduler->computing() || !askObjectExport(this, getApp()->reg(), fileName)) return 1;
    // A large scene takes seconds to write: the worker writes it, while the
    // window stays drawn and shows the progress. Failures are reported here.
    auto problem = std::make_shared<std::string>();
    const FXString what = FXStringFormat("Writing '%s'...", FXPath::name(fileName.c_str()).text());
    showStatus(what);
    // Our own writers follow their progress and stop on Cancel, leaving the old file.
    const auto write = [this, fileName, problem] {
        *problem = myWorkbench.writeObject(fileName, *myScheduler->dialog());
    };
    myScheduler->runTask(what, write,
                         [this, fileName, problem] {
                             if (problem->empty()) {
                                 showStatus(FXStringFormat("Wrote '%s'.", fileName.c_str()));
                                 return;
                             }
                             if (*problem == exportCancelledText) {
                                 showStatus("Export cancelled.");
                                 return;
                             }
                             showStatus("Export failed.");
                             myReporter.report("Error while saving",
                                               "Could not save file\n" + fileName + "\n" + *problem);
                         },
                         streamedObjectFormat(fileName));
    return 1;
}

long KLADO_StandaloneMW::onCmdRecent(FXObject*, FXSelector, void* data) {
    myDocument->openRecent(static_cast<const char*>(data));
    return 1;
}

long KLADO_StandaloneMW::onCmdComputeOnChange(FXObject*, FXSelector, void*) {
    myScheduler->setComputeOnChange(!computeOnChange());
    return 1;
}

long KLADO_StandaloneMW::onUpdComputeOnChange(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, computeOnChange() ? ID_CHECK : ID_UNCHECK), nullptr);
    return 1;
}

long KLADO_StandaloneMW::onCmdCenter(FXObject*, FXSelector, void*) {
    myWorkbench.view().centerView();
    requestFrame();
    return 1;
}

long KLADO_StandaloneMW::onCmdAbout(FXObject*, FXSelector, void*) {
    FXDialogBox about(this, "About KLADO", DECOR_TITLE | DECOR_BORDER);
    auto* top = new FXHorizontalFrame(&about, LAYOUT_FILL_X);
    new FXLabel(top, FXString::null, (*myIcons)[WindowIcons::ProgramLarge], LAYOUT_CENTER_Y);
    auto* text = new FXVerticalFrame(top, LAYOUT_FILL_X);
    FXFont title(getApp(), "Arial", 18, FXFont::Bold);
    auto* name = new FXLabel(text, "KLADO 1.0", nullptr, JUSTIFY_LEFT);
    name->setFont(&title);
    new FXHorizontalSeparator(text);
    new FXLabel(text, "This software uses:", nullptr, JUSTIFY_LEFT);
    new FXLabel(text, "the FOX toolkit (www.fox-toolkit.org),", nullptr, JUSTIFY_LEFT);
    new FXLabel(text, "OpenGL (www.opengl.org),", nullptr, JUSTIFY_LEFT);
    new FXLabel(text, "OpenSceneGraph (www.openscenegraph.org).", nullptr, JUSTIFY_LEFT);
    new FXButton(&about, "OK", nullptr, &about, FXDialogBox::ID_ACCEPT,
                 BUTTON_DEFAULT | BUTTON_INITIAL | FRAME_RAISED | FRAME_THICK | LAYOUT_CENTER_X, 0, 0, 0, 0, 20, 20);
    title.create();
    about.execute(PLACEMENT_OWNER);
    return 1;
}

long KLADO_StandaloneMW::onCmdCompute(FXObject*, FXSelector, void*) {
    computeDocument();
    return 1;
}

long KLADO_StandaloneMW::onUpdCompute(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, pending() ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}
