#include "interpretation/LSysInterpreter.h"

#include "interpretation/GeometryBuilders.h"
#include "interpretation/ShapePlacement.h"
#include "interpretation/TextTree.h"
#include "interpretation/TurtleSymbols.h"
#include "lsys/LSystem.h"
#include "lsys/ProgressRetriever.h"
#include "lsys/String2IDManager.h"
#include "options/TextConvert.h"

#include <algorithm>
#include <cmath>

namespace {

// Ids of the turtle alphabet, in registration order.
enum BuiltinSymbol : std::int32_t {
    TurnLeft,
    TurnRight,
    PitchDown,
    PitchUp,
    DivideLength,
    MultiplyLength,
    RollLeft,
    RollRight,
    Push,
    Pop,
    TurnAround,
    ReverseTurns,
    OpenPolygon,
    ClosePolygon,
    PreviousColour,
    NextColour,
    IncreaseAngles,
    DecreaseAngles,
    IncreaseWidth,
    DecreaseWidth,
    Tilde,
    RollHorizontal,
    Degree,
    Gravity,
    RecordVertex,
    DivideAngles,
    Percent
};
static_assert(sizeof builtinAlphabet - 1 == Percent + 1, "one enumerator per symbol of the turtle alphabet");
static_assert(builtinAlphabet[Push] == '[' && builtinAlphabet[Pop] == ']' && builtinAlphabet[Gravity] == '\xA7' &&
                  builtinAlphabet[Percent] == '%',
              "the enumerators follow the alphabet's order");

// Atoms between two polls of the progress and of cancellation, as in the
// derivation.
constexpr std::size_t progressInterval = LSystem::pollInterval;

constexpr double pi = 3.14159265358979323846;
constexpr double degree = pi / 180.0;

bool drawable(const osg::Vec3d& v) { return ::drawable(v.x()) && ::drawable(v.y()) && ::drawable(v.z()); }

// Turns the pair (a, b) in its plane: a towards -b for a positive angle.
void rotatePair(double angle, osg::Vec3d& a, osg::Vec3d& b) {
    const double c = std::cos(angle * degree);
    const double s = std::sin(angle * degree);
    const osg::Vec3d oldA = a;
    a = oldA * c - b * s;
    b = oldA * s + b * c;
}

void rotateAboutX(double angle, osg::Vec3d& v) {
    const double c = std::cos(angle * degree), s = std::sin(angle * degree);
    v.set(v.x(), v.y() * c - v.z() * s, v.y() * s + v.z() * c);
}

void rotateAboutY(double angle, osg::Vec3d& v) {
    const double c = std::cos(angle * degree), s = std::sin(angle * degree);
    v.set(v.x() * c - v.z() * s, v.y(), v.x() * s + v.z() * c);
}

void rotateAboutZ(double angle, osg::Vec3d& v) {
    const double c = std::cos(angle * degree), s = std::sin(angle * degree);
    v.set(v.x() * c + v.y() * s, -v.x() * s + v.y() * c, v.z());
}

// The colour index after a step: truncated towards zero; a result below 0
// becomes 255, one above 255 becomes 0, so the index stays a palette index
// whatever the parameter (also when it is not a number).
std::int32_t wrapColourIndex(double value) {
    const double index = std::trunc(value);
    if (index < 0.0) return 255;
    if (index > 255.0 || std::isnan(index)) return 0;
    return static_cast<std::int32_t>(index);
}

// The seed of the colouring's generator: "_seed" truncated to an integer,
// 42 when it is no number an integer can hold.
unsigned seedOf(double value) {
    if (!(std::fabs(value) < 9.0e18)) return 42u;
    return static_cast<unsigned>(static_cast<long long>(value));
}

} // namespace

LSysInterpreter::ParameterFormatException::ParameterFormatException(std::string name)
    : myName(std::move(name)), myWhat("Parameter '" + myName + "' has a false number of entries.") {}

osg::ref_ptr<osg::Group> LSysInterpreter::interpret(LSystem& lsystem, const ShapeDefMap& shapeDefs,
                                                    const TweakMap& tweaks, int steps, TextTree& statisticsTree,
                                                    ProgressRetriever& progress) {
    // Cleared before anything can fail, so that a failed interpretation never
    // shows the statistics of an earlier one.
    statisticsTree.clear();
    readTweaks(tweaks);
    myCache.clear();
    myStatistics.clear();
    myPolygons.clear();
    myStates.clear();
    mySymbols.clear();
    myMadeShapeDefs.clear();
    myWarnings.clear();
    myWarnedSymbols.clear();
    myShapeDefs = &shapeDefs;
    setUpTurtle(lsystem);

    osg::ref_ptr<osg::Group> group;
    try {
        const AtomString* atoms = lsystem.getStep(steps, &progress);
        if (atoms) {
            group = new osg::Group;
            myShapes.start(group.get());
            if (!walk(*atoms, group.get(), progress)) group = nullptr;
        }
    } catch (...) {
        myPolygons.clear();
        myShapes.start(nullptr);
        myCache.clear();
        throw;
    }
    // The shared geometries now belong to the group alone; whoever destroys
    // it frees them.
    myShapes.start(nullptr);
    myCache.clear();
    myPolygons.clear();
    if (!group) {
        myStatistics.clear();
        return nullptr;
    }
    myStatistics.fillTree(statisticsTree, group->getNumChildren() == 0);
    return group;
}

void LSysInterpreter::readTweaks(const TweakMap& tweaks) {
    myTropismDirection.set(0.0, 0.0, 0.0);
    myTropismStrength = 0.0;

    const auto direction = tweaks.find(tropismDirectionKey);
    if (direction != tweaks.end()) {
        const std::optional<std::array<double, 3>> vector = readTropismDirection(direction->second);
        if (!vector) throw ParameterFormatException(tropismDirectionKey);
        myTropismDirection.set((*vector)[0], (*vector)[1], (*vector)[2]);
        myTropismDirection.normalize();
    }

    const auto strength = tweaks.find(tropismStrengthKey);
    if (strength != tweaks.end()) myTropismStrength = TextConvert::toFloat(TextConvert::trim(strength->second));

    // A direction beyond the numbers (an overflowing entry) has no meaning;
    // the turtle then goes straight.
    myTropismActive =
        myTropismDirection != osg::Vec3d(0.0, 0.0, 0.0) && drawable(myTropismDirection) && myTropismStrength != 0.0;
}

void LSysInterpreter::setUpTurtle(const LSystem& lsystem) {
    myTurtle = TurtleState();
    const double idirX = lsystem.getValue("_idirX", 0.0);
    const double idirY = lsystem.getValue("_idirY", 0.0);
    const double idirZ = lsystem.getValue("_idirZ", 0.0);
    for (osg::Vec3d* v : {&myTurtle.heading, &myTurtle.side, &myTurtle.up}) {
        rotateAboutX(idirX, *v);
        rotateAboutY(idirY, *v);
        rotateAboutZ(idirZ, *v);
    }
    myTurtle.rotX = lsystem.getValue("_rotX", 0.0);
    myTurtle.rotY = lsystem.getValue("_rotY", 0.0);
    myTurtle.rotZ = lsystem.getValue("_rotZ", 0.0);
    myReversalFactor = 1.0;
    // Seeding the colouring's generator here gives the same colours on every
    // run.
    myColourRandom.reseed(seedOf(lsystem.getValue("_seed", 42.0)));
    myLastEnd.set(0.0, 0.0, 0.0);
    myNextUserSymbol = 0;
}

bool LSysInterpreter::walk(const AtomString& atoms, osg::Group* group, ProgressRetriever& progress) {
    const std::size_t count = atoms.length();
    myAtomCount = count;
    for (std::size_t i = 0; i < count; ++i) {
        myAtomIndex = i;
        if (i % progressInterval == 0) {
            if (progress.wasCancelled()) return false;
            progress.setProgress(static_cast<int>(static_cast<double>(i) / static_cast<double>(count) * 100.0));
        }
        const std::int32_t id = atoms.getID(i);
        myStatistics.countAtom(id);
        const double* parameter = atoms.getValueCount(i) > 0 ? atoms.getValues(i) : nullptr;

        switch (id) {
        case TurnLeft:
        case TurnRight:
        case PitchDown:
        case PitchUp:
        case RollLeft:
        case RollRight:
        case TurnAround:
        case ReverseTurns:
        case RollHorizontal:
        case Gravity:
            turn(id, parameter);
            break;
        case DivideLength:
        case MultiplyLength:
        case IncreaseWidth:
        case DecreaseWidth:
        case IncreaseAngles:
        case DecreaseAngles:
        case DivideAngles:
        case PreviousColour:
        case NextColour:
            changeFactor(id, parameter);
            break;
        case Push:
            myStates.push_back(myTurtle);
            break;
        case Pop:
            if (myStates.empty()) throw StackParenthesisException();
            myTurtle = myStates.back();
            myStates.pop_back();
            break;
        case OpenPolygon:
        case ClosePolygon:
        case RecordVertex:
            buildPolygon(id, atoms, i, group);
            break;
        case Tilde:
        case Degree:
        case Percent:
            break;
        default:
            if (!isBuiltinSymbol(id)) drawSymbol(symbol(id), id, parameter, i, count);
            break;
        }
    }
    return true;
}

double LSysInterpreter::argument(std::int32_t id, const double* parameter) const {
    if (parameter) return *parameter;
    const TurtleSymbol& symbol = turtleSymbol(id);
    switch (symbol.fallback) {
    case TurtleDefault::RotationX:
        return myTurtle.rotX;
    case TurtleDefault::RotationY:
        return myTurtle.rotY;
    case TurtleDefault::RotationZ:
        return myTurtle.rotZ;
    default:
        return symbol.value;
    }
}

void LSysInterpreter::turn(std::int32_t id, const double* parameter) {
    TurtleState& t = myTurtle;
    const double angle = argument(id, parameter) * myReversalFactor;
    // A turn by an angle that is no number would leave a frame of NaNs and
    // spoil every shape after it: such a turn is not made.
    const auto rotate = [&](double by, osg::Vec3d& a, osg::Vec3d& b) {
        if (std::isfinite(by))
            rotatePair(by, a, b);
        else
            warn(id, "has an angle that is not a finite number; those turns are not made.");
    };
    switch (id) {
    case TurnLeft:
        rotate(angle, t.heading, t.side);
        break;
    case TurnRight:
        rotate(-angle, t.heading, t.side);
        break;
    case PitchDown:
        rotate(angle, t.up, t.heading);
        break;
    case PitchUp:
        rotate(-angle, t.up, t.heading);
        break;
    case RollLeft:
        rotate(angle, t.side, t.up);
        break;
    case RollRight:
        rotate(-angle, t.side, t.up);
        break;
    case TurnAround:
        rotatePair(180.0, t.heading, t.side);
        break;
    case ReverseTurns:
        myReversalFactor = -myReversalFactor;
        break;
    case RollHorizontal: {
        // Rolls about the heading so that the side becomes horizontal and up
        // points upwards. Kept as a rotation: the frame is never mirrored.
        // Undefined while the heading is vertical; the frame then stays as
        // it is.
        osg::Vec3d side = t.heading ^ osg::Vec3d(0.0, 1.0, 0.0);
        if (side.normalize() > 0.0) {
            t.side = side;
            t.up = t.side ^ t.heading;
            t.up.normalize();
        }
        break;
    }
    case Gravity: {
        osg::Vec3d towards(-t.heading.x(), -t.heading.y(), 0.0);
        towards.normalize();
        rotate((t.heading * towards) * myTropismStrength, t.up, t.heading);
        break;
    }
    }
}

void LSysInterpreter::changeFactor(std::int32_t id, const double* parameter) {
    TurtleState& t = myTurtle;
    const double alpha = argument(id, parameter);
    switch (id) {
    case DivideLength:
        t.lengthFactor /= alpha;
        break;
    case MultiplyLength:
        t.lengthFactor *= alpha;
        break;
    case IncreaseWidth:
        t.widthFactor *= alpha;
        break;
    case DecreaseWidth:
        // Without a parameter the table's value divides.
        if (parameter)
            t.widthFactor = *parameter;
        else
            t.widthFactor /= alpha;
        break;
    case IncreaseAngles:
        for (double* angle : {&t.rotX, &t.rotY, &t.rotZ}) *angle = parameter ? *angle + alpha : *angle * alpha;
        break;
    case DecreaseAngles:
        for (double* angle : {&t.rotX, &t.rotY, &t.rotZ}) *angle = parameter ? *angle - alpha : *angle * alpha;
        break;
    case DivideAngles:
        for (double* angle : {&t.rotX, &t.rotY, &t.rotZ}) *angle /= alpha;
        break;
    case PreviousColour:
        t.colourIndex = wrapColourIndex(t.colourIndex - alpha);
        break;
    case NextColour:
        t.colourIndex = wrapColourIndex(t.colourIndex + alpha);
        break;
    }
}

void LSysInterpreter::buildPolygon(std::int32_t id, const AtomString& atoms, std::size_t index, osg::Group* group) {
    const TurtleState& t = myTurtle;
    const std::size_t count = atoms.length();
    switch (id) {
    case OpenPolygon: {
        const ShapeDef& shape = polygonColouring(atoms, index);
        myPolygons.push_back(std::make_unique<Polygon>(
            pickMaterial(shape, index, count, t.interpretedCount, t.colourIndex, myColourRandom)));
        myStatistics.countPolygon();
        break;
    }
    case ClosePolygon:
        if (myPolygons.empty()) throw PolyParenthesisException();
        // A polygon without points has nothing to draw.
        if (osg::ref_ptr<osg::Geode> geode = myPolygons.back()->buildGeometry()) group->addChild(geode.get());
        myPolygons.pop_back();
        break;
    case RecordVertex:
        if (!myPolygons.empty()) {
            const ShapeDef& shape = *symbol(id).shape;
            myPolygons.back()->addPoint(Polygon::PolyPoint(
                pickMaterial(shape, index, count, t.interpretedCount, t.colourIndex, myColourRandom), myLastEnd, t.up));
        }
        break;
    }
}

const LSysInterpreter::Symbol& LSysInterpreter::symbol(std::int32_t id) {
    const auto known = mySymbols.find(id);
    if (known != mySymbols.end()) return known->second;
    const std::string& name = String2IDManager::instance().getName(id);
    const auto defined = myShapeDefs->find(name);
    const ShapeDef* shape = defined != myShapeDefs->end()
                                ? &defined->second
                                : &myMadeShapeDefs.emplace(name, ShapeDef::forNewSymbol(name)).first->second;
    const bool recordsVertex = name.empty() || (name[0] != 'G' && name[0] != 'g');
    return mySymbols.emplace(id, Symbol{shape, recordsVertex}).first->second;
}

const ShapeDef& LSysInterpreter::polygonColouring(const AtomString& atoms, std::size_t start) {
    const std::size_t count = atoms.length();
    // The previous scan stays valid while it points at or after start.
    if (myNextUserSymbol < start || (myNextUserSymbol < count && atoms.isBuiltin(myNextUserSymbol))) {
        myNextUserSymbol = start;
        while (myNextUserSymbol < count && atoms.isBuiltin(myNextUserSymbol)) ++myNextUserSymbol;
    }
    return *symbol(atoms.getID(myNextUserSymbol < count ? myNextUserSymbol : start)).shape;
}

void LSysInterpreter::drawSymbol(const Symbol& symbol, std::int32_t id, const double* parameter, std::size_t atomIndex,
                                 std::size_t atomCount) {
    TurtleState& t = myTurtle;
    const ShapeDef& shape = *symbol.shape;
    if (!shape.interpreted) return;
    ++t.interpretedCount;
    double length = t.lengthFactor * shape.length;
    if (parameter) length *= *parameter;
    const osg::Vec3d end = t.position + t.heading * length;
    // A step to no number (F(1/0)) would carry the turtle, and every shape
    // after it, out of the scene: the turtle stays where it is, and a visible
    // shape is counted but not drawn. So is one whose width is no number.
    const bool reachable = drawable(length) && drawable(end);
    if (reachable)
        myLastEnd = end;
    else
        warnShapeNotDrawn(id);
    if (!shape.visible) {
        if (reachable) t.position = end;
        return;
    }
    if (!myPolygons.empty()) {
        if (symbol.recordsVertex) {
            const GLMaterial material =
                pickMaterial(shape, atomIndex, atomCount, t.interpretedCount, t.colourIndex, myColourRandom);
            if (reachable) myPolygons.back()->addPoint(Polygon::PolyPoint(material, end, t.up));
        }
    } else {
        const GLMaterial material =
            pickMaterial(shape, atomIndex, atomCount, t.interpretedCount, t.colourIndex, myColourRandom);
        if (reachable && !placeShape(myCache, shape, t.position, end, length, t.widthFactor,
                                     frameMatrix(t.heading, t.side, t.up, osg::Vec3d()), material, myShapes))
            warnShapeNotDrawn(id);
        myStatistics.countVisibleItem();
    }
    if (!reachable) return;
    t.position = end;
    if (myTropismActive) applyTropism();
}

void LSysInterpreter::warnShapeNotDrawn(std::int32_t id) {
    warn(id, "reaches a length, width or position that is not a finite number; those shapes are not drawn.");
}

void LSysInterpreter::warn(std::int32_t id, const std::string& what) {
    if (!myWarnedSymbols.insert(id).second) return;
    myWarnings.push_back("Symbol '" + String2IDManager::instance().getName(id) + "' " + what);
}

void LSysInterpreter::applyTropism() {
    TurtleState& t = myTurtle;
    osg::Vec3d axis = t.heading ^ myTropismDirection;
    // Rounding can push the cosine just outside [-1, 1].
    const double cosine = std::clamp(t.heading * myTropismDirection, -1.0, 1.0);
    double angle = std::acos(cosine) * myTropismStrength * axis.length();
    if (std::isnan(angle)) // an infinite strength along the direction itself
        angle = 0.0;
    angle = std::clamp(angle, -pi / 6.0, pi / 6.0);
    axis.normalize();

    const double epsilon = 1e-10;
    double c = std::cos(angle), s = std::sin(angle);
    if (c > 1.0 - epsilon) {
        c = 1.0;
        s = 0.0;
    } else if (c < -1.0 + epsilon) {
        c = -1.0;
        s = 0.0;
    }
    if (s > 1.0 - epsilon) {
        c = 0.0;
        s = 1.0;
    } else if (s < -1.0 + epsilon) {
        c = 0.0;
        s = -1.0;
    }
    // Rodrigues' rotation: v' = c v + s (axis x v) + (1 - c) axis (axis . v).
    const auto rotate = [&](const osg::Vec3d& v) { return v * c + (axis ^ v) * s + axis * ((1.0 - c) * (axis * v)); };
    t.heading = rotate(t.heading);
    t.side = rotate(t.side);
    t.heading.normalize();
    t.side.normalize();
    // The same rotation carries up along, so the frame keeps its handedness.
    t.up = t.side ^ t.heading;
    t.up.normalize();
}
