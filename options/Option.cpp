#include "options/Option.h"

#include "diagnostics/Exceptions.h"

// The candidate is built on a copy first so that a type or format error is
// raised before the settable check, and a refused value never replaces the
// stored one.
void Option::accept(const TypedValue& candidate) {
    if (!myCanBeSet) {
        throw InvalidArgument("This option was already set.");
    }
    TypedValue::operator=(candidate);
    myCanBeSet = false;
    myIsDefault = false;
    myIsSet = true;
}

void Option::setDouble(double value) {
    TypedValue candidate(*this);
    candidate.setDouble(value);
    accept(candidate);
}

void Option::setInt(int value) {
    TypedValue candidate(*this);
    candidate.setInt(value);
    accept(candidate);
}

void Option::setBool(bool value) {
    TypedValue candidate(*this);
    candidate.setBool(value);
    accept(candidate);
}

void Option::setString(const std::string& value) {
    TypedValue candidate(*this);
    candidate.setString(value);
    accept(candidate);
}

void Option::setFromString(const std::string& text) {
    TypedValue candidate(*this);
    candidate.setFromString(text);
    accept(candidate);
}

std::string Option::getTypeName() const { return typeName(typeCode()); }

bool Option::isFilePath() const { return false; }

void Option::markDefault() {
    myCanBeSet = true;
    myIsSet = true;
    myIsDefault = true;
}

Option_Bool::Option_Bool() : Option(TYPE_BOOL) {}

Option_Bool::Option_Bool(bool defaultValue) : Option(TYPE_BOOL) {
    TypedValue::setBool(defaultValue);
    markDefault();
}

Option_Integer::Option_Integer() : Option(TYPE_INTEGER) {}

Option_Integer::Option_Integer(int defaultValue) : Option(TYPE_INTEGER) {
    TypedValue::setInt(defaultValue);
    markDefault();
}

Option_Double::Option_Double() : Option(TYPE_DOUBLE) {}

Option_Double::Option_Double(double defaultValue) : Option(TYPE_DOUBLE) {
    TypedValue::setDouble(defaultValue);
    markDefault();
}

Option_String::Option_String() : Option(TYPE_STRING) {}

Option_String::Option_String(const std::string& defaultValue) : Option(TYPE_STRING) {
    TypedValue::setString(defaultValue);
    markDefault();
}

bool Option_FileName::isFilePath() const { return true; }
