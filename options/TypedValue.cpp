#include "options/TypedValue.h"

#include "options/TextConvert.h"

std::string typeName(std::uint32_t code) {
    switch (code) {
    case TYPE_BOOL:
        return "bool";
    case TYPE_INTEGER:
        return "integer";
    case TYPE_UNSIGNED_INTEGER:
        return "unsigned integer";
    case TYPE_FLOAT:
        return "float";
    case TYPE_DOUBLE:
        return "double";
    case TYPE_STRING:
        return "string";
    default:
        throw UnknownTypeException(code);
    }
}

TypedValue::TypedValue(std::uint32_t code) : myCode(code) {
    switch (code) {
    case TYPE_BOOL:
        myValue = false;
        break;
    case TYPE_INTEGER:
        myValue = 0;
        break;
    case TYPE_DOUBLE:
        myValue = 0.0;
        break;
    case TYPE_STRING:
        myValue = std::string();
        break;
    default:
        throw UnknownTypeException(code);
    }
}

bool TypedValue::isType(std::uint32_t code) const { return myCode == code; }

std::string TypedValue::getValueAsString() const {
    switch (myCode) {
    case TYPE_BOOL:
        return std::get<bool>(myValue) ? "true" : "false";
    case TYPE_INTEGER:
        return TextConvert::toString(std::get<int>(myValue));
    case TYPE_DOUBLE:
        return TextConvert::toString(std::get<double>(myValue), 3);
    default:
        return std::get<std::string>(myValue);
    }
}

void TypedValue::requireType(std::uint32_t code) const {
    if (myCode != code) {
        throw NotOfThisTypeException(code, myCode);
    }
}

int TypedValue::getInt() const {
    requireType(TYPE_INTEGER);
    return std::get<int>(myValue);
}

double TypedValue::getDouble() const {
    requireType(TYPE_DOUBLE);
    return std::get<double>(myValue);
}

std::string TypedValue::getString() const {
    requireType(TYPE_STRING);
    return std::get<std::string>(myValue);
}

bool TypedValue::getBool() const {
    requireType(TYPE_BOOL);
    return std::get<bool>(myValue);
}

void TypedValue::setDouble(double value) {
    requireType(TYPE_DOUBLE);
    myValue = value;
}

void TypedValue::setInt(int value) {
    requireType(TYPE_INTEGER);
    myValue = value;
}

void TypedValue::setBool(bool value) {
    requireType(TYPE_BOOL);
    myValue = value;
}

void TypedValue::setString(const std::string& value) {
    requireType(TYPE_STRING);
    myValue = value;
}

void TypedValue::setFromString(const std::string& text) {
    switch (myCode) {
    case TYPE_BOOL:
        myValue = TextConvert::toBool(text);
        break;
    case TYPE_INTEGER:
        myValue = TextConvert::toInt(text);
        break;
    case TYPE_DOUBLE:
        myValue = static_cast<double>(TextConvert::toFloat(text));
        break;
    default:
        myValue = text;
        break;
    }
}

std::unique_ptr<TypedValue> TypedValue::clone() const { return std::make_unique<TypedValue>(*this); }
