#include "options/OptionParser.h"
#include "options/TextConvert.h"

#include "diagnostics/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

using namespace TextConvert;

namespace {

// The program's own option set: four file names, one of them with the
// abbreviation "l", two integers with defaults, and one bool.
OptionContainer programOptions() {
    OptionContainer options;
    options.declare("convert-fractint", 'l', std::make_unique<Option_FileName>());
    options.declare("load", std::make_unique<Option_FileName>());
    options.declare("output-image", std::make_unique<Option_FileName>());
    options.declare("image-width", std::make_unique<Option_Integer>(1024));
    options.declare("image-height", std::make_unique<Option_Integer>(1024));
    options.declare("verbose", 'v', std::make_unique<Option_Bool>());
    options.declare("quick", 'q', std::make_unique<Option_Bool>());
    return options;
}

using Arguments = std::initializer_list<const char*>;

struct Outcome {
    bool accepted;
    std::string errors;
};

Outcome run(OptionContainer& options, Arguments arguments, bool continueOnError = true) {
    std::vector<const char*> argv{"klado"};
    argv.insert(argv.end(), arguments);
    testing::internal::CaptureStderr();
    const bool accepted = parse(options, static_cast<int>(argv.size()), argv.data(), continueOnError);
    return {accepted, testing::internal::GetCapturedStderr()};
}

} // namespace

TEST(OptionParser, ValuesAttachedOrFollowingInLongAndShortForms) {
    for (Arguments arguments : {Arguments{"--image-width=800"}, {"--image-width", "800"}, {"--image-width=", "800"}}) {
        OptionContainer options = programOptions();
        const Outcome outcome = run(options, arguments);
        EXPECT_TRUE(outcome.accepted);
        EXPECT_EQ(outcome.errors, "");
        EXPECT_EQ(options.getInt("image-width"), 800);
        EXPECT_EQ(options.getInt("image-height"), 1024);
    }
    OptionContainer odd = programOptions();
    EXPECT_TRUE(run(odd, {"--load", "-weird-name.kld", "--output-image=a=b.png"}).accepted);
    EXPECT_EQ(odd.getString("load"), "-weird-name.kld");
    EXPECT_EQ(odd.getString("output-image"), "a=b.png");

    // The value following or attached; the last two options bundled.
    for (Arguments arguments : {Arguments{"-l", "file", "-v=ignored"}, {"-l=file", "-v"}, {"-vl", "file"}}) {
        OptionContainer options = programOptions();
        EXPECT_TRUE(run(options, arguments).accepted);
        EXPECT_EQ(options.getString("convert-fractint"), "file");
        EXPECT_TRUE(options.getBool("verbose"));
        EXPECT_FALSE(options.isSet("quick"));
    }
}

TEST(OptionParser, RefusedArgumentsSayWhyAndLeaveTheRest) {
    OptionContainer options = programOptions();
    // A refused argument consumes only itself, so its value is looked at next.
    EXPECT_EQ(run(options, {"--image-width", "abc"}).errors,
              "Error: The option 'image-width' is of the type 'integer'.\n"
              "Error: Unrecognized option 'abc'.\n");
    // A refused value leaves the default in place and the option settable.
    EXPECT_EQ(options.getInt("image-width"), 1024);
    EXPECT_TRUE(run(options, {"--image-width", "300"}).accepted);
    EXPECT_EQ(options.getInt("image-width"), 300);
    EXPECT_EQ(run(options, {"--verbose=1"}).errors, "Error: Option 'verbose' does not need a value.\n");
    EXPECT_EQ(run(options, {"--nope=3"}).errors, "Error: The option 'nope' is not known.\n");
    EXPECT_EQ(run(options, {"--load"}).errors, "Error: Parameter 'load' needs a value.\n");
    EXPECT_EQ(run(options, {"--load="}).errors, "Error: Parameter 'load' needs a value.\n");
    EXPECT_FALSE(options.isSet("load"));

    // An empty number is refused with a message.
    options = programOptions();
    const Outcome outcome = run(options, {"--image-width=", "", "-l", "x"});
    EXPECT_FALSE(outcome.accepted);
    EXPECT_EQ(outcome.errors, "Error: The option 'image-width' needs a non-empty value.\n"
                              "Error: Unrecognized option ''.\n");
    EXPECT_EQ(options.getInt("image-width"), 1024);
    EXPECT_EQ(options.getString("convert-fractint"), "x");
    // An empty text is a valid file name.
    EXPECT_TRUE(run(options, {"--load", ""}).accepted);
    EXPECT_TRUE(options.isSet("load"));

    // A second value is refused.
    options = programOptions();
    const Outcome second = run(options, {"--load", "a.kld", "--load=b.kld"});
    EXPECT_FALSE(second.accepted);
    EXPECT_EQ(second.errors, "Error: The option 'load' was already set.\n");
    EXPECT_EQ(options.getString("load"), "a.kld");
    // A default is not a first value.
    EXPECT_TRUE(run(options, {"--image-height", "10"}).accepted);
    EXPECT_EQ(options.getInt("image-height"), 10);

    EXPECT_EQ(run(options, {"-", "plain", ""}).errors,
              "Error: Unrecognized option '-'.\nError: Unrecognized option 'plain'.\nError: Unrecognized option ''.\n");

    // An option taken as the value of the one before: the next stray argument hints at it.
    options = programOptions();
    const Outcome hinted = run(options, {"--load", "--output-image", "x.png", "stray"});
    EXPECT_FALSE(hinted.accepted);
    EXPECT_EQ(hinted.errors, "Error: Unrecognized option 'x.png'.\n Propably forgot a parameter for '--load'.\n"
                             "Error: Unrecognized option 'stray'.\n");
    EXPECT_EQ(options.getString("load"), "--output-image");
    EXPECT_FALSE(options.isSet("output-image"));
}

TEST(TextConvert, IntegersWrapAround32BitsDecimalsAccumulateInSinglePrecision) {
    const std::pair<const char*, std::int32_t> integers[] = {
        {"+42", 42}, {"-2147483648", std::numeric_limits<std::int32_t>::min()}, {"-", 0}, {"4294967295", -1}};
    for (const auto& [text, value] : integers) EXPECT_EQ(toInt(text), value) << text;
    EXPECT_THROW(toInt(""), EmptyData);
    for (const char* text : {"1.0", " 1", "0x10"}) EXPECT_THROW(toInt(text), NumberFormatException) << text;

    // Decimals accumulate in single precision.
    EXPECT_EQ(static_cast<double>(toFloat("0.1")), static_cast<double>(0.1f));
    const std::pair<const char*, float> decimals[] = {
        {"16777217", 16777216.0f}, {"-1,5e1", -15.0f}, {".5", 0.5f}, {"2e-", 2.0f}, {"1e-400", 0.0f}};
    for (const auto& [text, value] : decimals) EXPECT_EQ(toFloat(text), value) << text;
    EXPECT_TRUE(std::isinf(toFloat("1e39"))); // never NaN
    EXPECT_THROW(toFloat(""), EmptyData);
    for (const char* text : {"1e", "1.5.3", "1e3.5", " 1", "1f"})
        EXPECT_THROW(toFloat(text), NumberFormatException) << text;

    // Numbers are written in fixed point (three decimals as the kept-line and
    // loader tests show); a value loses the decimals only when it is whole at three.
    EXPECT_EQ(toString(1.26, 1), "1.3");
    EXPECT_EQ(toString(6.9999), "7");
    EXPECT_EQ(toString(-0.0001), "0");
}
