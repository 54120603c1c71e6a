// The recovery copy, end to end: the program killed with an unsaved edit,
// started again, offers the edit and restores it into its file.

#include "ProgramRun.h"

#include <fstream>
#include <iterator>

namespace {

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RecoveryEndToEnd : public ProgramRun {
protected:
    std::vector<std::string> recoveryFiles(const std::string& ending) const {
        std::vector<std::string> found;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(home.path(".local/share/klado/recovery"), error)) {
            const std::string name = entry.path().filename();
            if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
                found.push_back(entry.path());
        }
        return found;
    }
};

TEST_F(RecoveryEndToEnd, AnEditOfAKilledProgramIsOfferedAndRestoredIntoItsFile) {
    startOnPlant();
    typeAxiom("F+F+F");

    // The copy is written a few seconds after the edit.
    ASSERT_TRUE(waitFor(
        [&] {
            const auto copies = recoveryFiles(".kld");
            return copies.size() == 1 && !recoveryFiles(".info").empty() &&
                   read(copies[0]).find("Axiom:F+F+F\n") != std::string::npos;
        },
        15))
        << "no recovery copy with the edit";
    EXPECT_NE(read(recoveryFiles(".info")[0]).find("original=" + files.path("plant.kld") + "\n"), std::string::npos);
    end();
    EXPECT_EQ(files.read("plant.kld"), endToEndPlant);

    // The next start offers it; Return restores.
    start("");
    ASSERT_FALSE(window("Unsaved Edits").empty()) << "no offer";
    main = "";
    for (int attempt = 0; attempt < 10 && main.empty(); ++attempt) {
        // Keys reach the question once it is on the screen.
        const std::string question = output("xdotool search --name '^Unsaved Edits$' | head -1");
        if (!question.empty()) {
            std::system(("xdotool windowfocus --sync " + question + " key Return 2>/dev/null").c_str());
        }
        main = output("timeout 2 xdotool search --sync --pid " + std::to_string(pid) +
                      " --name '^plant\\* - KLADO$' | head -1");
    }
    ASSERT_FALSE(main.empty()) << "the edits were not restored into the file's document";

    // Restored as an unsaved edit of the file (its title marks it): saving writes it there, and
    // the copy goes. The keys reach the window once its computation ends.
    EXPECT_TRUE(waitFor(
        [&] {
            std::system(("xdotool windowfocus --sync " + main + " key --clearmodifiers ctrl+s 2>/dev/null").c_str());
            return files.read("plant.kld").find("Axiom:F+F+F\n") != std::string::npos;
        },
        10))
        << "not saved";
    EXPECT_TRUE(waitFor([&] { return recoveryFiles("").empty(); }, 5)) << "the copy stayed after saving";

    std::system(("xdotool windowfocus --sync " + main + " key --clearmodifiers ctrl+q 2>/dev/null").c_str());
    EXPECT_EQ(exitStatus(), 0);
    EXPECT_TRUE(recoveryFiles("").empty());
}

} // namespace
