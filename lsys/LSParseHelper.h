#pragma once
// Reading the texts of a definition into atoms: the axiom, the patterns
// (contexts and predecessor) and the successors of its rules.
//
// Atoms are read from left to right; spaces and tabs between atoms are
// skipped; each atom is a symbol name (see cutSymbolName) turned into an id
// by the registry, followed by an optional parameter list in brackets.

#include <cstddef>
#include <exception>
#include <string>

#include "lsys/AtomString.h"
#include "lsys/String2IDManager.h"

class LSParseHelper {
public:
    // A text could not be read. The position is the character index in the
    // text where the failing part starts.
    class LSParseException : public std::exception {
    public:
        LSParseException(std::string message, std::size_t position)
            : myMessage(std::move(message)), myPosition(position) {}
        const std::string& message() const { return myMessage; }
        std::size_t position() const { return myPosition; }
        const char* what() const noexcept override { return myMessage.c_str(); }

    private:
        std::string myMessage;
        std::size_t myPosition;
    };

    // A left context, predecessor or right context. A parameter list runs
    // from "(" to the first ")" and holds names separated by ","; spaces may
    // stand between the name and the "(".
    static PatternString readPattern(const std::string& text, String2IDManager& registry, bool multiChar);
    // A successor. A parameter list starts right after the name and runs to
    // its matching ")"; it holds expressions separated by ",".
    static SuccessorString readSuccessor(const std::string& text, String2IDManager& registry, bool multiChar);
    // The axiom: read like a successor, each expression evaluated at once
    // against the values. An expression that cannot be evaluated raises
    // LSParseException with muParser's message and the position of its
    // parameter list.
    static AtomString readAxiom(const std::string& text, String2IDManager& registry, bool multiChar,
                                const VariableValueMap& values);
};
