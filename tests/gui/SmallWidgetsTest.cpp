#include "gui/FXLinkLabel.h"
#include "gui/FXRealSpinDial.h"

#include "../GuiTestApp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using SpinDial = GuiTest;

TEST_F(SpinDial, TypedTextIsClampedOrRefused) {
    window = new FXMainWindow(app, "dial", nullptr, nullptr, DECOR_ALL, 0, 0, 300, 100);
    auto* dial = new FXRealSpinDial(window, 8, &recorder, 1);
    dial->setFormatString("%.2f");
    dial->setRange(-3600, 3600);
    show();
    // The text field inside the dial, where the user types.
    FXTextField* field = nullptr;
    for (FXWindow* child = dial->getFirst(); child; child = child->getNext())
        if (auto* text = dynamic_cast<FXTextField*>(child)) field = text;
    ASSERT_NE(field, nullptr);
    const struct {
        const char* typed;
        double value;
        const char* shown;
    } cases[] = {
        {"12.345", 12.345, "12.35"}, {"1e400", 3600, "3600.00"}, {"-5000", -3600, "-3600.00"}, {" 2,5 ", 2.5, "2.50"},
        {"nan", 2.5, "2.50"},        {"", 2.5, "2.50"},          {"12abc", 2.5, "2.50"},       {"inf", 2.5, "2.50"},
    };
    for (const auto& c : cases) {
        field->setText(c.typed);
        pressKey(field, KEY_Return);
        EXPECT_DOUBLE_EQ(c.value, dial->getValue()) << c.typed;
        EXPECT_STREQ(c.shown, dial->getText().text()) << c.typed;
    }
    // Only the accepted values were announced.
    EXPECT_EQ(4, recorder.commands + recorder.changes);
}

TEST(LinkLabel, OpensItsUrlWithTheDesktopOpener) {
    const std::string dir = testing::TempDir() + "link-" + std::to_string(getpid());
    const std::string log = dir + "/opened";
    ASSERT_EQ(0, std::system(("mkdir -p " + dir).c_str()));
    std::ofstream(dir + "/xdg-open") << "#!/bin/sh\nprintf '%s' \"$1\" > " << log << ".tmp && /bin/mv " << log
                                     << ".tmp " << log << "\n";
    ASSERT_EQ(0, std::system(("chmod +x " + dir + "/xdg-open").c_str()));
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";

    auto* window = new FXMainWindow(guiApp(), "link");
    auto* label = new FXLinkLabel(window, "home page", "http://example.org/a b;$(x)");
    window->create();
    setenv("PATH", dir.c_str(), 1);
    EXPECT_TRUE(label->open());
    std::string opened;
    for (int i = 0; i < 500 && opened.empty(); ++i) {
        std::ifstream file(log);
        std::getline(file, opened);
        if (opened.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ("http://example.org/a b;$(x)", opened); // one argument, no shell

    // Without an opener nothing happens; an option-like URL is refused.
    setenv("PATH", "/nonexistent", 1);
    label->open();
    label->setUrl("--help");
    EXPECT_FALSE(label->open());
    setenv("PATH", path.c_str(), 1);
    delete window;
    std::system(("rm -rf " + dir).c_str());
}

} // namespace
