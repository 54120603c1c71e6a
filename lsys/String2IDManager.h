#pragma once
// Symbol registry: every symbol name gets a unique integer id and the name can
// be found again from the id. One registry serves the whole process.

#include <cstdint>
#include <exception>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

// The 27 one-byte characters of the turtle alphabet, in registration order, so
// that character i receives the id i ("[" is 8, "]" is 9). Bytes 0xB0 and 0xA7
// are the Latin-1 degree and section signs. A constant expression, so that an
// enumeration of the ids can be checked against it at compile time.
inline constexpr char builtinAlphabet[28] = {'+', '-', '&',    '^',    '<', '>',  '\\', '/', '[', ']',
                                             '|', '#', '{',    '}',    '"', '\'', ';',  ':', '?', '!',
                                             '~', '$', '\xB0', '\xA7', '.', ',',  '%',  '\0'};

// True when the byte is one of the turtle alphabet's characters.
bool isBuiltinCharacter(char c);

// Every symbol introduced by a definition has an id of at least this value.
constexpr std::int32_t firstUserSymbolID = 1000;

// True for the symbols of the turtle alphabet.
inline bool isBuiltinSymbol(std::int32_t id) { return id < firstUserSymbolID; }

constexpr std::int32_t openBracketID = 8;  // "["
constexpr std::int32_t closeBracketID = 9; // "]"
static_assert(builtinAlphabet[openBracketID] == '[' && builtinAlphabet[closeBracketID] == ']');

// A lookup or removal of a name or id that the registry does not hold.
class UnknownElement : public std::exception {
public:
    explicit UnknownElement(std::string name);
    explicit UnknownElement(std::int32_t id);
    const std::string& name() const { return myName; } // empty when raised for an id
    std::int32_t id() const { return myID; }
    const char* what() const noexcept override { return myWhat.c_str(); }

private:
    std::string myName;
    std::int32_t myID = -1;
    std::string myWhat;
};

// Ordered map from name to id.
class String2IntMap {
public:
    virtual ~String2IntMap() = default;
    virtual void insert(const std::string& name, std::int32_t id);
    // Throws UnknownElement when the name is unknown.
    virtual void remove(const std::string& name);

    bool hasName(const std::string& name) const;
    // Throws UnknownElement (carrying the name) when the name is unknown.
    std::int32_t idOf(const std::string& name) const;
    // All names in name order.
    std::vector<std::string> getNames() const;

protected:
    std::map<std::string, std::int32_t> myIDs;
};

// Ordered map from id to name.
class Int2StringMap {
public:
    virtual ~Int2StringMap() = default;
    virtual void insert(std::int32_t id, const std::string& name);
    // Throws UnknownElement when the id is unknown.
    virtual void remove(std::int32_t id);

    bool hasID(std::int32_t id) const;
    // Throws UnknownElement (carrying the id) when the id is unknown.
    const std::string& nameOf(std::int32_t id) const;

protected:
    std::map<std::int32_t, std::string> myNames;
};

// Both maps kept inverse to each other: every change is made in both.
class BijectiveStringIntMap : public String2IntMap, public Int2StringMap {
public:
    // Inserting a pair drops any earlier pairing of the name or of the id.
    void insert(const std::string& name, std::int32_t id) override;
    void insert(std::int32_t id, const std::string& name) override;
    void remove(const std::string& name) override;
    void remove(std::int32_t id) override;
};

// The registry proper: hands out ids in increasing order.
//
// A worker thread may read (getID of a known name, getName, the lookups) while
// the main thread registers new names: every operation takes a reader-writer
// lock, shared for reading and exclusive for a change. The name returned by
// getName stays valid while new names are registered; only removing its id
// (remove, resetToID, which happen when a document is replaced and no
// computation runs) ends it. The lookups of the base maps are hidden here by
// locking ones, so reach them through a String2IDManager.
class String2IDManager : public BijectiveStringIntMap {
public:
    // The process-wide registry.
    static String2IDManager& instance();

    // The id of the name; an unknown name receives the next id.
    std::int32_t getID(const std::string& name);
    // Throws UnknownElement (carrying the id) when the id is unknown.
    const std::string& getName(std::int32_t id) const { return nameOf(id); }

    void insert(const std::string& name, std::int32_t id) override;
    void insert(std::int32_t id, const std::string& name) override;
    void remove(const std::string& name) override;
    void remove(std::int32_t id) override;
    bool hasName(const std::string& name) const;
    std::int32_t idOf(const std::string& name) const;
    std::vector<std::string> getNames() const;
    bool hasID(std::int32_t id) const;
    const std::string& nameOf(std::int32_t id) const;

    std::int32_t getNextID() const;
    // Registers the characters of the turtle alphabet in order (ids 0-26 in a
    // fresh registry) and raises the next id to firstUserSymbolID, so that every
    // symbol registered afterwards is a user symbol. Calling it again changes
    // nothing.
    void registerBuiltins();
    // Raises the next id; throws std::invalid_argument and changes nothing when
    // the next id is already equal to or above the value.
    void setNextID(std::int32_t value);
    // Forgets every id from the value up to the next id, then sets the next id
    // to the value.
    void resetToID(std::int32_t value);

private:
    using ReadLock = std::shared_lock<std::shared_mutex>;
    using WriteLock = std::unique_lock<std::shared_mutex>;

    mutable std::shared_mutex myLock;
    std::int32_t myNextID = 0;
};
