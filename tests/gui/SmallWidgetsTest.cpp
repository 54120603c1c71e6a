#include "editors/MessageBoxReporter.h"
#include "gui/FXLinkLabel.h"
#include "gui/FXRealSpinDial.h"
#include "gui/SymbolHelp.h"
#include "gui/WindowPlacement.h"
#include "interpretation/TurtleSymbols.h"

#include "../GuiTestApp.h"
#include "../TempDir.h"

#include <cstdlib>
#include <fstream>
#include <string>

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
    TempDir dir;
    const std::string log = dir.path("opened");
    dir.write("xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > " + log + ".tmp && /bin/mv " + log + ".tmp " + log + "\n");
    ASSERT_EQ(0, std::system(("chmod +x " + dir.path("xdg-open")).c_str()));
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";

    auto* window = new FXMainWindow(guiApp(), "link");
    auto* label = new FXLinkLabel(window, "home page", "http://example.org/a b;$(x)");
    window->create();
    setenv("PATH", dir.path("").c_str(), 1);
    EXPECT_TRUE(label->open());
    std::string opened;
    runUntil([&] {
        std::ifstream file(log);
        return bool(std::getline(file, opened));
    });
    EXPECT_EQ("http://example.org/a b;$(x)", opened); // one argument, no shell

    // Without an opener nothing happens; an option-like URL is refused.
    setenv("PATH", "/nonexistent", 1);
    label->open();
    label->setUrl("--help");
    EXPECT_FALSE(label->open());
    setenv("PATH", path.c_str(), 1);
    delete window;
}

TEST(SymbolHelp, ShowsEveryTurtleSymbolWithItsWholeMeaningAndDefaultWrappedAtBlanks) {
    FXMainWindow window(guiApp(), "help", nullptr, nullptr, DECOR_ALL, 0, 0, 320, 500);
    auto* table = new SymbolHelpTable(&window);
    window.create();
    window.show(PLACEMENT_SCREEN);
    settle();
    table->layout();

    ASSERT_EQ(table->getNumRows(), static_cast<FXint>(turtleSymbols.size()));
    FXFont* font = table->getFont();
    const FXint meaningWidth = table->getColumnWidth(SymbolHelpTable::MeaningColumn);
    FXint total = 0;
    for (FXint col = 0; col < table->getNumColumns(); ++col) total += table->getColumnWidth(col);
    EXPECT_LE(total, table->getWidth());
    for (FXint row = 0; row < table->getNumRows(); ++row) {
        const TurtleSymbol& symbol = turtleSymbols[row];
        EXPECT_STREQ(table->getItemText(row, SymbolHelpTable::SymbolColumn).text(), symbol.symbol);
        EXPECT_EQ(table->getItemText(row, SymbolHelpTable::DefaultColumn).text(), defaultText(symbol));
        // Wrapped, never cut: the lines joined again are the meaning, and
        // each line and the row hold them.
        FXString meaning = table->getItemText(row, SymbolHelpTable::MeaningColumn);
        const FXint lines = meaning.contains('\n') + 1;
        for (FXint line = 0; line < lines; ++line)
            EXPECT_LE(font->getTextWidth(meaning.section('\n', line)), meaningWidth) << symbol.symbol;
        EXPECT_GE(table->getRowHeight(row), lines * font->getFontHeight()) << symbol.symbol;
        EXPECT_STREQ(meaning.substitute('\n', ' ').text(), symbol.meaning);
    }
    // The long texts of a narrow panel take more than one line.
    EXPECT_GT(table->getItemText(0, SymbolHelpTable::MeaningColumn).contains('\n'), 0);

    // Wrapped at blanks; a long word is kept whole.
    const FXint width = font->getTextWidth("aaa bbb");
    EXPECT_STREQ(SymbolHelpTable::wrap("aaa bbb ccc", font, width).text(), "aaa bbb\nccc");
    EXPECT_STREQ(SymbolHelpTable::wrap("aaaaaaaaaaaaaaaa b", font, width).text(), "aaaaaaaaaaaaaaaa\nb");
    EXPECT_STREQ(SymbolHelpTable::wrap("", font, width).text(), "");
}

TEST(WindowPlacement, TheFirstStartShowsAWholeTabOrMostOfASmallScreenAndARememberedPlaceIsKeptOnIt) {
    const WindowPlacement large = WindowPlacement::firstStart(1920, 1080);
    EXPECT_EQ(large.width, 1100);
    EXPECT_EQ(large.height, 720);
    EXPECT_EQ(large.x, (1920 - 1100) / 2);

    const auto expectOnScreen = [](const WindowPlacement& place, int width, int height) {
        EXPECT_GE(place.x, 0);
        EXPECT_GE(place.y, 0);
        EXPECT_LE(place.x + place.width, width);
        EXPECT_LE(place.y + place.height, height);
    };
    const WindowPlacement small = WindowPlacement::firstStart(1024, 600);
    EXPECT_EQ(small.width, 1024 * 9 / 10);
    EXPECT_EQ(small.height, 600 * 9 / 10);
    expectOnScreen(small, 1024, 600);

    // A remembered place is kept on the screen.
    // Remembered on a larger screen: shrunk and moved so that it all shows.
    expectOnScreen(WindowPlacement{150, 150, 1600, 1200}.keptOn(1280, 1024), 1280, 1024);

    const WindowPlacement off = WindowPlacement{-500, 3000, 800, 600}.keptOn(1280, 1024);
    EXPECT_EQ(off.width, 800);
    EXPECT_EQ(off.height, 600);
    expectOnScreen(off, 1280, 1024);

    // A place that fits stays where it was.
    const WindowPlacement fits = WindowPlacement{100, 120, 900, 700}.keptOn(1280, 1024);
    EXPECT_EQ(fits.x, 100);
    EXPECT_EQ(fits.y, 120);
    EXPECT_EQ(fits.width, 900);
    EXPECT_EQ(fits.height, 700);
}

TEST(MessageBoxReporter, ShowsTitleAndTextLiterally) {
    FXMainWindow window(guiApp(), "test");
    window.create();
    MessageBoxReporter reporter(&window);
    FXString title;
    bool textShown = false;
    whenModal<FXMessageBox>([&](FXMessageBox* box) {
        title = box->getTitle();
        textShown = findLabel(box, "100% of %s and %d") != nullptr;
        box->handle(box, FXSEL(SEL_COMMAND, FXMessageBox::ID_CLICKED_OK), nullptr);
    });
    reporter.report("Definition error", "100% of %s and %d");
    EXPECT_EQ(title, "Definition error");
    EXPECT_TRUE(textShown);
}

} // namespace
