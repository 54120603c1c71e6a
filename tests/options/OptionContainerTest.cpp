#include "options/OptionContainer.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const InvalidArgument& e) {
        return e.message();
    }
    return "<no error>";
}

} // namespace

TEST(OptionContainer, DeclarationAndSynonymErrors) {
    OptionContainer options;
    options.declare("load", std::make_unique<Option_FileName>());
    options.declare("convert", 'l', std::make_unique<Option_FileName>());
    EXPECT_TRUE(options.exists("l"));
    EXPECT_FALSE(options.exists("c"));
    EXPECT_EQ(messageOf([&] { options.declare("load", std::make_unique<Option_Bool>()); }),
              "An option with the name 'load' already exists.");
    EXPECT_EQ(messageOf([&] { options.addSynonym("a", "b"); }),
              "Neither an option with the name 'a' nor an option with the name 'b' is known.");
    EXPECT_EQ(messageOf([&] { options.addSynonym("load", "l"); }), "Both options are already set ('load' and 'l')!");
    options.addSynonym("file", "load");
    options.set("file", "x.kld");
    EXPECT_EQ(options.getString("load"), "x.kld");
}

TEST(OptionContainer, UnknownNamesAndFailedSets) {
    OptionContainer options;
    const std::string unknown = "The option 'nope' is not known.";
    EXPECT_EQ(messageOf([&] { options.isSet("nope"); }), unknown);
    EXPECT_EQ(messageOf([&] { options.set("nope", "1"); }), unknown);
    EXPECT_EQ(messageOf([&] { options.set("nope", true); }), unknown);

    // The parser's tests see the messages of an integer option given twice.
    options.declare("scale", std::make_unique<Option_Double>());
    options.declare("verbose", 'v', std::make_unique<Option_Bool>());
    EXPECT_EQ(messageOf([&] { options.set("scale", "1..2"); }), "The option 'scale' is of the type 'double'.");
    options.set("v", true);
    EXPECT_TRUE(options.getBool("verbose"));
    EXPECT_EQ(messageOf([&] { options.set("verbose", true); }), "The option 'verbose' was already set.");
    EXPECT_THROW(options.set("scale", ""), EmptyData); // an empty text is left to the caller
    options.set("scale", "2");
    options.makeAllSettable();
    options.set("scale", "3");
    EXPECT_EQ(options.getDouble("scale"), 3.0);
}

