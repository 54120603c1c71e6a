#include "gui/KLADO_StandaloneMW.h"

#include "definition_io/DefinitionWriter.h"
#include "diagnostics/ErrorHandler.h"
#include "editors/MFXMatPaletteWell.h"
#include "editors/MFXMaterialWell.h"
#include "gui/ExportDialogs.h"
#include "gui/FXRealSpinDial.h"
#include "gui/FractintEntryDialog.h"
#include "gui/MFXAddEditTypedTable.h"
#include "gui/MFXOSGCanvas.h"
#include "gui/SymbolHelp.h"
#include "gui/WindowScheduler.h"
#include "gui/WindowIcons.h"
#include "lsys/LSystem.h"
#include "lsys/String2IDManager.h"
#include "options/TextConvert.h"

#include <fx3d.h>
#include <fxkeys.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>

namespace {

// Rule table columns.
enum RuleColumn { Probability, Left, Middle, Right, Constraints, Conclusion, RuleColumns };
// The columns that the "Rule Table Options" checks show and hide.
constexpr std::array<int, 4> optionalRuleColumns{Probability, Left, Right, Constraints};
constexpr int shownColumnWidth = 50;

struct DialRange {
    const char* format;
    double low, high;
    double fine, normal, coarse;
    double initial;
};

FXRealSpinDial* makeDial(FXComposite* parent, FXObject* target, FXSelector selector, const DialRange& range) {
    auto* dial = new FXRealSpinDial(parent, 4, target, selector,
                                    REALSPIN_NORMAL | FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_COLUMN);
    dial->setFormatString(range.format);
    dial->setRange(range.low, range.high);
    dial->setIncrements(range.fine, range.normal, range.coarse);
    dial->setValue(range.initial);
    return dial;
}

FXListBox* makeChoice(FXComposite* parent, FXObject* target, FXSelector selector,
                      std::initializer_list<const char*> items) {
    auto* box =
        new FXListBox(parent, target, selector, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_COLUMN);
    for (const char* item : items) box->appendItem(item);
    box->setNumVisible(static_cast<FXint>(items.size()));
    return box;
}

template <class Enum>
FXListBox* makeEnumChoice(FXComposite* parent, FXObject* target, FXSelector selector) {
    auto* box =
        new FXListBox(parent, target, selector, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_COLUMN);
    for (const char* label : EnumTexts<Enum>::labels) box->appendItem(label);
    box->setNumVisible(enumCount<Enum>());
    return box;
}

FXMatrix* makeGrid(FXComposite* parent) {
    return new FXMatrix(parent, 2, MATRIX_BY_COLUMNS | LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
}

MFXAddEditTypedTable* makeTable(FXComposite* parent, MFXUndoHolder* holder, FXObject* target, FXSelector selector,
                                std::initializer_list<const char*> columns) {
    auto* frame =
        new FXVerticalFrame(parent, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    auto* table = new MFXAddEditTypedTable(frame, holder, target, selector,
                                           TABLE_COL_SIZABLE | TABLE_NO_COLSELECT | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    table->setTableSize(1, static_cast<FXint>(columns.size()));
    int column = 0;
    for (const char* text : columns) table->setColumnText(column++, text);
    table->setRowHeaderWidth(0);
    return table;
}

// Texts read from the left, as they are typed.
void setCell(FXTable* table, int row, int column, const char* text) {
    table->setItemText(row, column, text);
    if (FXTableItem* item = table->getItem(row, column)) item->setJustify(FXTableItem::LEFT | FXTableItem::CENTER_Y);
}

std::string cellText(FXTable* table, int row, int column) {
    return TextConvert::trim(table->getItemText(row, column).text());
}

bool rowEmpty(FXTable* table, int row) {
    for (int column = 0; column < table->getNumColumns(); ++column)
        if (!cellText(table, row, column).empty()) return false;
    return true;
}

FXColor colourOf(const float rgba[4]) {
    const auto byte = [](float v) { return static_cast<FXuchar>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    return FXRGBA(byte(rgba[0]), byte(rgba[1]), byte(rgba[2]), byte(rgba[3]));
}

void setRgba(float rgba[4], FXColor colour) {
    rgba[0] = FXREDVAL(colour) / 255.0f;
    rgba[1] = FXGREENVAL(colour) / 255.0f;
    rgba[2] = FXBLUEVAL(colour) / 255.0f;
    rgba[3] = FXALPHAVAL(colour) / 255.0f;
}

std::string hexColour(FXColor colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", FXREDVAL(colour), FXGREENVAL(colour), FXBLUEVAL(colour));
    return text;
}

// "RRGGBB"; opaque black when the text is no colour.
FXColor colourOfHex(const std::string& text) {
    unsigned value = 0;
    if (text.size() < 6 || std::sscanf(text.c_str(), "%6x", &value) != 1) return FXRGB(0, 0, 0);
    return FXRGB((value >> 16) & 0xff, (value >> 8) & 0xff, value & 0xff);
}

// The "x,y,z" of a tropism direction, brackets allowed.
std::array<double, 3> readVector(const std::string& text) {
    std::array<double, 3> vector{0.0, 0.0, 0.0};
    std::string cleaned;
    for (char c : text)
        if (c != '(' && c != ')') cleaned += c;
    std::istringstream in(cleaned);
    in.imbue(std::locale::classic());
    std::string item;
    for (double& value : vector) {
        if (!std::getline(in, item, ',')) break;
        try {
            value = TextConvert::toFloat(TextConvert::trim(item));
        } catch (const std::exception&) {
            value = 0.0;
        }
    }
    return vector;
}

double numberOr(const std::string& text, double fallback) {
    try {
        return TextConvert::toFloat(TextConvert::trim(text));
    } catch (const std::exception&) {
        return fallback;
    }
}

// The number after "label: " among the statistics' items, or -1.
long statisticsFigure(const std::vector<TextTreeItem>& items, const std::string& label) {
    for (const TextTreeItem& item : items) {
        if (item.text.compare(0, label.size(), label) == 0) return std::atol(item.text.c_str() + label.size());
        const long inner = statisticsFigure(item.children, label);
        if (inner >= 0) return inner;
    }
    return -1;
}

// What the writer takes from the window: the definition as edited, the
// light records and the view of the current camera.
DefinitionSheet sheetOf(Workbench& workbench) {
    DefinitionSheet sheet = DefinitionSheet::of(workbench.definition());
    for (int i = 0; i < DefinitionSheet::slotCount; ++i) sheet.lights[i] = workbench.lights()[i];
    sheet.cameras[sheet.currentCamera] = workbench.currentCamera();
    sheet.camerasEnabled[sheet.currentCamera] = true;
    return sheet;
}

// The dials' values of a new document.
constexpr double defaultIterations = 3;
constexpr double defaultSeed = 42;

const char* const specialDials[] = {"_rotX", "_rotY", "_rotZ"};
const char* const directionVariables[] = {"_idirX", "_idirY", "_idirZ"};
const char* const rotationLabels[] = {"Default X-Rotation Change", "Default Y-Rotation Change",
                                      "Default Z-Rotation Change"};
const char* const directionLabels[] = {"Initial X-Direction Change", "Initial Y-Direction Change",
                                       "Initial Z-Direction Change"};

} // namespace

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
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_NEW, KLADO_StandaloneMW::onCmdNew),
    FXMAPFUNC(SEL_SIGNAL, KLADO_StandaloneMW::ID_QUIT, KLADO_StandaloneMW::onSigQuit),
    FXMAPFUNC(SEL_CLOSE, 0, KLADO_StandaloneMW::onCmdQuit),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_OPEN, KLADO_StandaloneMW::onCmdOpen),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SAVE, KLADO_StandaloneMW::onCmdSave),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_SAVE, KLADO_StandaloneMW::onUpdSave),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SAVEAS, KLADO_StandaloneMW::onCmdSaveAs),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_SAVEAS, KLADO_StandaloneMW::onUpdWithContent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_EXPORT_IMAGE, KLADO_StandaloneMW::onCmdExportImage),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_EXPORT_IMAGE, KLADO_StandaloneMW::onUpdWithContent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_EXPORT_OBJECT, KLADO_StandaloneMW::onCmdExportObject),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_EXPORT_OBJECT, KLADO_StandaloneMW::onUpdWithContent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_CLOSE, KLADO_StandaloneMW::onCmdClose),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_RECENT, KLADO_StandaloneMW::onCmdRecent),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_COMPUTE_ON_CHANGE, KLADO_StandaloneMW::onCmdComputeOnChange),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_COMPUTE_ON_CHANGE, KLADO_StandaloneMW::onUpdComputeOnChange),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_CENTER, KLADO_StandaloneMW::onCmdCenter),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_ABOUT, KLADO_StandaloneMW::onCmdAbout),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_NAME, KLADO_StandaloneMW::onCmdName),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_NAME, KLADO_StandaloneMW::onCmdName),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_AXIOM, KLADO_StandaloneMW::onCmdAxiom),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_AXIOM, KLADO_StandaloneMW::onCmdAxiom),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_ITERATIONS, KLADO_StandaloneMW::onCmdIterations),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SEED, KLADO_StandaloneMW::onCmdSeed),
    FXMAPFUNCS(SEL_COMMAND, KLADO_StandaloneMW::ID_IDIRX, KLADO_StandaloneMW::ID_ROTZ, KLADO_StandaloneMW::onCmdRotation),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_MULTICHAR, KLADO_StandaloneMW::onCmdMultiChar),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_COMPUTE, KLADO_StandaloneMW::onCmdCompute),
    FXMAPFUNC(SEL_UPDATE, KLADO_StandaloneMW::ID_COMPUTE, KLADO_StandaloneMW::onUpdCompute),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_ITEM, KLADO_StandaloneMW::onCmdItem),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SHAPE, KLADO_StandaloneMW::onCmdShape),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_SHAPE, KLADO_StandaloneMW::onCmdShape),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_SHAPETYPE, KLADO_StandaloneMW::onCmdShape),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_TWEAKS, KLADO_StandaloneMW::onCmdTweaks),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_TWEAKS, KLADO_StandaloneMW::onCmdTweaks),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_BACKGROUND, KLADO_StandaloneMW::onCmdBackground),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_BACKGROUND, KLADO_StandaloneMW::onCmdBackground),
    FXMAPFUNC(SEL_COMMAND, KLADO_StandaloneMW::ID_LIGHT, KLADO_StandaloneMW::onCmdLight),
    FXMAPFUNC(SEL_CHANGED, KLADO_StandaloneMW::ID_LIGHT, KLADO_StandaloneMW::onCmdLight),
    FXMAPFUNCS(SEL_COMMAND, KLADO_StandaloneMW::ID_SHOW_PROBABILITIES, KLADO_StandaloneMW::ID_SHOW_CONSTRAINTS, KLADO_StandaloneMW::onCmdRuleColumn),
    FXMAPFUNCS(SEL_UPDATE, KLADO_StandaloneMW::ID_SHOW_PROBABILITIES, KLADO_StandaloneMW::ID_SHOW_CONSTRAINTS, KLADO_StandaloneMW::onUpdRuleColumn),
    FXMAPFUNCS(SEL_REPLACED, KLADO_StandaloneMW::ID_RULES, KLADO_StandaloneMW::ID_CONSTANTS, KLADO_StandaloneMW::onTableChanged),
    FXMAPFUNCS(SEL_INSERTED, KLADO_StandaloneMW::ID_RULES, KLADO_StandaloneMW::ID_CONSTANTS, KLADO_StandaloneMW::onTableChanged),
    FXMAPFUNCS(SEL_DELETED, KLADO_StandaloneMW::ID_RULES, KLADO_StandaloneMW::ID_CONSTANTS, KLADO_StandaloneMW::onTableChanged),
    FXMAPFUNC(SEL_KEYPRESS, KLADO_StandaloneMW::ID_RULES, KLADO_StandaloneMW::onKeyPress),
    FXMAPFUNC(SEL_KEYPRESS, KLADO_StandaloneMW::ID_CONSTANTS, KLADO_StandaloneMW::onKeyPress),
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

} // namespace

KLADO_StandaloneMW::KLADO_StandaloneMW() : MFXUndoHolder(30, 10), myReporter(*this), myWorkbench(myReporter) {}

KLADO_StandaloneMW::KLADO_StandaloneMW(FXApp* app)
    : FXMainWindow(app, "KLADO", nullptr, nullptr, DECOR_ALL, 0, 0, 600, 400), MFXUndoHolder(30, 10), myReporter(*this),
      myWorkbench(myReporter), myRecentFiles(app, "Recent Files", this, ID_RECENT),
      myIcons(std::make_unique<WindowIcons>(app)),
      myScheduler(std::make_unique<WindowScheduler>(this, myWorkbench, myReporter, this, ID_COMPUTED)) {
    myRecentFiles.setMaxFiles(10);
    setIcon((*myIcons)[WindowIcons::Program]);
    setMiniIcon((*myIcons)[WindowIcons::Program]);

    myMenuShell = new FXToolBarShell(this, FRAME_RAISED);
    myMenuBar = new FXMenuBar(this, myMenuShell, LAYOUT_SIDE_TOP | LAYOUT_FILL_X);
    new FXToolBarGrip(myMenuBar, myMenuBar, FXMenuBar::ID_TOOLBARGRIP, TOOLBARGRIP_DOUBLE);
    buildMenus();
    myToolShell = new FXToolBarShell(this, FRAME_RAISED);
    buildToolBar(myToolShell);
    myStatusBar = new FXStatusBar(this, LAYOUT_SIDE_BOTTOM | LAYOUT_FILL_X | STATUSBAR_WITH_DRAGCORNER);

    mySplitter = new FXSplitter(this, SPLITTER_HORIZONTAL | SPLITTER_REVERSED | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    auto* viewFrame =
        new FXHorizontalFrame(mySplitter, FRAME_SUNKEN | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    myVisual = new FXGLVisual(app, VISUAL_DOUBLEBUFFER | VISUAL_STEREO);
    myCanvas = new MFXOSGCanvas(viewFrame, myVisual, myWorkbench.view(), myScheduler.get(), WindowScheduler::ID_VIEW,
                                LAYOUT_FILL_X | LAYOUT_FILL_Y);
    myScheduler->setCanvas(myCanvas);
    myPanel = new FXVerticalFrame(mySplitter, LAYOUT_FILL_Y | LAYOUT_FIX_WIDTH, 0, 0, 360, 0, 0, 0, 0, 0);
    auto* book = new FXTabBook(myPanel, nullptr, 0, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    buildDefinitionTab(book);
    buildExtensionsTab(book);
    buildShapingTab(book);
    buildColoringTab(book);
    buildTweaksTab(book);
    buildEnvironmentTab(book);
    buildStatisticsTab(book);
    buildSymbolHelpTab(book);

    newDocument();
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
    new FXMenuSeparator(file);
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
    auto* ruleOptions = new FXMenuPane(this);
    myMenus.push_back(ruleOptions);
    new FXMenuCascade(view, "Rule Table &Options", nullptr, ruleOptions);
    new FXMenuCheck(ruleOptions, "Show &Probabilities", this, ID_SHOW_PROBABILITIES);
    new FXMenuCheck(ruleOptions, "Show &Left Context", this, ID_SHOW_LEFT);
    new FXMenuCheck(ruleOptions, "Show &Right Context", this, ID_SHOW_RIGHT);
    new FXMenuCheck(ruleOptions, "Show &Constraints", this, ID_SHOW_CONSTRAINTS);

    FXMenuPane* help = pane("&Help");
    new FXMenuCommand(help, "&About KLADO...", nullptr, this, ID_ABOUT);
}

void KLADO_StandaloneMW::buildToolBar(FXComposite* shell) {
    auto* tools = new FXToolBar(this, shell, LAYOUT_SIDE_TOP | LAYOUT_FILL_X);
    new FXToolBarGrip(tools, tools, FXToolBar::ID_TOOLBARGRIP, TOOLBARGRIP_DOUBLE);
    const auto button = [&](const char* tip, WindowIcons::Id icon, FXObject* target, FXSelector selector) {
        new FXButton(tools, tip, (*myIcons)[icon], target, selector, BUTTON_TOOLBAR | FRAME_RAISED | ICON_ABOVE_TEXT);
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

FXVerticalFrame* KLADO_StandaloneMW::addTab(FXTabBook* book, int icon, const char* tip) {
    new FXTabItem(book, tip, (*myIcons)[static_cast<WindowIcons::Id>(icon)]);
    // A page taller than the window (the default window is 400 pixels high)
    // scrolls instead of squeezing its widgets over each other.
    auto* scroll = new FXScrollWindow(book, HSCROLLING_OFF | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    return new FXVerticalFrame(scroll, FRAME_THICK | FRAME_RAISED | LAYOUT_FILL_X | LAYOUT_FILL_Y);
}

void KLADO_StandaloneMW::addComputeButton(FXComposite* tab) {
    FXButton* compute = new FXButton(tab, "Compute", (*myIcons)[WindowIcons::Compute], this, ID_COMPUTE,
                                     BUTTON_NORMAL | LAYOUT_FILL_X | LAYOUT_BOTTOM);
    *std::find(myComputeButtons.begin(), myComputeButtons.end(), nullptr) = compute;
}

void KLADO_StandaloneMW::buildDefinitionTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabDefinition, "\tDefinition Tab\tAllows describing the L-system to generate.");
    new FXLabel(tab, "Name:");
    myNameField = new FXTextField(tab, 20, this, ID_NAME, TEXTFIELD_NORMAL | LAYOUT_FILL_X);
    myMultiCharCheck = new FXCheckButton(tab, "Using multi-char words", this, ID_MULTICHAR);
    new FXLabel(tab, "Axiom:");
    myAxiomField = new FXTextField(tab, 20, this, ID_AXIOM, TEXTFIELD_NORMAL | LAYOUT_FILL_X);
    new FXLabel(tab, "Iterations:");
    myIterationsDial = makeDial(tab, this, ID_ITERATIONS, {"%.0f", 0, 100, 1, 1, 1, defaultIterations});
    new FXLabel(tab, "Rules:");
    myRuleTable =
        makeTable(tab, this, this, ID_RULES, {"Probability", "Left", "Middle", "Right", "Constraints", "Conclusion"});
    for (int column : optionalRuleColumns) myRuleTable->setColumnWidth(column, 0);
    myRuleColumnShown.fill(false);
    new FXLabel(tab, "Default rotation values (x, y, z):");
    auto* rotations = new FXHorizontalFrame(tab, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 3; ++i)
        myRotationDials[i] = makeDial(rotations, this, ID_ROTX + i, {"%.2f", -3600, 3600, 1, 1, 10, 0});
    new FXLabel(tab, "Initial direction (x, y, z):");
    auto* directions = new FXHorizontalFrame(tab, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 3; ++i)
        myDirectionDials[i] = makeDial(directions, this, ID_IDIRX + i, {"%.2f", -1, 1, 0.01, 0.1, 0.5, 0});
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildExtensionsTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabExtensions, "\tProcessor Extensions Tab\tHolds further processor parameter.");
    new FXLabel(tab, "Ignore on computation:");
    myIgnoreTable = makeTable(tab, this, this, ID_IGNORE, {"Symbol", "Ignore"});
    myIgnoreTable->setColumnType(1, MFXAddEditTypedTable::CHECK);
    new FXLabel(tab, "Constants and functions:");
    myConstantsTable = makeTable(tab, this, this, ID_CONSTANTS, {"Name", "Definition"});
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildShapingTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabShaping, "\tShaping Tab\tAllows changing the shape of a symbol.");
    FXMatrix* top = makeGrid(tab);
    new FXLabel(top, "Item:");
    myShapeItem = makeChoice(top, this, ID_ITEM, {});
    myInterpretedCheck = new FXCheckButton(tab, "Interpreted", this, ID_SHAPE);
    myVisibleCheck = new FXCheckButton(tab, "Visible", this, ID_SHAPE);
    FXMatrix* typeGrid = makeGrid(tab);
    new FXLabel(typeGrid, "Shape:");
    myShapeType = makeEnumChoice<ShapeType>(typeGrid, this, ID_SHAPETYPE);
    myShapePanels = new FXSwitcher(tab, LAYOUT_FILL_X | FRAME_GROOVE);

    const DialRange size{"%.2f", 0.01, 1000, 0.1, 0.1, 1, 1};
    const DialRange endWidth{"%.2f", 0, 1000, 0.01, 0.1, 1, 1};
    const auto panel = [&](ShapeType type, std::initializer_list<std::pair<const char*, DialRange>> dials, bool quality,
                           bool caps) {
        const int index = static_cast<int>(type);
        FXMatrix* grid = makeGrid(new FXVerticalFrame(myShapePanels, LAYOUT_FILL_X));
        int slot = 0;
        for (const auto& [label, range] : dials) {
            new FXLabel(grid, label);
            myShapeDials[index][slot++] = makeDial(grid, this, ID_SHAPE, range);
        }
        if (quality) {
            new FXLabel(grid, "Quality:");
            myQualityBoxes[index] = makeEnumChoice<ShapeQuality>(grid, this, ID_SHAPE);
        }
        if (caps) {
            new FXLabel(grid, "Begin cap:");
            myCapBoxes[index][0] = makeEnumChoice<CapKind>(grid, this, ID_SHAPE);
            new FXLabel(grid, "End cap:");
            myCapBoxes[index][1] = makeEnumChoice<CapKind>(grid, this, ID_SHAPE);
            new FXFrame(grid, 0);
            myAddLineChecks[index] = new FXCheckButton(grid, "Add line", this, ID_SHAPE);
        }
    };
    panel(ShapeType::Line, {{"Length:", size}, {"Width:", size}}, false, false);
    panel(ShapeType::Tube, {{"Length:", size}, {"Width:", size}}, true, true);
    panel(ShapeType::Cone, {{"Length:", size}, {"Begin Width:", endWidth}, {"End Width:", endWidth}}, true, true);
    panel(ShapeType::Ball, {{"Size:", size}}, true, false);
    panel(ShapeType::Torus, {{"Outer Width:", size}, {"Inner Width:", size}}, true, false);
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildColoringTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabColoring, "\tColoring Tab\tAllows changing the color of an interpreted symbol.");
    FXMatrix* top = makeGrid(tab);
    new FXLabel(top, "Item:");
    myColorItem = makeChoice(top, this, ID_ITEM, {});
    new FXLabel(top, "Coloring type:");
    myColoringType = makeEnumChoice<ColoringMode>(top, this, ID_SHAPETYPE);
    myColorPanels = new FXSwitcher(tab, LAYOUT_FILL_X | FRAME_GROOVE);

    FXMatrix* single = makeGrid(new FXVerticalFrame(myColorPanels, LAYOUT_FILL_X));
    new FXLabel(single, "Material:");
    myMaterialWell = new MFXMaterialWell(single, GLMaterial::shapeDefault(), this, ID_SHAPE,
                                         FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 64);

    auto* palettes = new FXVerticalFrame(myColorPanels, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    FXMatrix* paletteGrid = makeGrid(palettes);
    new FXLabel(paletteGrid, "Palette:");
    myPaletteWell = new MFXMatPaletteWell(paletteGrid, this, ID_SHAPE,
                                          FRAME_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 128, 64);
    myPaletteRange = new FXSwitcher(palettes, LAYOUT_FILL_X);
    const DialRange index{"%.0f", 0, 255, 1, 1, 10, 0};
    FXMatrix* offset = makeGrid(new FXVerticalFrame(myPaletteRange, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0));
    new FXLabel(offset, "Offset:");
    myOffsetDial = makeDial(offset, this, ID_SHAPE, index);
    FXMatrix* range = makeGrid(new FXVerticalFrame(myPaletteRange, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0));
    new FXLabel(range, "Starting Index:");
    myStartDial = makeDial(range, this, ID_SHAPE, index);
    new FXLabel(range, "Ending Index:");
    myEndDial = makeDial(range, this, ID_SHAPE, {"%.0f", 0, 255, 1, 1, 10, 255});
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildTweaksTab(FXTabBook* book) {
    FXVerticalFrame* tab = addTab(book, WindowIcons::TabTweaks, "\tTweaks Tab\tAllows tweaking the interpretation.");
    new FXLabel(tab, "Tropism vector (x, y, z):");
    auto* vector = new FXHorizontalFrame(tab, LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 0, 0);
    for (FXRealSpinDial*& dial : myTropismDials)
        dial = makeDial(vector, this, ID_TWEAKS, {"%.4f", -1, 1, 0.01, 0.01, 0.1, 0});
    FXMatrix* grid = makeGrid(tab);
    new FXLabel(grid, "Tropism strength:");
    myTropismStrength = makeDial(grid, this, ID_TWEAKS, {"%.4f", 0, 1000, 0.0001, 0.001, 0.01, 0});
    new FXLabel(grid, "Random seed:");
    mySeedDial = makeDial(grid, this, ID_SEED, {"%.0f", 0, 1000, 1, 10, 100, defaultSeed});
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildEnvironmentTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabEnvironment, "\tEnvironment Tab\tAllows changing the environment.");
    FXMatrix* grid = makeGrid(tab);
    new FXLabel(grid, "Background color:");
    myBackgroundWell = new FXColorWell(grid, FXRGB(0, 0, 0), this, ID_BACKGROUND,
                                       COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    new FXHorizontalSeparator(tab);
    FXMatrix* lights = makeGrid(tab);
    myLightBox = makeChoice(lights, this, ID_LIGHT, {});
    for (int i = 1; i <= SceneView::lightCount; ++i) myLightBox->appendItem(("Light #" + std::to_string(i)).c_str());
    myLightBox->setNumVisible(SceneView::lightCount);
    myLightOn = new FXCheckButton(lights, "On", this, ID_LIGHT);
    const char* const colours[] = {"Ambient color:", "Diffuse color:", "Specular color:"};
    for (int i = 0; i < 3; ++i) {
        new FXLabel(lights, colours[i]);
        myLightColors[i] = new FXColorWell(lights, FXRGB(255, 255, 255), this, ID_LIGHT,
                                           COLORWELL_NORMAL | LAYOUT_FIX_WIDTH | LAYOUT_FIX_HEIGHT, 0, 0, 64, 24);
    }
    const char* const positions[] = {"X position:", "Y position:", "Z position:"};
    const double initial[] = {-150, 15, 15};
    for (int i = 0; i < 3; ++i) {
        new FXLabel(lights, positions[i]);
        myLightPosition[i] = makeDial(lights, this, ID_LIGHT, {"%.0f", -10000, 10000, 1, 10, 100, initial[i]});
    }
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildStatisticsTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabStatistics, "\tStatistics Tab\tShows statistics of the generated L-System.");
    auto* frame =
        new FXVerticalFrame(tab, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    myStatisticsTree = new FXTreeList(frame, nullptr, 0,
                                      TREELIST_SHOWS_LINES | TREELIST_SHOWS_BOXES | TREELIST_ROOT_BOXES |
                                          LAYOUT_FILL_X | LAYOUT_FILL_Y);
    addComputeButton(tab);
}

void KLADO_StandaloneMW::buildSymbolHelpTab(FXTabBook* book) {
    FXVerticalFrame* tab =
        addTab(book, WindowIcons::TabSymbolHelp, "\tSymbol Help Tab\tShows how symbols are interpreted.");
    new FXLabel(tab, "Symbol interpretations:");
    mySymbolHelpTable = makeTable(tab, this, nullptr, 0, {"Symbol", "Meaning"});
    mySymbolHelpTable->setTableSize(static_cast<FXint>(symbolHelpRows.size()), 2);
    mySymbolHelpTable->setColumnText(0, "Symbol");
    mySymbolHelpTable->setColumnText(1, "Meaning");
    for (std::size_t row = 0; row < symbolHelpRows.size(); ++row) {
        setCell(mySymbolHelpTable, static_cast<FXint>(row), 0, symbolHelpRows[row].symbol);
        setCell(mySymbolHelpTable, static_cast<FXint>(row), 1, symbolHelpRows[row].meaning);
    }
    mySymbolHelpTable->setColumnWidth(0, 60);
    mySymbolHelpTable->setColumnWidth(1, 260);
    mySymbolHelpTable->setEditable(false);
    addComputeButton(tab);
}

void KLADO_StandaloneMW::create() {
    readSettings();
    FXMainWindow::create();
    myIcons->create();
    FXFont* font = getApp()->getNormalFont();
    myPanel->setWidth(45 * font->getTextWidth("8", 1));
    const FXint headerHeight = font->getFontHeight() + font->getFontAscent() + 6;
    for (MFXAddEditTypedTable* table : {myRuleTable, myIgnoreTable, myConstantsTable, mySymbolHelpTable})
        table->setColumnHeaderHeight(headerHeight);
    show(getApp()->reg().readIntEntry("SETTINGS", "maximized", 0) ? PLACEMENT_MAXIMIZED : PLACEMENT_DEFAULT);
    myScheduler->requestFrame();
    getApp()->addTimeout(this, ID_FILE_WATCH, fileWatchInterval);
    if (myComputeWhenShown) {
        myComputeWhenShown = false;
        recompute(true);
    }
}

void KLADO_StandaloneMW::readSettings() {
    FXRegistry& reg = getApp()->reg();
    const FXint screenWidth = getApp()->getRootWindow()->getDefaultWidth();
    const FXint screenHeight = getApp()->getRootWindow()->getDefaultHeight();
    const FXint x = reg.readIntEntry("SETTINGS", "x", 150);
    const FXint y = reg.readIntEntry("SETTINGS", "y", 150);
    const FXint w = reg.readIntEntry("SETTINGS", "width", screenWidth < 600 ? screenWidth - 50 : 600);
    const FXint h = reg.readIntEntry("SETTINGS", "height", screenHeight < 400 ? screenHeight - 50 : 400);
    position(x, y, w, h);
    myDataDir = reg.readStringEntry("SETTINGS", "datadir", "");
    myScheduler->setComputeOnChange(reg.readIntEntry("SETTINGS", "bRecOnChange", 1) != 0);
    // The remembered switch is for new definitions: a loaded file keeps its own.
    if (myWorkbench.fileName().empty() && !hasContent()) {
        const bool multiChar = reg.readIntEntry("SETTINGS", "bSingleCharNamesOnly", 0) != 0;
        myWorkbench.setSpecialVariable("_multichar", multiChar ? 1 : 0);
        myMultiCharCheck->setCheck(multiChar);
    }
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
    reg.writeIntEntry("SETTINGS", "bSingleCharNamesOnly", myMultiCharCheck->getCheck() ? 1 : 0);
    reg.writeIntEntry("SETTINGS", "bShowGLControls", myShowGLControls ? 1 : 0);
    reg.write();
}

// ---------------------------------------------------------------------------
// The document's life

bool KLADO_StandaloneMW::hasContent() const {
    const LSystemDefinition& definition = myWorkbench.definition();
    return !definition.getRules().empty() || !definition.getAxiom().empty();
}

bool KLADO_StandaloneMW::isModified() const { return !undoList.marked() && hasContent(); }

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

bool KLADO_StandaloneMW::askSave() {
    if (!isModified()) return true;
    LSystemDefinition& definition = myWorkbench.definition();
    if (definition.getName().empty()) setDocumentName("<unnamed>");
    const FXString text = FXStringFormat("Save '%s' to file?", definition.getName().c_str());
    const FXuint answer = askQuestion("Unsaved Document", text, MBOX_YES_NO_CANCEL);
    if (answer == MBOX_CLICKED_CANCEL) return false;
    if (answer == MBOX_CLICKED_NO) return true;
    if (myWorkbench.fileName().empty()) return saveAs();
    // A save that fails stops what asked, so that the edits are not lost.
    return saveTo(myWorkbench.fileName());
}

bool KLADO_StandaloneMW::load(const std::string& fileName) { return loadDocument(fileName, nullptr); }

bool KLADO_StandaloneMW::loadDocument(const std::string& fileName, const CameraDef* view) {
    myScheduler->finish();
    if (shown()) {
        tov::StoringErrorHandler problems;
        const bool loaded = myWorkbench.load(fileName, problems);
        if (problems.hasMessages()) {
            const bool errors = problems.hasErrors();
            problems.reset();
            const std::string joined = tov::joinMessages(problems);
            if (errors)
                showMessage(true, "Error(s) on parsing",
                            FXStringFormat("Could not parse '%s';\n Errors: %s", fileName.c_str(), joined.c_str()));
            else
                showMessage(false, "Warning(s) on parsing",
                            FXStringFormat("Warnings occured while parsing '%s':\n Warnings: %s", fileName.c_str(),
                                           joined.c_str()));
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
    undoList.clear();
    undoList.mark();
    // Kept absolute, so that the list works from any folder.
    myRecentFiles.appendFile(FXPath::absolute(fileName.c_str()));
    fillWidgets();
    updateTitle();
    rememberFileTime();
    if (shown()) recompute(true);
    return true;
}

void KLADO_StandaloneMW::rememberFileTime() {
    myFileTime = myWorkbench.fileName().empty() ? 0 : FXStat::modified(myWorkbench.fileName().c_str());
}

bool KLADO_StandaloneMW::saveTo(const std::string& fileName) {
    // Another program (an editor, a second window) wrote the open file since
    // it was read: its change is not overwritten without asking.
    if (fileName == myWorkbench.fileName() && myFileTime != 0) {
        const FXTime modified = FXStat::modified(fileName.c_str());
        if (modified != 0 && modified != myFileTime &&
            askQuestion("File Changed",
                        FXStringFormat("'%s' changed on disk since it was opened. Overwrite it?", fileName.c_str()),
                        MBOX_YES_NO) != MBOX_CLICKED_YES)
            return false;
    }
    LSystemDefinition& definition = myWorkbench.definition();
    if (!saveDefinition(fileName, sheetOf(myWorkbench), definition, myReporter)) return false;
    myNameField->setText(definition.getName().c_str());
    myWorkbench.setFileName(fileName);
    // Typing that goes on after the save is a new edit.
    markSaved();
    if (myRecovery) myRecovery->drop();
    myRecentFiles.appendFile(FXPath::absolute(fileName.c_str()));
    updateTitle();
    rememberFileTime();
    return true;
}

std::string KLADO_StandaloneMW::documentText() {
    return definitionText(sheetOf(myWorkbench), myWorkbench.definition());
}

bool KLADO_StandaloneMW::saveAs() {
    FXString fileName;
    if (!chooseFile(true, fileName)) return false;
    if (FXPath::extension(fileName) != "kld") {
        // Offer the name once more with the definition extension.
        fileName = FXPath::directory(fileName).empty()
                       ? FXPath::title(fileName) + ".kld"
                       : FXPath::directory(fileName) + PATHSEPSTRING + FXPath::title(fileName) + ".kld";
        if (!chooseFile(true, fileName)) return false;
    }
    if (FXStat::exists(fileName) &&
        askQuestion("File Exists", FXStringFormat("Overwrite '%s'?", fileName.text()), MBOX_YES_NO) != MBOX_CLICKED_YES)
        return false;
    return saveTo(fileName.text());
}

FXString KLADO_StandaloneMW::titleText() const {
    const std::string& fileName = myWorkbench.fileName();
    const FXString mark = isModified() ? "*" : "";
    if (fileName.empty()) return isModified() ? "<unnamed>* - " + getApp()->getAppName() : getApp()->getAppName();
    FXString name = FXPath::name(fileName.c_str());
    const FXint dot = name.find('.');
    if (dot >= 0) name = name.left(dot);
    return name + mark + " - " + getApp()->getAppName();
}

void KLADO_StandaloneMW::updateTitle() {
    const FXString title = titleText();
    if (title != getTitle()) setTitle(title);
}

long KLADO_StandaloneMW::onUpdTitle(FXObject* sender, FXSelector selector, void* data) {
    if (sender != this) return 0;
    updateTitle();
    return FXMainWindow::onUpdate(sender, selector, data);
}

void KLADO_StandaloneMW::newDocument() {
    myScheduler->finish();
    myWorkbench.replaceDocument(std::make_unique<LSystemDefinition>(), "", false);
    // A new definition starts from the window's own defaults.
    myWorkbench.setSpecialVariable("_steps", defaultIterations);
    for (int i = 0; i < 3; ++i) {
        myWorkbench.setSpecialVariable(specialDials[i], 0);
        myWorkbench.setSpecialVariable(directionVariables[i], 0);
    }
    myWorkbench.setSpecialVariable("_seed", defaultSeed);
    myWorkbench.setSpecialVariable("_multichar", myMultiCharCheck->getCheck() ? 1 : 0);
    fillWidgets();
    myWorkbench.view().setScene(nullptr, &myWorkbench.currentCamera(), myWorkbench.lights().data(), true);
    myStatisticsTree->clearItems();
    myStatusBar->getStatusLine()->setNormalText("Ready.");
    myStatusBar->getStatusLine()->setText("Ready.");
    requestFrame();
    updateTitle();
    rememberFileTime();
}

void KLADO_StandaloneMW::closeDocument() {
    if (!askSave()) return;
    if (myRecovery) myRecovery->drop();
    clearTables();
    newDocument();
    undoList.clear();
    undoList.mark();
}

void KLADO_StandaloneMW::setDocumentName(const std::string& name) {
    myWorkbench.definition().setName(name);
    myNameField->setText(name.c_str());
}

void KLADO_StandaloneMW::clearTables() {
    myStatisticsTree->clearItems();
    myShapeItem->clearItems();
    myColorItem->clearItems();
}

// ---------------------------------------------------------------------------
// Widgets and the definition

void KLADO_StandaloneMW::fillWidgets() {
    const LSystemDefinition& definition = myWorkbench.definition();
    myNameField->setText(definition.getName().c_str());
    myAxiomField->setText(definition.getAxiom().c_str());
    const auto& constants = definition.getConstants();
    showSpecialVariable(myIterationsDial, "_steps", defaultIterations);
    myLastIterations = static_cast<int>(std::lround(myIterationsDial->getValue()));
    for (int i = 0; i < 3; ++i) {
        showSpecialVariable(myRotationDials[i], specialDials[i], 0);
        showSpecialVariable(myDirectionDials[i], directionVariables[i], 0);
    }
    showSpecialVariable(mySeedDial, "_seed", defaultSeed);
    const auto multiChar = constants.find("_multichar");
    if (multiChar != constants.end()) myMultiCharCheck->setCheck(numberOr(multiChar->second.value, 0) != 0);

    const TweakMap& tweaks = definition.getTweaks();
    const auto direction = tweaks.find(tropismDirectionKey);
    const std::array<double, 3> vector =
        direction == tweaks.end() ? std::array<double, 3>{0, 0, 0} : readVector(direction->second);
    for (int i = 0; i < 3; ++i) myTropismDials[i]->setValue(vector[i]);
    const auto strength = tweaks.find(tropismStrengthKey);
    myTropismStrength->setValue(strength == tweaks.end() ? 0 : numberOr(strength->second, 0));

    showStatistics();
    const auto background = definition.getEnvironment().find(backgroundColorKey);
    myBackgroundWell->setRGBA(background == definition.getEnvironment().end() ? FXRGB(0, 0, 0)
                                                                              : colourOfHex(background->second));
    fillRuleTable();
    fillIgnoreTable();
    fillConstantsTable();
    fillSymbolChoosers();
    showLight();
}

void KLADO_StandaloneMW::fillRuleTable() {
    const std::vector<RuleRow>& rules = myWorkbench.definition().getRules();
    myRuleTable->setTableSize(static_cast<FXint>(rules.size()) + 1, RuleColumns);
    const char* const headers[] = {"Probability", "Left", "Middle", "Right", "Constraints", "Conclusion"};
    for (int column = 0; column < RuleColumns; ++column) myRuleTable->setColumnText(column, headers[column]);
    for (std::size_t row = 0; row < rules.size(); ++row) {
        const RuleRow& rule = rules[row];
        std::ostringstream probability;
        probability.imbue(std::locale::classic());
        probability << rule.probability;
        const std::string cells[] = {probability.str(), rule.leftContext, rule.predecessor,
                                     rule.rightContext, rule.condition,   rule.successor};
        for (int column = 0; column < RuleColumns; ++column)
            setCell(myRuleTable, static_cast<FXint>(row), column, cells[column].c_str());
    }
    for (std::size_t i = 0; i < optionalRuleColumns.size(); ++i)
        myRuleTable->setColumnWidth(optionalRuleColumns[i], myRuleColumnShown[i] ? shownColumnWidth : 0);
}

void KLADO_StandaloneMW::fillIgnoreTable() {
    const std::vector<std::string>& ignored = myWorkbench.definition().getIgnoreList();
    myIgnoreTable->setTableSize(static_cast<FXint>(ignored.size()) + 1, 2);
    myIgnoreTable->setColumnText(0, "Symbol");
    myIgnoreTable->setColumnText(1, "Ignore");
    for (std::size_t row = 0; row < ignored.size(); ++row) {
        setCell(myIgnoreTable, static_cast<FXint>(row), 0, ignored[row].c_str());
        setCell(myIgnoreTable, static_cast<FXint>(row), 1, "t");
    }
}

void KLADO_StandaloneMW::fillConstantsTable() {
    const LSystemDefinition& definition = myWorkbench.definition();
    std::vector<const ConstantDef*> shown;
    for (const auto& [name, constant] : definition.getConstants())
        if (!definition.isReserved(name)) shown.push_back(&constant);
    myConstantsTable->setTableSize(static_cast<FXint>(shown.size()) + 1, 2);
    myConstantsTable->setColumnText(0, "Name");
    myConstantsTable->setColumnText(1, "Definition");
    for (std::size_t row = 0; row < shown.size(); ++row) {
        const ConstantDef& constant = *shown[row];
        const std::string name = constant.arguments.empty() ? constant.name : constant.name + constant.arguments;
        setCell(myConstantsTable, static_cast<FXint>(row), 0, name.c_str());
        setCell(myConstantsTable, static_cast<FXint>(row), 1, constant.value.c_str());
    }
}

void KLADO_StandaloneMW::fillSymbolChoosers() {
    // Every user symbol known by now, and the shaped built-in ones.
    std::set<std::string> symbols;
    String2IDManager& registry = String2IDManager::instance();
    for (std::int32_t id = firstUserSymbolID; id < registry.getNextID(); ++id) {
        try {
            symbols.insert(registry.getName(id));
        } catch (const std::exception&) {}
    }
    for (const auto& shape : myWorkbench.definition().getShapeDefs())
        if (!shape.first.empty()) symbols.insert(shape.first);
    const FXString chosen = myShapeItem->getNumItems() ? myShapeItem->getItemText(myShapeItem->getCurrentItem()) : "";
    myShapeItem->clearItems();
    myColorItem->clearItems();
    for (const std::string& symbol : symbols) {
        myShapeItem->appendItem(symbol.c_str());
        myColorItem->appendItem(symbol.c_str());
    }
    const FXint visible = std::max<FXint>(1, std::min<FXint>(12, static_cast<FXint>(symbols.size())));
    myShapeItem->setNumVisible(visible);
    myColorItem->setNumVisible(visible);
    const FXint index = myShapeItem->findItem(chosen);
    if (index >= 0) {
        myShapeItem->setCurrentItem(index);
        myColorItem->setCurrentItem(index);
    }
    showShape();
}

std::string KLADO_StandaloneMW::chosenSymbol() const {
    if (myShapeItem->getNumItems() == 0) return "";
    return myShapeItem->getItemText(myShapeItem->getCurrentItem()).text();
}

void KLADO_StandaloneMW::showShape() {
    const std::string symbol = chosenSymbol();
    const auto& shapes = myWorkbench.definition().getShapeDefs();
    const auto found = shapes.find(symbol);
    const ShapeDef shape = found != shapes.end() ? found->second : ShapeDef::forNewSymbol(symbol);
    const int type = static_cast<int>(shape.type);
    myInterpretedCheck->setCheck(shape.interpreted);
    myVisibleCheck->setCheck(shape.visible);
    myShapeType->setCurrentItem(type);
    myShapePanels->setCurrent(type);
    const double values[5][3] = {{shape.length, shape.width, 0},
                                 {shape.length, shape.width, 0},
                                 {shape.length, shape.width, shape.width2},
                                 {shape.width, 0, 0},
                                 {shape.width, shape.innerWidth, 0}};
    for (int t = 0; t < 5; ++t) {
        for (int slot = 0; slot < 3; ++slot)
            if (myShapeDials[t][slot]) myShapeDials[t][slot]->setValue(values[t][slot]);
        if (myQualityBoxes[t]) myQualityBoxes[t]->setCurrentItem(static_cast<FXint>(shape.quality));
        if (myCapBoxes[t][0]) {
            myCapBoxes[t][0]->setCurrentItem(static_cast<FXint>(shape.closing1));
            myCapBoxes[t][1]->setCurrentItem(static_cast<FXint>(shape.closing2));
            myAddLineChecks[t]->setCheck(shape.addLine);
        }
    }
    const int coloring = static_cast<int>(shape.coloringType);
    myColorItem->setCurrentItem(myShapeItem->getCurrentItem());
    myColoringType->setCurrentItem(coloring);
    myColorPanels->setCurrent(shape.coloringType == ColoringMode::Single ? 0 : 1);
    myPaletteRange->setCurrent(shape.coloringType == ColoringMode::PaletteIndex ? 0 : 1);
    myMaterialWell->setMaterial(shape.material);
    myPaletteWell->setPalette(shape.palette);
    myOffsetDial->setValue(shape.indexOffset);
    myStartDial->setValue(shape.minColor);
    myEndDial->setValue(shape.maxColor);
}

ShapeDef KLADO_StandaloneMW::shapeFromWidgets(const ShapeDef& base) const {
    ShapeDef shape = base;
    shape.interpreted = myInterpretedCheck->getCheck();
    shape.visible = myVisibleCheck->getCheck();
    // The panel that shows is the one of the shape being edited.
    const int shown = myShapePanels->getCurrent();
    const auto dial = [&](int slot) { return myShapeDials[shown][slot]->getValue(); };
    switch (static_cast<ShapeType>(shown)) {
    case ShapeType::Line:
    case ShapeType::Tube:
        shape.length = dial(0);
        shape.width = dial(1);
        break;
    case ShapeType::Cone:
        shape.length = dial(0);
        shape.width = dial(1);
        shape.width2 = dial(2);
        break;
    case ShapeType::Ball:
        shape.width = dial(0);
        break;
    case ShapeType::Torus:
        shape.width = dial(0);
        shape.innerWidth = dial(1);
        break;
    }
    if (myQualityBoxes[shown]) shape.quality = static_cast<ShapeQuality>(myQualityBoxes[shown]->getCurrentItem());
    if (myCapBoxes[shown][0]) {
        shape.closing1 = static_cast<CapKind>(myCapBoxes[shown][0]->getCurrentItem());
        shape.closing2 = static_cast<CapKind>(myCapBoxes[shown][1]->getCurrentItem());
        shape.addLine = myAddLineChecks[shown]->getCheck();
    }
    shape.type = static_cast<ShapeType>(myShapeType->getCurrentItem());
    shape.coloringType = static_cast<ColoringMode>(myColoringType->getCurrentItem());
    shape.material = myMaterialWell->getMaterial();
    shape.palette = myPaletteWell->getPalette();
    shape.indexOffset = static_cast<std::int32_t>(std::lround(myOffsetDial->getValue()));
    shape.minColor = static_cast<std::int32_t>(std::lround(myStartDial->getValue()));
    shape.maxColor = static_cast<std::int32_t>(std::lround(myEndDial->getValue()));
    return shape;
}

void KLADO_StandaloneMW::showLight() {
    myCurrentLight = std::clamp(myLightBox->getCurrentItem(), 0, SceneView::lightCount - 1);
    const LightDef& light = myWorkbench.lights()[myCurrentLight];
    myLightOn->setCheck(light.enabled);
    myLightColors[0]->setRGBA(colourOf(light.ambient.data()));
    myLightColors[1]->setRGBA(colourOf(light.diffuse.data()));
    myLightColors[2]->setRGBA(colourOf(light.specular.data()));
    for (int i = 0; i < 3; ++i) myLightPosition[i]->setValue(light.position[i]);
}

LightDef KLADO_StandaloneMW::lightFromWidgets() const {
    LightDef light = myWorkbench.lights()[myCurrentLight];
    light.enabled = myLightOn->getCheck();
    setRgba(light.ambient.data(), myLightColors[0]->getRGBA());
    setRgba(light.diffuse.data(), myLightColors[1]->getRGBA());
    setRgba(light.specular.data(), myLightColors[2]->getRGBA());
    for (int i = 0; i < 3; ++i) light.position[i] = static_cast<float>(myLightPosition[i]->getValue());
    return light;
}

void KLADO_StandaloneMW::showStatistics() {
    myStatisticsTree->clearItems();
    const std::function<void(FXTreeItem*, const std::vector<TextTreeItem>&)> add =
        [&](FXTreeItem* parent, const std::vector<TextTreeItem>& items) {
            for (const TextTreeItem& item : items) {
                FXTreeItem* shown = myStatisticsTree->appendItem(parent, item.text.c_str());
                add(shown, item.children);
                myStatisticsTree->expandTree(shown);
            }
        };
    add(nullptr, myWorkbench.statistics().items());
}

void KLADO_StandaloneMW::showSpecialVariable(FXRealSpinDial* dial, const char* name, double fallback) {
    const auto& constants = myWorkbench.definition().getConstants();
    const auto found = constants.find(name);
    const double value = found == constants.end() ? fallback : numberOr(found->second.value, fallback);
    // The dial's range limits what dragging reaches, never what the file
    // holds: a value beyond it widens the range.
    FXdouble low = 0;
    FXdouble high = 0;
    dial->getRange(low, high);
    dial->setRange(std::min(value, low), std::max(value, high));
    dial->setValue(value);
}

// ---------------------------------------------------------------------------
// Computing

void KLADO_StandaloneMW::recompute(bool force) { myScheduler->recompute(force); }

void KLADO_StandaloneMW::reinterpret() { myScheduler->reinterpret(false); }

bool KLADO_StandaloneMW::computeOnChange() const { return myScheduler->computeOnChange(); }

FXString KLADO_StandaloneMW::statusText() const { return myStatusBar->getStatusLine()->getNormalText(); }

long KLADO_StandaloneMW::onComputing(FXObject*, FXSelector, void* data) {
    myStatusBar->getStatusLine()->setNormalText(*static_cast<FXString*>(data));
    return 1;
}

long KLADO_StandaloneMW::onComputed(FXObject*, FXSelector, void*) {
    fillSymbolChoosers();
    showStatistics();
    requestFrame();
    FXString text;
    if (myScheduler->cancelled()) {
        text = "Computation cancelled.";
    } else if (myScheduler->failed()) {
        text = myScheduler->failedInterpreting() ? "Interpretation failed." : "Computation failed.";
    } else {
        const auto& items = myWorkbench.statistics().items();
        const ComputationTimes& times = myWorkbench.lastTimes();
        if (!items.empty())
            text = FXStringFormat("%ld atoms derived, %ld shapes placed; derivation %.0f ms, interpretation %.0f ms",
                                  statisticsFigure(items, "overall size: "), statisticsFigure(items, "visible items: "),
                                  times.derivation, times.interpretation);
    }
    myStatusBar->getStatusLine()->setNormalText(text.empty() ? FXString("Ready.") : text);
    return 1;
}

// ---------------------------------------------------------------------------
// Undo

// The record commands write their record back into the document and refresh
// what shows it; the window then recomputes what the record changes.
class KLADO_StandaloneMW::MFXUndoCommand_ShapeDef
    : public MFXUndoCommand_Record<std::map<std::string, ShapeDef>, std::string> {
public:
    MFXUndoCommand_ShapeDef(KLADO_StandaloneMW* window, const std::map<std::string, ShapeDef>& before,
                            const std::map<std::string, ShapeDef>& after, const std::string& symbol, bool final)
        : MFXUndoCommand_Record(window, "Undo Shape Definition Change", "Redo Shape Definition Change", before, after,
                                symbol, final),
          window(window) {}

protected:
    void apply(const std::map<std::string, ShapeDef>& shapes) override { window->applyShapes(shapes, key); }

private:
    KLADO_StandaloneMW* window;
};

class KLADO_StandaloneMW::MFXUndoCommand_Tweaks : public MFXUndoCommand_Record<TweakMap, int> {
public:
    MFXUndoCommand_Tweaks(KLADO_StandaloneMW* window, const TweakMap& before, const TweakMap& after, bool final)
        : MFXUndoCommand_Record(window, "Undo Tweak Change", "Redo Tweak Change", before, after, 0, final),
          window(window) {}

protected:
    void apply(const TweakMap& tweaks) override { window->applyTweaks(tweaks); }

private:
    KLADO_StandaloneMW* window;
};

class KLADO_StandaloneMW::MFXUndoCommand_EnvDef : public MFXUndoCommand_Record<EnvironmentMap, int> {
public:
    MFXUndoCommand_EnvDef(KLADO_StandaloneMW* window, const EnvironmentMap& before, const EnvironmentMap& after,
                          bool final)
        : MFXUndoCommand_Record(window, "Undo Environment Change", "Redo Environment Change", before, after, 0, final),
          window(window) {}

protected:
    void apply(const EnvironmentMap& environment) override { window->applyEnvironment(environment); }

private:
    KLADO_StandaloneMW* window;
};

class KLADO_StandaloneMW::MFXUndoCommand_LightDef : public MFXUndoCommand_Record<LightDef, int> {
public:
    MFXUndoCommand_LightDef(KLADO_StandaloneMW* window, const LightDef& before, const LightDef& after, int index,
                            bool final)
        : MFXUndoCommand_Record(window, "Undo Light Change", "Redo Light Change", before, after, index, final),
          window(window) {}

protected:
    void apply(const LightDef& light) override { window->applyLight(key, light); }

private:
    KLADO_StandaloneMW* window;
};

void KLADO_StandaloneMW::undoChanged() { update(); }

void KLADO_StandaloneMW::record(MFXUndoCommand* command, bool changed) {
    auto* top = dynamic_cast<MFXUndoCommand*>(undoList.current());
    if (changed || (top && top->canAbsorb(command)))
        add(command);
    else
        delete command;
}

bool KLADO_StandaloneMW::isReplay(FXObject* sender) const {
    return dynamic_cast<MFXUndoCommand*>(sender) || (sender && sender == restoringWidget);
}

// ---------------------------------------------------------------------------
// Handlers

long KLADO_StandaloneMW::onCmdQuit(FXObject*, FXSelector, void*) {
    // A running computation stops first: the question comes with the
    // document left alone.
    myScheduler->finish();
    if (!askSave()) return 1;
    if (myRecovery) myRecovery->drop();
    clearTables();
    writeSettings();
    getApp()->exit(0);
    return 1;
}

long KLADO_StandaloneMW::onSigQuit(FXObject* sender, FXSelector, void* data) {
    return onCmdQuit(sender, FXSEL(SEL_COMMAND, ID_QUIT), data);
}

long KLADO_StandaloneMW::onCmdNew(FXObject*, FXSelector, void*) {
    closeDocument();
    return 1;
}

long KLADO_StandaloneMW::onCmdOpen(FXObject*, FXSelector, void*) {
    if (!askSave()) return 1;
    FXString fileName;
    if (!chooseFile(false, fileName)) return 1;
    if (FXPath::extension(fileName) != "l") {
        load(fileName.text());
        return 1;
    }
    // An entry of a Fractint file becomes a new, unnamed and unsaved document.
    std::unique_ptr<LSystemDefinition> entry = FractintEntryDialog::open(this, fileName.text());
    if (!entry) return 1;
    myWorkbench.replaceDocument(std::move(entry), "", true);
    undoList.clear();
    fillWidgets();
    updateTitle();
    rememberFileTime();
    recompute(true);
    return 1;
}

long KLADO_StandaloneMW::onCmdSave(FXObject*, FXSelector, void*) {
    if (myWorkbench.fileName().empty())
        saveAs();
    else
        saveTo(myWorkbench.fileName());
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
    myWorkbench.exportImage(fileName, width, height);
    return 1;
}

long KLADO_StandaloneMW::onCmdExportObject(FXObject*, FXSelector, void*) {
    std::string fileName;
    if (myScheduler->computing() || !askObjectExport(this, getApp()->reg(), fileName)) return 1;
    // A large scene takes seconds to write: the worker writes it, while the
    // window stays drawn and shows the progress. Failures are reported here.
    auto problem = std::make_shared<std::string>();
    const FXString what = FXStringFormat("Writing '%s'...", FXPath::name(fileName.c_str()).text());
    myStatusBar->getStatusLine()->setNormalText(what);
    // Our own writers follow their progress and stop on Cancel, leaving the old file.
    const auto write = [this, fileName, problem] {
        *problem = myWorkbench.writeObject(fileName, *myScheduler->dialog());
    };
    myScheduler->runTask(what, write,
                         [this, fileName, problem] {
                             if (problem->empty()) {
                                 myStatusBar->getStatusLine()->setNormalText(
                                     FXStringFormat("Wrote '%s'.", fileName.c_str()));
                                 return;
                             }
                             if (*problem == exportCancelledText) {
                                 myStatusBar->getStatusLine()->setNormalText("Export cancelled.");
                                 return;
                             }
                             myStatusBar->getStatusLine()->setNormalText("Export failed.");
                             myReporter.report("Error while saving",
                                               "Could not save file\n" + fileName + "\n" + *problem);
                         },
                         streamedObjectFormat(fileName));
    return 1;
}

long KLADO_StandaloneMW::onCmdClose(FXObject*, FXSelector, void*) {
    closeDocument();
    return 1;
}

long KLADO_StandaloneMW::onCmdRecent(FXObject*, FXSelector, void* data) {
    if (!askSave()) return 1;
    const FXString fileName = static_cast<const char*>(data);
    if (!load(fileName.text())) myRecentFiles.removeFile(fileName);
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

long KLADO_StandaloneMW::onCmdName(FXObject* sender, FXSelector selector, void*) {
    const std::string old = myWorkbench.definition().getName();
    const std::string name = myNameField->getText().text();
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    myWorkbench.definition().setName(name);
    if (!isReplay(sender) && (name != old || final))
        record(new MFXUndoCommand_String(myNameField, this, "Undo Name Change", "Redo Name Change", old, name, final),
               name != old);
    return 1;
}

long KLADO_StandaloneMW::onCmdAxiom(FXObject* sender, FXSelector selector, void*) {
    const std::string old = myWorkbench.definition().getAxiom();
    const std::string axiom = myAxiomField->getText().text();
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    myWorkbench.definition().setAxiom(axiom);
    if (!isReplay(sender) && (axiom != old || final))
        record(
            new MFXUndoCommand_String(myAxiomField, this, "Undo Axiom Change", "Redo Axiom Change", old, axiom, final),
            axiom != old);
    if (final) recompute(false);
    return 1;
}

long KLADO_StandaloneMW::onCmdIterations(FXObject* sender, FXSelector, void*) {
    const int iterations = static_cast<int>(std::lround(myIterationsDial->getValue()));
    if (iterations == myLastIterations) return 1;
    myWorkbench.setSpecialVariable("_steps", iterations);
    if (!isReplay(sender))
        add(new MFXUndoCommand_Float(myIterationsDial, this, "Undo Iteration Change", "Redo Iteration Change",
                                     static_cast<float>(myLastIterations), static_cast<float>(iterations), true));
    myLastIterations = iterations;
    recompute(false);
    return 1;
}

long KLADO_StandaloneMW::onCmdSeed(FXObject* sender, FXSelector, void*) {
    const double seed = std::round(mySeedDial->getValue());
    const double old = numberOr(myWorkbench.definition().getConstants().at("_seed").value, defaultSeed);
    if (seed == old) return 1;
    myWorkbench.setSpecialVariable("_seed", seed);
    if (!isReplay(sender))
        add(new MFXUndoCommand_Float(mySeedDial, this, "Undo Seed Change", "Redo Seed Change", static_cast<float>(old),
                                     static_cast<float>(seed), true));
    recompute(false);
    return 1;
}

long KLADO_StandaloneMW::onCmdRotation(FXObject* sender, FXSelector selector, void*) {
    const int id = FXSELID(selector);
    const bool rotation = id >= ID_ROTX;
    const int axis = rotation ? id - ID_ROTX : id - ID_IDIRX;
    FXRealSpinDial* dial = rotation ? myRotationDials[axis] : myDirectionDials[axis];
    const char* variable = rotation ? specialDials[axis] : directionVariables[axis];
    const double value = dial->getValue();
    const double old = numberOr(myWorkbench.definition().getConstants().at(variable).value, 0);
    if (value == old) return 1;
    myWorkbench.setSpecialVariable(variable, value);
    if (!isReplay(sender)) {
        const FXString what = rotation ? rotationLabels[axis] : directionLabels[axis];
        add(new MFXUndoCommand_Float(dial, this, "Undo " + what, "Redo " + what, static_cast<float>(old),
                                     static_cast<float>(value), true));
    }
    reinterpret();
    return 1;
}

long KLADO_StandaloneMW::onCmdMultiChar(FXObject* sender, FXSelector, void*) {
    myWorkbench.setSpecialVariable("_multichar", myMultiCharCheck->getCheck() ? 1 : 0);
    if (!isReplay(sender))
        add(new MFXUndoCommand_Bool(myMultiCharCheck, this, "Undo Switch Multichar", "Redo Switch Multichar",
                                    myMultiCharCheck->getCheck()));
    recompute(false);
    return 1;
}

long KLADO_StandaloneMW::onCmdCompute(FXObject*, FXSelector, void*) {
    recompute(true);
    return 1;
}

long KLADO_StandaloneMW::onUpdCompute(FXObject* sender, FXSelector, void*) {
    sender->handle(this, FXSEL(SEL_COMMAND, pending() ? ID_ENABLE : ID_DISABLE), nullptr);
    return 1;
}

long KLADO_StandaloneMW::onCmdItem(FXObject* sender, FXSelector, void*) {
    // The two choosers show the same symbol.
    if (sender == myColorItem) myShapeItem->setCurrentItem(myColorItem->getCurrentItem());
    showShape();
    return 1;
}

void KLADO_StandaloneMW::applyShapes(const std::map<std::string, ShapeDef>& shapes, const std::string& symbol) {
    myWorkbench.definition().setShapeDefs(shapes);
    const FXint index = myShapeItem->findItem(symbol.c_str());
    if (index >= 0) myShapeItem->setCurrentItem(index);
    showShape();
    reinterpret();
}

long KLADO_StandaloneMW::onCmdShape(FXObject* sender, FXSelector selector, void*) {
    const std::string symbol = chosenSymbol();
    if (symbol.empty()) return 1;
    const std::map<std::string, ShapeDef> before = myWorkbench.definition().getShapeDefs();
    const auto found = before.find(symbol);
    const ShapeDef old = found != before.end() ? found->second : ShapeDef::forNewSymbol(symbol);
    if (sender == myShapeType) myShapePanels->setCurrent(myShapeType->getCurrentItem());
    const ShapeDef shape = shapeFromWidgets(old);
    if (found != before.end() && shape.toText() == old.toText()) return 1;
    std::map<std::string, ShapeDef> after = before;
    after[symbol] = shape;
    myWorkbench.definition().setShapeDefs(after);
    showShape();
    // A dial or swatch that is still moving merges into one entry until it
    // settles.
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    add(new MFXUndoCommand_ShapeDef(this, before, after, symbol, final));
    if (final) reinterpret();
    return 1;
}

void KLADO_StandaloneMW::applyTweaks(const TweakMap& tweaks) {
    myWorkbench.definition().setTweaks(tweaks);
    fillWidgets();
    reinterpret();
}

long KLADO_StandaloneMW::onCmdTweaks(FXObject*, FXSelector selector, void*) {
    const TweakMap before = myWorkbench.definition().getTweaks();
    TweakMap after = before;
    const auto text = [](double value) { return TextConvert::toString(value, 4); };
    after[tropismDirectionKey] = text(myTropismDials[0]->getValue()) + "," + text(myTropismDials[1]->getValue()) + "," +
                                 text(myTropismDials[2]->getValue());
    after[tropismStrengthKey] = text(myTropismStrength->getValue());
    if (after == before) return 1;
    myWorkbench.definition().setTweaks(after);
    const bool final = FXSELTYPE(selector) == SEL_COMMAND;
    add(new MFXUndoCommand_Tweaks(this, before, after, final));
    if (final) reinterpret();
    return 1;
}

void KLADO_StandaloneMW::applyEnvironment(const EnvironmentMap& environment) {
    myWorkbench.definition().setEnvironment(environment);
    const auto found = environment.find(backgroundColorKey);
    myBackgroundWell->setRGBA(found == environment.end() ? FXRGB(0, 0, 0) : colourOfHex(found->second));
    myWorkbench.applyEnvironment();
    requestFrame();
}

long KLADO_StandaloneMW::onCmdBackground(FXObject*, FXSelector selector, void*) {
    const EnvironmentMap before = myWorkbench.definition().getEnvironment();
    EnvironmentMap after = before;
    after[backgroundColorKey] = hexColour(myBackgroundWell->getRGBA());
    if (after == before) return 1;
    applyEnvironment(after);
    add(new MFXUndoCommand_EnvDef(this, before, after, FXSELTYPE(selector) == SEL_COMMAND));
    return 1;
}

void KLADO_StandaloneMW::applyLight(int index, const LightDef& light) {
    myWorkbench.setLight(index, light);
    myLightBox->setCurrentItem(index);
    showLight();
    requestFrame();
}

long KLADO_StandaloneMW::onCmdLight(FXObject* sender, FXSelector selector, void*) {
    if (sender == myLightBox) {
        showLight();
        return 1;
    }
    const int index = myCurrentLight;
    const LightDef old = myWorkbench.lights()[index];
    const LightDef light = lightFromWidgets();
    myWorkbench.setLight(index, light);
    requestFrame();
    // A colour or dial dragged with the mouse merges into one entry.
    auto* widget = dynamic_cast<FXWindow*>(sender);
    const bool final = FXSELTYPE(selector) == SEL_COMMAND && !(widget && widget->grabbed());
    if (!isReplay(sender)) add(new MFXUndoCommand_LightDef(this, old, light, index, final));
    return 1;
}

long KLADO_StandaloneMW::onCmdRuleColumn(FXObject*, FXSelector selector, void*) {
    const int option = FXSELID(selector) - ID_SHOW_PROBABILITIES;
    myRuleColumnShown[option] = !myRuleColumnShown[option];
    myRuleTable->setColumnWidth(optionalRuleColumns[option], myRuleColumnShown[option] ? shownColumnWidth : 0);
    return 1;
}

long KLADO_StandaloneMW::onUpdRuleColumn(FXObject* sender, FXSelector selector, void*) {
    const int option = FXSELID(selector) - ID_SHOW_PROBABILITIES;
    sender->handle(this, FXSEL(SEL_COMMAND, myRuleColumnShown[option] ? ID_CHECK : ID_UNCHECK), nullptr);
    return 1;
}

void KLADO_StandaloneMW::setRulesFromTable(FXint removedRow) {
    std::vector<RuleRow> rules;
    for (int row = 0; row < myRuleTable->getNumRows(); ++row) {
        if (row == removedRow || rowEmpty(myRuleTable, row)) continue;
        RuleRow rule;
        const std::string probability = cellText(myRuleTable, row, Probability);
        if (!probability.empty()) {
            try {
                rule.probability = TextConvert::toFloat(probability);
            } catch (const std::exception&) {
                showMessage(true, "Value error", "The probability must be a numeric value");
                continue;
            }
        }
        rule.leftContext = cellText(myRuleTable, row, Left);
        rule.predecessor = cellText(myRuleTable, row, Middle);
        rule.rightContext = cellText(myRuleTable, row, Right);
        rule.condition = cellText(myRuleTable, row, Constraints);
        rule.successor = cellText(myRuleTable, row, Conclusion);
        rules.push_back(rule);
    }
    myWorkbench.definition().setRules(std::move(rules));
}

void KLADO_StandaloneMW::setIgnoredFromTable(FXint removedRow) {
    std::vector<std::string> ignored;
    for (int row = 0; row < myIgnoreTable->getNumRows(); ++row) {
        const std::string symbol = cellText(myIgnoreTable, row, 0);
        if (row != removedRow && !symbol.empty() && cellText(myIgnoreTable, row, 1) == "t") ignored.push_back(symbol);
    }
    myWorkbench.definition().setIgnoreList(std::move(ignored));
}

void KLADO_StandaloneMW::setConstantsFromTable(FXint removedRow) {
    LSystemDefinition& definition = myWorkbench.definition();
    std::vector<std::string> gone;
    for (const auto& entry : definition.getConstants())
        if (!definition.isReserved(entry.first)) gone.push_back(entry.first);
    for (const std::string& name : gone) definition.removeConstant(name);
    for (int row = 0; row < myConstantsTable->getNumRows(); ++row) {
        const std::string name = cellText(myConstantsTable, row, 0);
        if (row == removedRow || name.empty()) continue;
        if (!std::isalpha(static_cast<unsigned char>(name[0]))) {
            showMessage(true, "Name error", "The name must begin with a letter");
            continue;
        }
        try {
            definition.addConstant(name, cellText(myConstantsTable, row, 1));
        } catch (const std::exception&) {
            // A special variable holds numbers only.
            showMessage(true, "Value error", ("The value of '" + name + "' must be a numeric value").c_str());
        }
    }
}

long KLADO_StandaloneMW::onTableChanged(FXObject* sender, FXSelector selector, void* data) {
    // A row about to be removed is left out; the table records its own undo.
    FXint removedRow = -1;
    if (FXSELTYPE(selector) == SEL_DELETED) removedRow = static_cast<FXTableRange*>(data)->fm.row;
    if (sender == myRuleTable)
        setRulesFromTable(removedRow);
    else if (sender == myIgnoreTable)
        setIgnoredFromTable(removedRow);
    else if (sender == myConstantsTable)
        setConstantsFromTable(removedRow);
    else
        return 0;
    recompute(false);
    return 1;
}

long KLADO_StandaloneMW::onKeyPress(FXObject* sender, FXSelector, void* data) {
    const FXEvent* event = static_cast<FXEvent*>(data);
    auto* table = dynamic_cast<MFXAddEditTypedTable*>(sender);
    if (!table || (event->code != KEY_Delete && event->code != KEY_KP_Delete)) return 0;
    const FXint row = table->getCurrentRow();
    if (row >= 0 && row < table->getNumRows() - 1 && table->isRowSelected(row)) table->removeRow(row);
    return 0;
}

void KLADO_StandaloneMW::requestFrame() { myScheduler->requestFrame(); }

long KLADO_StandaloneMW::onFileWatch(FXObject*, FXSelector, void*) {
    getApp()->addTimeout(this, ID_FILE_WATCH, fileWatchInterval);
    // A look that finds nothing new returns 0: the toolkit then spares the
    // widgets' update pass, and an idle window stays idle.
    const std::string& fileName = myWorkbench.fileName();
    if (fileName.empty() || myScheduler->computing()) return 0;
    const FXTime modified = FXStat::modified(fileName.c_str());
    if (modified == 0 || modified == myFileTime) return 0;
    myFileTime = modified;
    if (!undoList.marked()) {
        myStatusBar->getStatusLine()->setNormalText(
            "The file changed on disk; the unsaved edits are kept. Save or reopen to decide.");
        return 1;
    }
    // Reload and keep looking from where the user looks now.
    const CameraDef view = myWorkbench.currentCamera();
    if (loadDocument(fileName, &view)) {
        myStatusBar->getStatusLine()->setNormalText("Reloaded the definition changed on disk.");
    }
    return 1;
}
