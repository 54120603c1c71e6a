// The workbench window: the document's life, undo, the update handlers,
// settings and live reload.

#include "gui/FXRealSpinDial.h"
#include "gui/MFXAddEditTypedTable.h"
#include "gui/panels/DefinitionPanel.h"
#include "gui/panels/EnvironmentPanel.h"
#include "gui/panels/ExtensionsPanel.h"
#include "gui/panels/ShapingPanel.h"
#include "gui/panels/StatisticsPanel.h"
#include "gui/panels/TweaksPanel.h"

#include "WindowFixture.h"

#include <cmath>
#include <cstdio>
#include <tuple>

namespace {

const char* const plant = "Name:test plant\n"
                          "Axiom:F\n"
                          "Rule::::F::F[+F]F\n"
                          "Def:_steps:2\n";

class MainWindowTest : public WindowFixture {};

// Before any test that saves: a save writes the settings.
TEST_F(MainWindowTest, QuittingAModifiedDefinitionStopsWhenTheSaveIsCancelledOrFailsAndStopsAComputationFirst) {
    const auto quit = [&](const char* question) {
        window->questions.clear();
        // Yes to saving, and to overwriting a file whose time changed with
        // the directory put in its place.
        window->answers = {MBOX_CLICKED_YES, MBOX_CLICKED_YES};
        command(KLADO_StandaloneMW::ID_QUIT);
        ASSERT_FALSE(window->questions.empty());
        EXPECT_EQ(window->questions[0], question);
        // The quit stopped before the settings were written.
        EXPECT_FALSE(FXStat::exists(guiHome().path(".foxrc/TOVA/KLADO").c_str()));
        EXPECT_TRUE(window->isModified());
    };
    typeText(window->definitionPanel()->axiomField(), "F");
    window->files = {{false, ""}};
    quit("Unsaved Document|Save '<unnamed>' to file?");
    EXPECT_EQ(window->offered.size(), 1u);

    // Quitting must not drop the edits when the save fails.
    load("plant.kld", plant);
    typeText(window->definitionPanel()->axiomField(), "G");
    // The file's place is taken by a directory: the save cannot replace it.
    std::remove(dir.path("plant.kld").c_str());
    ASSERT_EQ(std::system(("mkdir '" + dir.path("plant.kld") + "'").c_str()), 0);
    quit("Unsaved Document|Save 'test plant' to file?");
    ASSERT_FALSE(window->messages.empty());
    EXPECT_EQ(window->messages.back().before('|'), "Saving failed");

    // A quit while a computation runs stops it before it asks.
    window->workbench().definition().setRules({});
    window->workbench().definition().addRule(1.0f, "", "", "F", "", std::string(300, 'F'));
    window->workbench().setSpecialVariable("_steps", 5);
    command(KLADO_StandaloneMW::ID_COMPUTE);
    ASSERT_TRUE(window->scheduler().computing());
    window->questions.clear();
    window->answers = {MBOX_CLICKED_CANCEL};
    window->handle(nullptr, FXSEL(SEL_SIGNAL, KLADO_StandaloneMW::ID_QUIT), nullptr);
    EXPECT_FALSE(window->scheduler().computing());
    ASSERT_EQ(window->questions.size(), 1u);
    EXPECT_EQ(window->questions[0].before('|'), "Unsaved Document");
}

TEST_F(MainWindowTest, ANewWindowIsUnmodifiedUntilItGetsContentItsIconsNameThemselvesAndSavingAsNamesIt) {
    EXPECT_FALSE(window->isModified());
    // Edits of a definition without content, undone and redone, leave it
    // unmodified.
    window->definitionPanel()->iterationsDial()->setValue(5, true);
    window->undoList.undo();
    window->undoList.redo();
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(window->undoList.undoName(), "Undo Iteration Change");
    typeText(window->definitionPanel()->axiomField(), "F");
    EXPECT_TRUE(window->isModified());
    EXPECT_EQ(window->getTitle(), "KLADO");

    // A name without the definition extension is offered again with it.
    window->files = {{true, dir.path("my.plant.txt").c_str()}, {true, ""}};
    command(KLADO_StandaloneMW::ID_SAVEAS);
    ASSERT_EQ(window->offered.size(), 2u);
    EXPECT_EQ(FXPath::extension(window->offered[1]), "kld");
    EXPECT_EQ(window->workbench().fileName(), window->offered[1].text());
    EXPECT_NE(dir.read(FXPath::name(window->offered[1]).text()).find("Axiom:F\n"), std::string::npos);
    EXPECT_EQ(window->recentFiles().getFile(1), window->offered[1]);
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(window->getTitle(), "my - KLADO");
    // A definition without a name is saved as "<unnamed>", and keeps it.
    EXPECT_EQ(window->definitionPanel()->nameField()->getText(), "<unnamed>");

    // The icons name themselves in tips.
    const std::vector<FXButton*> open = widgets<FXButton>(window, KLADO_StandaloneMW::ID_OPEN);
    ASSERT_FALSE(open.empty());
    EXPECT_STREQ(open[0]->getTipText().text(), "Open...");
    const std::vector<FXTabItem*> tabs = widgets<FXTabItem>();
    ASSERT_EQ(tabs.size(), 8u);
    EXPECT_STREQ(tabs[0]->getTipText().text(), "Definition Tab");
    EXPECT_STREQ(tabs[7]->getTipText().text(), "Symbol Help Tab");
}

TEST_F(MainWindowTest, ALoadedDocumentsFiguresShowAndAFailedOpenKeepsItAndTheRecentListDropsIt) {
    load("plant.kld", plant);
    dir.write("broken.kld", "Axiom:F\nFoo:bar\n");
    EXPECT_EQ(window->getTitle(), "plant - KLADO");
    EXPECT_FALSE(window->load(dir.path("broken.kld")));
    ASSERT_FALSE(window->messages.empty());
    EXPECT_EQ(window->messages.back().before('|'), "Error(s) on parsing");
    EXPECT_EQ(window->workbench().definition().getName(), "test plant");
    EXPECT_EQ(window->getTitle(), "plant - KLADO");

    // A recent file that vanished leaves the list.
    const std::string gone = dir.path("gone.kld");
    window->recentFiles().appendFile(gone.c_str());
    window->handle(&window->recentFiles(), FXSEL(SEL_COMMAND, KLADO_StandaloneMW::ID_RECENT),
                   const_cast<char*>(gone.c_str()));
    EXPECT_EQ(window->recentFiles().getFile(1), dir.path("plant.kld").c_str());
    // Without recent files no empty section stays between two separators.
    FXPopup* file = widgets<FXMenuTitle>().front()->getMenu();
    const auto separators = [file] {
        file->forceRefresh();
        int shown = 0;
        for (FXWindow* entry = file->getFirst(); entry; entry = entry->getNext())
            shown += dynamic_cast<FXMenuSeparator*>(entry) && entry->shown();
        return shown;
    };
    EXPECT_EQ(separators(), 2);
    window->recentFiles().clear();
    EXPECT_EQ(separators(), 1);

    // The status bar and the statistics follow the computation.
    FXTreeItem* first = window->statisticsPanel()->tree()->getFirstItem();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isExpanded());
    // F -> F[+F]F twice: 9 F among 21 atoms.
    const FXString figures = window->statusText();
    EXPECT_EQ(figures.before(','), "21 atoms derived") << figures.text();
    EXPECT_NE(figures.find("9 shapes placed"), -1) << figures.text();
    // The axiom does not parse: the error box, the last good model stays.
    window->definitionPanel()->axiomField()->setText("F(");
    window->definitionPanel()->handle(window->definitionPanel()->axiomField(),
                                      FXSEL(SEL_COMMAND, DefinitionPanel::ID_AXIOM), nullptr);
    ASSERT_FALSE(window->messages.empty());
    EXPECT_EQ(window->messages.back().before('|'), "Error(s) on computation");
}

TEST_F(MainWindowTest, WithComputeOnChangeOffTheComputeButtonsEnableOnlyAfterAnEdit) {
    command(KLADO_StandaloneMW::ID_COMPUTE_ON_CHANGE);
    ASSERT_FALSE(window->computeOnChange());
    EXPECT_FALSE(enabled(window->computeButton(0)));
    typeText(window->definitionPanel()->axiomField(), "F");
    pressKey(window->definitionPanel()->axiomField(), KEY_Return);
    EXPECT_TRUE(window->pending());
    EXPECT_TRUE(enabled(window->computeButton(0)));
    EXPECT_TRUE(enabled(window->computeButton(7)));
    command(KLADO_StandaloneMW::ID_COMPUTE);
    computed();
    EXPECT_FALSE(window->pending());
    EXPECT_FALSE(enabled(window->computeButton(0)));
}

TEST_F(MainWindowTest, TheDeleteKeyRemovesTheSelectedRuleRow) {
    load("plant.kld", "Axiom:F\nRule::::F::FF\nRule::::G::GG\n");
    MFXAddEditTypedTable* rules = window->definitionPanel()->ruleTable();
    ASSERT_EQ(rules->getNumRows(), 3); // two rules and the row for a new one
    // In the default layout only the middle and the conclusion show: the
    // row is selected when those are.
    rules->setCurrentItem(0, 2);
    rules->selectRange(0, 0, 2, 5);
    pressKey(rules, KEY_Delete);
    ASSERT_EQ(window->workbench().definition().getRules().size(), 1u);
    EXPECT_EQ(window->workbench().definition().getRules()[0].predecessor, "G");
    EXPECT_STREQ(window->titleText().text(), "plant* - KLADO");
    window->undoList.undo();
    EXPECT_EQ(window->workbench().definition().getRules().size(), 2u);
    EXPECT_EQ(rules->getItemText(0, 2), "F");
}

TEST_F(MainWindowTest, ALoadedDefinitionShowsTheRuleColumnsItUses) {
    const auto shown = [&](FXSelector id) {
        FXMenuPane pane(window);
        FXMenuCheck check(&pane, "option", window->definitionPanel(), id);
        window->definitionPanel()->handle(&check, FXSEL(SEL_UPDATE, id), nullptr);
        return check.getCheck() == TRUE;
    };
    MFXAddEditTypedTable* rules = window->definitionPanel()->ruleTable();
    EXPECT_FALSE(shown(DefinitionPanel::ID_SHOW_PROBABILITIES));
    EXPECT_EQ(rules->getColumnWidth(0), 0);

    load("stochastic.kld", "Axiom:F\nRule:0.5:::F::F[+F]\nRule:0.5:::F::F[-F]\nRule::A::B:x>1:C\n");
    EXPECT_TRUE(shown(DefinitionPanel::ID_SHOW_PROBABILITIES));
    EXPECT_TRUE(shown(DefinitionPanel::ID_SHOW_LEFT));
    EXPECT_FALSE(shown(DefinitionPanel::ID_SHOW_RIGHT));
    EXPECT_TRUE(shown(DefinitionPanel::ID_SHOW_CONSTRAINTS));
    EXPECT_GT(rules->getColumnWidth(0), 0);
    EXPECT_EQ(rules->getColumnWidth(3), 0);
    EXPECT_STREQ(rules->getItemText(0, 0).text(), "0.5");
}

TEST_F(MainWindowTest, ThePictureFollowsADraggedDialAndTheDragIsOneUndoStep) {
    load("plant.kld", plant);
    const auto bound = [&] {
        window->workbench().view().takeOverPendingScene();
        return window->workbench().view().viewer()->getSceneData()->getBound();
    };
    const osg::BoundingSphere start = bound();
    // Dragging the default Z rotation: changes while the mouse moves.
    FXRealSpinDial* rotation = widgets<FXRealSpinDial>(window->definitionPanel(), DefinitionPanel::ID_ROTZ).at(0);
    const double initial = rotation->getValue();
    move(rotation, initial + 30, SEL_CHANGED);
    EXPECT_TRUE(window->scheduler().computing() || window->scheduler().waiting());
    computed();
    const osg::BoundingSphere bent = bound();
    EXPECT_NE(start.center(), bent.center());
    move(rotation, initial + 60, SEL_CHANGED);
    computed();
    EXPECT_NE(bent.center(), bound().center());
    move(rotation, initial + 60, SEL_COMMAND); // released where it was
    computed();
    // A second drag is an entry of its own.
    move(rotation, initial + 90, SEL_CHANGED);
    move(rotation, initial + 90, SEL_COMMAND);
    computed();
    window->undoList.undo();
    EXPECT_DOUBLE_EQ(rotation->getValue(), initial + 60);
    window->undoList.undo();
    EXPECT_DOUBLE_EQ(rotation->getValue(), initial);
    EXPECT_FALSE(window->undoList.canUndo());
    computed();
    EXPECT_EQ(start.center(), bound().center());

    // A shape's length follows its dial too.
    FXListBox* item = widgets<FXListBox>(window->shapingPanel(), ShapingPanel::ID_ITEM).at(0);
    item->setCurrentItem(item->findItem("F"), true);
    FXRealSpinDial* length = nullptr;
    for (FXRealSpinDial* dial : widgets<FXRealSpinDial>(window->shapingPanel(), ShapingPanel::ID_SHAPE))
        if (!length && dial->getParent()->getParent()->shown()) length = dial; // on the panel of F's shape
    ASSERT_NE(length, nullptr);
    const float radius = bound().radius();
    move(length, length->getValue() * 5, SEL_CHANGED);
    computed();
    EXPECT_GT(bound().radius(), radius * 2);

    // And the tropism.
    FXRealSpinDial* tropism = widgets<FXRealSpinDial>(window->tweaksPanel(), TweaksPanel::ID_TWEAKS).at(0);
    move(tropism, 0.5, SEL_CHANGED);
    EXPECT_TRUE(window->scheduler().computing() || window->scheduler().waiting());
    EXPECT_EQ(window->workbench().definition().getTweaks().at(tropismDirectionKey).substr(0, 3), "0.5");
    computed();

    // After its replay by undo the dial's own edits are recorded again.
    const FXint entries = window->undoList.undoCount();
    move(rotation, initial + 10, SEL_COMMAND);
    EXPECT_EQ(window->undoList.undoCount(), entries + 1);
    computed();
}

TEST_F(MainWindowTest, TheSettingsAreWrittenAtQuitAsTheyWereAndReadBack) {
    // A file opened by a relative name is remembered by its whole path.
    dir.write("plant.kld", plant);
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir.path("").c_str()), 0);
    const bool loaded = window->load("plant.kld");
    ASSERT_EQ(chdir(here), 0);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(window->recentFiles().getFile(1), dir.path("plant.kld").c_str());
    computed();

    command(KLADO_StandaloneMW::ID_COMPUTE_ON_CHANGE);
    window->position(40, 50, 700, 500);
    // Every folder kept is written back as it was, however often.
    guiApp()->reg().writeStringEntry("ImgExport", "imgdir", "/pictures/of/plants");
    guiApp()->reg().writeStringEntry("SETTINGS", "objdir", "/objects");
    command(KLADO_StandaloneMW::ID_QUIT);
    command(KLADO_StandaloneMW::ID_QUIT);
    FXRegistry written("KLADO", "TOVA");
    written.read();
    EXPECT_EQ(written.readIntEntry("SETTINGS", "bRecOnChange", 1), 0);
    EXPECT_EQ(written.readIntEntry("SETTINGS", "width", 0), 700);
    EXPECT_EQ(written.readIntEntry("SETTINGS", "height", 0), 500);
    EXPECT_EQ(written.readIntEntry("ImgExport", "imgwidth", 0), 600);
    EXPECT_TRUE(written.existingEntry("SETTINGS", "bSingleCharNamesOnly"));
    EXPECT_TRUE(written.existingEntry("SETTINGS", "bShowGLControls"));
    EXPECT_TRUE(written.existingEntry("MaterialIO", "importtype"));
    EXPECT_STREQ(written.readStringEntry("ImgExport", "imgdir", ""), "/pictures/of/plants");
    EXPECT_STREQ(written.readStringEntry("SETTINGS", "objdir", ""), "/objects");

    auto* again = new ScriptedWindow(guiApp());
    again->create();
    EXPECT_FALSE(again->computeOnChange());
    EXPECT_EQ(again->getWidth(), 700);
    delete again;
    // Back to the default for the other tests.
    guiApp()->reg().writeIntEntry("SETTINGS", "bRecOnChange", 1);
}

TEST_F(MainWindowTest, RecordEditsAreUndoneToTheRecordsBeforeAndAColourDialogSessionIsOneStep) {
    load("plant.kld", std::string(plant) + "ShapeDef:F visible=1, interpreted=1, type=tube\n" +
                          "Environment:background.color=3366cc\n");
    const LSystemDefinition& definition = window->workbench().definition();

    FXListBox* item = widgets<FXListBox>(window->shapingPanel(), ShapingPanel::ID_ITEM).at(0);
    item->setCurrentItem(item->findItem("F"), true);
    widgets<FXListBox>(window->shapingPanel(), ShapingPanel::ID_SHAPETYPE).at(0)->setCurrentItem(2, true);
    EXPECT_EQ(definition.getShapeDefs().at("F").type, ShapeType::Cone);
    EXPECT_EQ(window->undoList.undoName(), "Undo Shape Definition Change");
    window->undoList.undo();
    EXPECT_EQ(definition.getShapeDefs().at("F").type, ShapeType::Tube);

    // The file has no tweaks: undoing the first one leaves none.
    widgets<FXRealSpinDial>(window->tweaksPanel(), TweaksPanel::ID_TWEAKS).at(3)->setValue(0.5, true);
    EXPECT_EQ(definition.getTweaks().count(tropismStrengthKey), 1u);
    window->undoList.undo();
    EXPECT_TRUE(definition.getTweaks().empty());

    widgets<FXColorWell>(window->environmentPanel(), EnvironmentPanel::ID_BACKGROUND)
        .at(0)
        ->setRGBA(FXRGB(255, 0, 0), true);
    EXPECT_EQ(definition.getEnvironment().at(backgroundColorKey), "ff0000");
    EXPECT_EQ(window->undoList.undoName(), "Undo Environment Change");
    window->undoList.undo();
    EXPECT_EQ(definition.getEnvironment().at(backgroundColorKey), "3366cc");

    widgets<FXCheckButton>(window->environmentPanel(), EnvironmentPanel::ID_LIGHT).at(0)->setCheck(true, true);
    EXPECT_TRUE(window->workbench().lights()[0].enabled);
    EXPECT_EQ(window->undoList.undoName(), "Undo Light Change");
    window->undoList.undo();
    EXPECT_FALSE(window->workbench().lights()[0].enabled);

    // A colour dialog session is one undo step.
    const std::vector<FXColorWell*> lightWells =
        widgets<FXColorWell>(window->environmentPanel(), EnvironmentPanel::ID_LIGHT);
    ASSERT_EQ(lightWells.size(), 3u);
    FXColorWell* backgroundWell = window->environmentPanel()->backgroundWell();
    const auto session = [&](FXColorWell* well, FXColor colour) {
        // What the well's dialog sends: changes while it is open, one
        // command when it closes.
        for (int step = 1; step <= 3; ++step) {
            const FXColor moving = FXRGB(step * 20, 0, 0);
            well->setRGBA(moving);
            well->getTarget()->handle(well, FXSEL(SEL_CHANGED, well->getSelector()),
                                      reinterpret_cast<void*>(static_cast<FXuval>(moving)));
        }
        well->setRGBA(colour);
        well->getTarget()->handle(well, FXSEL(SEL_COMMAND, well->getSelector()),
                                  reinterpret_cast<void*>(static_cast<FXuval>(colour)));
    };
    const LightDef light = window->workbench().lights()[0];
    const FXColor background = backgroundWell->getRGBA();
    session(lightWells[0], FXRGB(1, 2, 3));
    session(lightWells[1], FXRGB(4, 5, 6));
    session(backgroundWell, FXRGB(7, 8, 9));
    session(lightWells[2], FXRGB(10, 11, 12));
    for (int undo = 0; undo < 4; ++undo) {
        ASSERT_TRUE(window->undoList.canUndo());
        window->undoList.undo();
    }
    EXPECT_FALSE(window->undoList.canUndo());
    const LightDef& undone = window->workbench().lights()[0];
    EXPECT_EQ(std::tie(undone.ambient, undone.diffuse, undone.specular),
              std::tie(light.ambient, light.diffuse, light.specular));
    EXPECT_EQ(backgroundWell->getRGBA(), background);
    // A session that ends where it began (a dialog cancelled after live
    // edits) leaves no entry behind and the document unchanged.
    session(backgroundWell, background);
    EXPECT_FALSE(window->undoList.canUndo());
    EXPECT_FALSE(window->isModified());
}

TEST_F(MainWindowTest, TableCellsAreCheckedBeforeTheyReachTheDefinition) {
    // A bad first cell of a row of each table.
    const struct {
        MFXAddEditTypedTable* table;
        const char* text;
        const char* message;
    } cases[] = {
        {window->definitionPanel()->ruleTable(), "often", "Value error|The probability must be a numeric value"},
        {window->extensionsPanel()->constantsTable(), "2pi", "Name error|The name must begin with a letter"},
    };
    const auto replaced = [](MFXAddEditTypedTable* table) {
        FXTableRange change;
        change.fm.row = change.to.row = change.fm.col = change.to.col = 0;
        table->getTarget()->handle(table, FXSEL(SEL_REPLACED, table->getSelector()), &change);
    };
    for (const auto& test : cases) {
        window->messages.clear();
        test.table->setItemText(0, 0, test.text);
        if (test.table == window->definitionPanel()->ruleTable()) test.table->setItemText(0, 2, "F");
        replaced(test.table);
        ASSERT_EQ(window->messages.size(), 1u) << test.text;
        EXPECT_EQ(window->messages[0], test.message);
    }
    // Neither bad row reached the definition.
    EXPECT_TRUE(window->workbench().definition().getRules().empty());
    EXPECT_EQ(window->workbench().definition().getConstants().count("2pi"), 0u);
    // Nor does a rule row still without its predecessor: it would leave the
    // system without any rule.
    MFXAddEditTypedTable* rules = window->definitionPanel()->ruleTable();
    rules->setItemText(0, 0, "1");
    rules->setItemText(0, 2, "");
    rules->setItemText(0, 5, "FF");
    replaced(rules);
    EXPECT_TRUE(window->workbench().definition().getRules().empty());
}

TEST_F(MainWindowTest, TheTitleMarksUnsavedEditsAndTypingAfterASaveIsANewEdit) {
    // Whether the window comes to show the title through the toolkit's own
    // update pass, as in a running program.
    auto shows = [this](const char* title) {
        guiApp()->refresh();
        return runUntil([&] { return window->getTitle() == title; });
    };
    load("plant.kld", plant);
    EXPECT_TRUE(shows("plant - KLADO"));
    typeText(window->definitionPanel()->nameField(), "A");
    EXPECT_TRUE(shows("plant* - KLADO"));
    command(KLADO_StandaloneMW::ID_SAVE);
    EXPECT_TRUE(shows("plant - KLADO"));
    // The same run of typing goes on after the save.
    typeText(window->definitionPanel()->nameField(), "B");
    EXPECT_TRUE(window->isModified());
    EXPECT_TRUE(shows("plant* - KLADO"));
    EXPECT_TRUE(enabled(widgets<FXButton>(window, KLADO_StandaloneMW::ID_SAVE).at(0)));
    window->undoList.undo();
    EXPECT_TRUE(shows("plant - KLADO"));
    // Revert to saved, then redo, brings the edit back.
    window->undoList.redo();
    window->undoList.revert();
    EXPECT_EQ(window->workbench().definition().getName(), "test plantA");
    window->undoList.redo();
    EXPECT_EQ(window->workbench().definition().getName(), "test plantAB");
    EXPECT_TRUE(window->isModified());

    // Enter closes the entry, and the entries of two fields never merge.
    pressKey(window->definitionPanel()->nameField(), KEY_Return);
    typeText(window->definitionPanel()->nameField(), "C");
    typeText(window->definitionPanel()->axiomField(), "G");
    window->undoList.undo();
    EXPECT_EQ(window->workbench().definition().getAxiom(), "F");
    EXPECT_EQ(window->workbench().definition().getName(), "test plantABC");
    window->undoList.undo();
    EXPECT_EQ(window->workbench().definition().getName(), "test plantAB");
    // Typing a letter and taking it back is no entry either.
    const FXint entries = window->undoList.undoCount();
    typeText(window->definitionPanel()->nameField(), "D");
    pressKey(window->definitionPanel()->nameField(), KEY_BackSpace);
    pressKey(window->definitionPanel()->nameField(), KEY_Return);
    EXPECT_EQ(window->undoList.undoCount(), entries);
}

TEST_F(MainWindowTest, LoadedValuesBeyondTheDialsAreComputedAsTheFileHoldsThem) {
    dir.write("wide.kld",
              "Axiom:F\nRule::::F::F[+F]F\nDef:_steps:2\nDef:_seed:5000\nDef:_idirX:2.5\nDef:_multichar:0\n");
    // The remembered switch does not override a loaded file's own.
    guiApp()->reg().writeIntEntry("SETTINGS", "bSingleCharNamesOnly", 1);
    auto* loaded = new ScriptedWindow(guiApp());
    ASSERT_TRUE(loaded->load(dir.path("wide.kld")));
    // It is computed once the window is on the screen.
    EXPECT_EQ(loaded->workbench().lsystem(), nullptr);
    loaded->create();
    const auto& constants = loaded->workbench().definition().getConstants();
    EXPECT_EQ(constants.at("_seed").value, "5000");
    EXPECT_EQ(constants.at("_idirX").value, "2.5");
    EXPECT_EQ(constants.at("_multichar").value, "0");
    EXPECT_FALSE(loaded->definitionPanel()->multiCharCheck()->getCheck());
    EXPECT_EQ(loaded->tweaksPanel()->seedDial()->getValue(), 5000);
    EXPECT_EQ(loaded->definitionPanel()->directionDial(0)->getValue(), 2.5);
    computed(loaded);
    ASSERT_NE(loaded->workbench().lsystem(), nullptr);
    EXPECT_EQ(loaded->workbench().lsystem()->getValue("_seed", 0), 5000);
    EXPECT_EQ(loaded->workbench().lsystem()->getValue("_idirX", 0), 2.5);
    EXPECT_EQ(constants.at("_seed").value, "5000");
    delete loaded;
    guiApp()->reg().writeIntEntry("SETTINGS", "bSingleCharNamesOnly", 0);
}

// The background well and the view read the colour by the same rules: a
// colour that is no colour is black in both.
TEST_F(MainWindowTest, TheBackgroundWellShowsTheColourTheViewShowsAndCloseAndNewLeaveNothingOfTheOldDocument) {
    const auto viewColour = [&] {
        window->workbench().view().applyBackground();
        const osg::Vec4 clear = window->workbench().view().viewer()->getCamera()->getClearColor();
        return FXRGBA(std::lround(clear.r() * 255), std::lround(clear.g() * 255), std::lround(clear.b() * 255),
                      std::lround(clear.a() * 255));
    };
    for (const auto& [text, colour] : {std::pair<const char*, FXColor>{"3366cc", FXRGB(0x33, 0x66, 0xcc)},
                                       std::pair<const char*, FXColor>{"12zzzz", FXRGB(0, 0, 0)}}) {
        load("plant.kld", std::string(plant) + "Environment:background.color=" + text + "\n");
        EXPECT_EQ(window->environmentPanel()->backgroundWell()->getRGBA(), colour) << text;
        EXPECT_EQ(viewColour(), colour) << text;
    }

    // A modified document is closed only when the question is answered.
    typeText(window->definitionPanel()->axiomField(), "G");
    command(KLADO_StandaloneMW::ID_CLOSE);
    ASSERT_EQ(window->questions.size(), 1u);
    EXPECT_EQ(window->questions[0].before('|'), "Unsaved Document");
    EXPECT_EQ(window->workbench().definition().getAxiom(), "FG");
    window->answers = {MBOX_CLICKED_NO};
    command(KLADO_StandaloneMW::ID_CLOSE);
    EXPECT_EQ(window->workbench().definition().getAxiom(), "");
    EXPECT_EQ(window->workbench().specialVariable("_steps", 0), 3);

    for (FXSelector id : {KLADO_StandaloneMW::ID_CLOSE, KLADO_StandaloneMW::ID_NEW}) {
        load("plant.kld", std::string(plant) + "Environment:background.color=eeddbb\n");
        ASSERT_NE(window->statusText(), "Ready.");
        command(id);
        EXPECT_EQ(window->environmentPanel()->backgroundWell()->getRGBA(), FXRGB(0, 0, 0));
        EXPECT_EQ(viewColour(), FXRGB(0, 0, 0));
        EXPECT_EQ(window->statusText(), "Ready.");
        EXPECT_EQ(window->statisticsPanel()->tree()->getFirstItem(), nullptr);
        EXPECT_EQ(window->titleText(), "KLADO");
        EXPECT_TRUE(window->workbench().fileName().empty());
    }
}

TEST_F(MainWindowTest, AFileChangedOnDiskIsReloadedUnlessThereAreUnsavedEditsAndIsOverwrittenOnlyIfSaid) {
    load("plant.kld", plant);
    const auto touchLater = [&](const std::string& text, int seconds) {
        dir.write("plant.kld", text);
        // File times have a resolution of a second here.
        const std::string stamp = "touch -d '+" + std::to_string(seconds) + " seconds' '" + dir.path("plant.kld") + "'";
        ASSERT_EQ(std::system(stamp.c_str()), 0);
    };
    touchLater("Name:test plant\nAxiom:FF\nDef:_steps:1\n", 2);
    window->handle(nullptr, FXSEL(SEL_TIMEOUT, KLADO_StandaloneMW::ID_FILE_WATCH), nullptr);
    computed();
    EXPECT_EQ(window->definitionPanel()->axiomField()->getText(), "FF");
    EXPECT_FALSE(window->isModified());

    // Saving over a file changed on disk asks first.
    typeText(window->definitionPanel()->nameField(), "X");
    touchLater("Name:written elsewhere\nAxiom:G\n", 4);
    window->answers.push_back(MBOX_CLICKED_NO);
    command(KLADO_StandaloneMW::ID_SAVE);
    ASSERT_EQ(window->questions.size(), 1u);
    EXPECT_EQ(
        window->questions[0],
        ("File Changed|'" + dir.path("plant.kld") + "' changed on disk since it was opened. Overwrite it?").c_str());
    EXPECT_EQ(dir.read("plant.kld"), "Name:written elsewhere\nAxiom:G\n");
    EXPECT_TRUE(window->isModified());
    window->answers.push_back(MBOX_CLICKED_YES);
    command(KLADO_StandaloneMW::ID_SAVE);
    EXPECT_NE(dir.read("plant.kld").find("test plantX"), std::string::npos);

    // A change on disk does not replace unsaved edits.
    typeText(window->definitionPanel()->nameField(), "Y");
    touchLater("Name:test plant\nAxiom:X\n", 6);
    window->handle(nullptr, FXSEL(SEL_TIMEOUT, KLADO_StandaloneMW::ID_FILE_WATCH), nullptr);
    EXPECT_NE(window->workbench().definition().getAxiom(), "X");
    EXPECT_TRUE(window->isModified());
    // Saving them later still asks before the change is overwritten.
    window->answers.push_back(MBOX_CLICKED_NO);
    command(KLADO_StandaloneMW::ID_SAVE);
    ASSERT_EQ(window->questions.size(), 3u);
    EXPECT_EQ(window->questions[2], window->questions[0]);
    EXPECT_EQ(dir.read("plant.kld"), "Name:test plant\nAxiom:X\n");
}

} // namespace
