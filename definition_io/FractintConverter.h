#pragma once
// Fractint's L-system files (".l") turned into our definitions. A file holds
// entries
//   Koch { ; a comment
//     Angle 6
//     Axiom F--F--F
//     F=F+F--F+F
//   }
// Case does not matter; several rules for one character are joined in order,
// an empty right side erases. The entries draw flat: the converted turtle
// starts at the origin going up the view, "+" turns counterclockwise as seen
// in the view, every step is one unit long.
//
// How the commands are carried over (a is 360/N degrees of "angle N"):
// - F and D are visible lines, G and M invisible moves, every other
//   character only takes part in rewriting. Characters that are turtle
//   commands of ours, and "(", ")", are renamed to lower-case letters in the
//   order they first appear.
// - "_rotZ" is a; "+" and "-" are our turns without a parameter, so that
//   "!" can swap them by negating the angles (",(-1)"), which "[" and "]"
//   save and restore exactly as Fractint does with its swap state.
// - "|" turns by N/2 (rounded down) steps clockwise, unaffected by "!": our
//   "|" for an even N, a clockwise turn by that angle for an odd one.
// - "\nn" and "/nn" scale the angles to nn, turn, and scale them back
//   (",(a/nn)" turn ",(nn/a)"), so that "!" swaps them too.
// - D and M draw along a direction of their own, turned only by "\" and "/",
//   F and G along one turned only by "+", "-" and "|". Our turtle has one
//   direction: an entry that draws along one of them leaves out the turns of
//   the other; one that draws along both and turns either is converted with
//   one direction turned by every turn, and a warning says so.
// - "@nn", "@Inn", "@Qnn" (also "@IQnn", "@QInn") scale the length with ">"
//   and "<"; a value of 0 makes it 0.
// - Colours: an entry with "C", "<" or ">" draws with the palette
//   "imported/fractint/headache" by the colour index, starting at 15 as
//   Fractint does. "Cnn" becomes "'(256)" (any index above 255 wraps to 0)
//   then "'(nn)"; "<nn" and ">nn" become nn single steps "'" or '"' (or
//   256 - nn the other way when fewer), since single steps wrap around the
//   palette exactly as Fractint's colours do and larger ones do not.
// - "_steps" is the largest order up to 12 whose string holds at most 20000
//   atoms. The background is black, as in Fractint.

#include "lsys/LSystemDefinition.h"

#include <memory>
#include <string>
#include <vector>

// A problem of a file at a line (counted from 1).
struct FractintProblem {
    int line = 0;
    std::string text;
};

struct FractintEntry {
    std::string name;
    int line = 0; // where the entry begins
    // The entry cannot be converted; definition is then null.
    std::vector<FractintProblem> errors;
    // The conversion draws differently from Fractint.
    std::vector<FractintProblem> warnings;
    std::unique_ptr<LSystemDefinition> definition;
};

struct FractintFile {
    std::vector<FractintEntry> entries; // in file order
    // Text outside every entry; it is ignored.
    std::vector<FractintProblem> warnings;
};

class FractintConverter {
public:
    static constexpr int maxSteps = 12;
    static constexpr double maxAtoms = 20000;

    // Reads and converts every entry of a file's text.
    static FractintFile convert(const std::string& text);
};
