#include "gui/SymbolHelp.h"
#include "interpretation/TurtleSymbols.h"

#include "../GuiTestApp.h"

#include <gtest/gtest.h>

namespace {

TEST(SymbolHelp, ShowsEveryTurtleSymbolWithItsWholeMeaningAndDefault) {
    FXMainWindow window(guiApp(), "help", nullptr, nullptr, DECOR_ALL, 0, 0, 320, 500);
    auto* table = new SymbolHelpTable(&window);
    window.create();
    window.show(PLACEMENT_SCREEN);
    runUntilIdle();
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
}

TEST(SymbolHelp, WrapsAtBlanksAndKeepsALongWordWhole) {
    FXFont* font = guiApp()->getNormalFont();
    const FXint width = font->getTextWidth("aaa bbb");
    EXPECT_STREQ(SymbolHelpTable::wrap("aaa bbb ccc", font, width).text(), "aaa bbb\nccc");
    EXPECT_STREQ(SymbolHelpTable::wrap("aaaaaaaaaaaaaaaa b", font, width).text(), "aaaaaaaaaaaaaaaa\nb");
    EXPECT_STREQ(SymbolHelpTable::wrap("", font, width).text(), "");
}

} // namespace
