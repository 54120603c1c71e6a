#pragma once
// The turtle interpreter: walks a derived string atom by atom with a 3-D
// turtle and turns it into a scene-graph group of placed shapes and filled
// polygons, counting what it sees on the way.

#include "interpretation/ColourRandom.h"
#include "interpretation/GLColorer_Material.h"
#include "interpretation/GeometryCache.h"
#include "interpretation/MOSGPolygon.h"
#include "interpretation/ShapeInstancer.h"
#include "interpretation/Statistics.h"
#include "interpretation/TurtleState.h"
#include "materials/GLMaterial.h"
#include "records/EnvironmentAndTweaks.h"
#include "records/ShapeDef.h"

#include <osg/Group>
#include <osg/Vec3d>
#include <osg/ref_ptr>

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class AtomString;
class LSystem;
class ProgressRetriever;
class TextTree;

// "]" without a matching "[".
class StackParenthesisException : public std::exception {
public:
    const char* what() const noexcept override {
        return "A stack state was tried to be popped, but none has been pushed before.";
    }
};

// "}" without an open polygon.
class PolyParenthesisException : public std::exception {
public:
    const char* what() const noexcept override {
        return "A polygon was tried to be closed, but no one was opened before.";
    }
};

class LSysInterpreter {
public:
    // A tweak whose value does not have the expected number of entries.
    class ParameterFormatException : public std::exception {
    public:
        explicit ParameterFormatException(std::string name);
        const std::string& name() const { return myName; }
        const char* what() const noexcept override { return myWhat.c_str(); }

    private:
        std::string myName;
        std::string myWhat;
    };

    using Polygon = MOSGPolygon<double, GLMaterial, GLColorer_Material>;
    using ShapeDefMap = std::map<std::string, ShapeDef>;

    // Interprets the string of the given step of the L-system. The statistics
    // tree is cleared first and filled after the last atom. Returns null when
    // the user cancels (the tree then stays empty).
    //
    // Throws StackParenthesisException, PolyParenthesisException,
    // ParameterFormatException ("tropism.direction" without three entries),
    // the number readers' exceptions for non-numeric tweaks, GeometryError for
    // shapes without extent, and lets the derivation's exceptions pass. After
    // any of them no polygon is left open.
    //
    // A symbol without an entry in shapeDefs is drawn with the record a new
    // symbol of that name gets (ShapeDef::forNewSymbol).
    osg::ref_ptr<osg::Group> interpret(LSystem& lsystem, const ShapeDefMap& shapeDefs, const TweakMap& tweaks,
                                       int steps, TextTree& statisticsTree, ProgressRetriever& progress);

    // The turtle as the last interpretation left it.
    const TurtleState& turtle() const { return myTurtle; }
    const Statistics& statistics() const { return myStatistics; }
    // What the last interpretation left out, one line for each symbol
    // concerned: shapes whose length, width or end is not a finite number
    // (counted, not drawn; the turtle stays where it was) and turns by an
    // angle that is not a finite number (not made), e.g. "Symbol 'F' reaches
    // a length, width or position that is not a finite number; those shapes
    // are not drawn."
    const std::vector<std::string>& warnings() const { return myWarnings; }
    // The index of the atom the last interpretation was at when it ended, and
    // the number of atoms it walked: where a failure happened.
    std::size_t atomIndex() const { return myAtomIndex; }
    std::size_t atomCount() const { return myAtomCount; }

private:
    // What the walk needs of a symbol, looked up once per interpretation.
    struct Symbol {
        const ShapeDef* shape;
        bool recordsVertex; // names beginning with "G" or "g" are no polygon vertices
    };

    void readTweaks(const TweakMap& tweaks);
    void setUpTurtle(const LSystem& lsystem);
    bool walk(const AtomString& atoms, osg::Group* group, ProgressRetriever& progress);
    // The families of the turtle alphabet: turns and rolls; length, width,
    // angle and colour steps; polygons ("{", "}", ".").
    void turn(std::int32_t id, const double* parameter);
    // The atom's parameter, or what the turtle symbol table says stands in
    // for a missing one.
    double argument(std::int32_t id, const double* parameter) const;
    void changeFactor(std::int32_t id, const double* parameter);
    void buildPolygon(std::int32_t id, const AtomString& atoms, std::size_t index, osg::Group* group);
    const Symbol& symbol(std::int32_t id);
    const ShapeDef& polygonColouring(const AtomString& atoms, std::size_t start);
    void drawSymbol(const Symbol& symbol, std::int32_t id, const double* parameter, std::size_t atomIndex,
                    std::size_t atomCount);
    void applyTropism();
    void warnShapeNotDrawn(std::int32_t id);
    // Adds "Symbol '<name>' " and what to the warnings, once a symbol.
    void warn(std::int32_t id, const std::string& what);

    const ShapeDefMap* myShapeDefs = nullptr;
    std::unordered_map<std::int32_t, Symbol> mySymbols;
    ShapeDefMap myMadeShapeDefs; // for symbols missing from myShapeDefs

    TurtleState myTurtle;
    std::vector<TurtleState> myStates;
    std::vector<std::unique_ptr<Polygon>> myPolygons;
    double myReversalFactor = 1.0;
    std::size_t myAtomIndex = 0;
    std::size_t myAtomCount = 0;
    osg::Vec3d myLastEnd; // end point of the most recent forward movement
    osg::Vec3d myTropismDirection;
    double myTropismStrength = 0.0;
    bool myTropismActive = false;
    // Index of the first user symbol at or after the last "{" scanned, so
    // that a run of "{" scans the string only once.
    std::size_t myNextUserSymbol = 0;

    ColourRandom myColourRandom;
    GeometryCache myCache;
    ShapeInstancer myShapes;
    Statistics myStatistics;
    std::vector<std::string> myWarnings;
    std::unordered_set<std::int32_t> myWarnedSymbols;
};
