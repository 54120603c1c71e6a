#include "lsys/String2IDManager.h"

#include <cstring>
#include <stdexcept>

bool isBuiltinCharacter(char c) {
    return c != '\0' && std::memchr(builtinAlphabet, c, sizeof builtinAlphabet - 1) != nullptr;
}

UnknownElement::UnknownElement(std::string name)
    : myName(std::move(name)), myWhat("unknown symbol name '" + myName + "'") {}

UnknownElement::UnknownElement(std::int32_t id) : myID(id), myWhat("unknown symbol id " + std::to_string(id)) {}

void String2IntMap::insert(const std::string& name, std::int32_t id) { myIDs[name] = id; }

void String2IntMap::remove(const std::string& name) {
    if (myIDs.erase(name) == 0) throw UnknownElement(name);
}

bool String2IntMap::hasName(const std::string& name) const { return myIDs.count(name) != 0; }

std::int32_t String2IntMap::idOf(const std::string& name) const {
    auto it = myIDs.find(name);
    if (it == myIDs.end()) throw UnknownElement(name);
    return it->second;
}

std::vector<std::string> String2IntMap::getNames() const {
    std::vector<std::string> names;
    names.reserve(myIDs.size());
    for (const auto& entry : myIDs) names.push_back(entry.first);
    return names;
}

void Int2StringMap::insert(std::int32_t id, const std::string& name) { myNames[id] = name; }

void Int2StringMap::remove(std::int32_t id) {
    if (myNames.erase(id) == 0) throw UnknownElement(id);
}

bool Int2StringMap::hasID(std::int32_t id) const { return myNames.count(id) != 0; }

const std::string& Int2StringMap::nameOf(std::int32_t id) const {
    auto it = myNames.find(id);
    if (it == myNames.end()) throw UnknownElement(id);
    return it->second;
}

void BijectiveStringIntMap::insert(const std::string& name, std::int32_t id) {
    // A name or id paired before would leave a stale entry in the other map.
    auto oldID = myIDs.find(name);
    if (oldID != myIDs.end()) myNames.erase(oldID->second);
    auto oldName = myNames.find(id);
    if (oldName != myNames.end()) myIDs.erase(oldName->second);
    String2IntMap::insert(name, id);
    Int2StringMap::insert(id, name);
}

void BijectiveStringIntMap::insert(std::int32_t id, const std::string& name) { insert(name, id); }

void BijectiveStringIntMap::remove(const std::string& name) {
    std::int32_t id = idOf(name);
    String2IntMap::remove(name);
    Int2StringMap::remove(id);
}

void BijectiveStringIntMap::remove(std::int32_t id) {
    std::string name = nameOf(id);
    Int2StringMap::remove(id);
    String2IntMap::remove(name);
}

String2IDManager& String2IDManager::instance() {
    static String2IDManager registry;
    return registry;
}

std::int32_t String2IDManager::getID(const std::string& name) {
    {
        ReadLock lock(myLock);
        auto it = myIDs.find(name);
        if (it != myIDs.end()) return it->second;
    }
    WriteLock lock(myLock);
    auto it = myIDs.find(name); // another writer may have come first
    if (it != myIDs.end()) return it->second;
    const std::int32_t id = myNextID;
    BijectiveStringIntMap::insert(name, id);
    ++myNextID;
    return id;
}

void String2IDManager::insert(const std::string& name, std::int32_t id) {
    WriteLock lock(myLock);
    BijectiveStringIntMap::insert(name, id);
}

void String2IDManager::insert(std::int32_t id, const std::string& name) {
    WriteLock lock(myLock);
    BijectiveStringIntMap::insert(name, id);
}

void String2IDManager::remove(const std::string& name) {
    WriteLock lock(myLock);
    BijectiveStringIntMap::remove(name);
}

void String2IDManager::remove(std::int32_t id) {
    WriteLock lock(myLock);
    BijectiveStringIntMap::remove(id);
}

bool String2IDManager::hasName(const std::string& name) const {
    ReadLock lock(myLock);
    return String2IntMap::hasName(name);
}

std::int32_t String2IDManager::idOf(const std::string& name) const {
    ReadLock lock(myLock);
    return String2IntMap::idOf(name);
}

std::vector<std::string> String2IDManager::getNames() const {
    ReadLock lock(myLock);
    return String2IntMap::getNames();
}

bool String2IDManager::hasID(std::int32_t id) const {
    ReadLock lock(myLock);
    return Int2StringMap::hasID(id);
}

const std::string& String2IDManager::nameOf(std::int32_t id) const {
    ReadLock lock(myLock);
    return Int2StringMap::nameOf(id);
}

std::int32_t String2IDManager::getNextID() const {
    ReadLock lock(myLock);
    return myNextID;
}

void String2IDManager::registerBuiltins() {
    for (const char* c = builtinAlphabet; *c != '\0'; ++c) getID(std::string(1, *c));
    WriteLock lock(myLock);
    if (myNextID < firstUserSymbolID) myNextID = firstUserSymbolID;
}

void String2IDManager::setNextID(std::int32_t value) {
    WriteLock lock(myLock);
    if (myNextID >= value) throw std::invalid_argument("the next symbol id is already " + std::to_string(myNextID));
    myNextID = value;
}

void String2IDManager::resetToID(std::int32_t value) {
    WriteLock lock(myLock);
    auto first = myNames.lower_bound(value);
    auto last = myNames.lower_bound(myNextID);
    for (auto it = first; it != last; ++it) myIDs.erase(it->second);
    if (first != last) myNames.erase(first, last);
    myNextID = value;
}
