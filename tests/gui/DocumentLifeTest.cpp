// The document's life with a scripted host in place of the window: no
// widget is built.

#include "gui/DocumentLife.h"
#include "gui/MFXUndoHolder.h"
#include "lsys/String2IDManager.h"

#include "../GuiTestApp.h"
#include "../TempDir.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

struct ScriptedHost : DocumentLife::Host {
    std::deque<FXuint> answers;
    // Each file dialog takes the next name; an empty one accepts the name offered.
    std::deque<FXString> files;
    std::vector<FXString> offered;
    std::vector<std::string> calls;
    bool screen = true;

    FXuint askQuestion(const FXString& title, const FXString&, FXuint) override {
        calls.push_back(("ask " + title).text());
        if (answers.empty()) return MBOX_CLICKED_CANCEL;
        const FXuint answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(bool, const FXString& title, const FXString&) override {
        calls.push_back(("message " + title).text());
    }
    bool chooseFile(bool, FXString& fileName) override {
        offered.push_back(fileName);
        if (files.empty()) return false;
        if (!files.front().empty()) fileName = files.front();
        files.pop_front();
        return true;
    }
    std::unique_ptr<LSystemDefinition> chooseFractintEntry(const std::string&) override { return nullptr; }
    MFXRecoveryDialog::Answer askRestore(const FXString&) override { return MFXRecoveryDialog::Later; }
    bool onScreen() const override { return screen; }
    bool multiCharWords() const override { return false; }
    void stopComputing() override {}
    void documentReplaced(bool empty) override { calls.push_back(empty ? "new" : "shown"); }
    void computeDocument() override { calls.push_back("compute"); }
    void nameChanged() override {}
    void showStatus(const FXString&) override {}
};

struct Undo : MFXUndoHolder {
    Undo() : MFXUndoHolder(30, 10) {}
    void undoChanged() override {}
};

struct DocumentLifeTest : ::testing::Test {
    TempDir dir;
    ScriptedHost host;
    Workbench workbench{FailureReporter::standardError()};
    Undo undo;
    FXRecentFiles recent{guiApp(), "Document Life Test"};
    DocumentLife life{host, workbench, undo, recent, FailureReporter::standardError()};

    void SetUp() override {
        String2IDManager::instance().registerBuiltins();
        recent.clear();
        dir.write("plant.kld", "Name:test plant\nAxiom:F\nRule::::F::FF\n");
    }
};

TEST_F(DocumentLifeTest, ALoadedDocumentIsComputedOnceTheWindowIsOnTheScreen) {
    host.screen = false;
    ASSERT_TRUE(life.load(dir.path("plant.kld")));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"shown"}));
    EXPECT_TRUE(life.takeComputeWhenShown());
    EXPECT_FALSE(life.takeComputeWhenShown());

    host.screen = true;
    host.calls.clear();
    ASSERT_TRUE(life.load(dir.path("plant.kld")));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"shown", "compute"}));
    EXPECT_FALSE(life.takeComputeWhenShown());
}

TEST_F(DocumentLifeTest, ClosingAModifiedDocumentAsksAndCancelKeepsIt) {
    ASSERT_TRUE(life.load(dir.path("plant.kld")));
    undo.undoList.unmark();
    host.calls.clear();
    life.close();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ask Unsaved Document"}));
    EXPECT_EQ(workbench.definition().getAxiom(), "F");

    host.answers = {MBOX_CLICKED_NO};
    life.close();
    EXPECT_EQ(workbench.definition().getAxiom(), "");
    EXPECT_TRUE(workbench.fileName().empty());
    EXPECT_EQ(workbench.specialVariable("_steps", 0), 3);
    EXPECT_FALSE(life.isModified());
    EXPECT_EQ(host.calls.back(), "new");
}

TEST_F(DocumentLifeTest, SavingAsOffersTheNameAgainWithTheDefinitionExtension) {
    workbench.definition().setAxiom("F");
    host.files = {dir.path("my.txt").c_str(), ""};
    ASSERT_TRUE(life.saveAs());
    ASSERT_EQ(host.offered.size(), 2u);
    EXPECT_EQ(host.offered[1], dir.path("my.kld").c_str());
    EXPECT_EQ(workbench.fileName(), dir.path("my.kld"));
    EXPECT_NE(dir.read("my.kld").find("Axiom:F\n"), std::string::npos);
    EXPECT_EQ(recent.getFile(1), dir.path("my.kld").c_str());
}

} // namespace
