#pragma once
// A value of one of a few types, chosen by a type code, that can be read and
// written as text.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <variant>

// Type codes (bit values; a value has exactly one).
enum TypeCode : std::uint32_t {
    TYPE_BOOL = 1,
    TYPE_INTEGER = 2,
    TYPE_UNSIGNED_INTEGER = 4,
    TYPE_FLOAT = 8,
    TYPE_DOUBLE = 16,
    TYPE_STRING = 32,
};

// A type code outside the known set, or one without a value representation.
class UnknownTypeException : public std::exception {
public:
    explicit UnknownTypeException(std::uint32_t code) : myCode(code) {}
    std::uint32_t code() const { return myCode; }
    const char* what() const noexcept override { return "unknown type"; }

private:
    std::uint32_t myCode;
};

// A value was read or written as a type it does not have.
class NotOfThisTypeException : public std::exception {
public:
    NotOfThisTypeException(std::uint32_t expected, std::uint32_t actual) : myExpected(expected), myActual(actual) {}
    std::uint32_t expected() const { return myExpected; }
    std::uint32_t actual() const { return myActual; }
    const char* what() const noexcept override { return "not of this type"; }

private:
    std::uint32_t myExpected;
    std::uint32_t myActual;
};

// The name of a type code ("bool", "integer", ...); UnknownTypeException otherwise.
std::string typeName(std::uint32_t code);

class TypedValue {
public:
    // A value of the given type (bool, integer, double or string) holding
    // false, 0, 0.0 or the empty text; UnknownTypeException for other codes.
    explicit TypedValue(std::uint32_t code);
    TypedValue(const TypedValue&) = default;
    TypedValue& operator=(const TypedValue&) = default;
    virtual ~TypedValue() = default;

    virtual bool isType(std::uint32_t code) const;
    // "true"/"false", decimal integer, fixed-point double with 3 digits, or the text.
    virtual std::string getValueAsString() const;

    virtual int getInt() const;
    virtual double getDouble() const;
    virtual std::string getString() const;
    virtual bool getBool() const;

    virtual void setDouble(double value);
    virtual void setInt(int value);
    virtual void setBool(bool value);
    virtual void setString(const std::string& value);
    // Reads the text with the TextConvert reader of the value's type.
    virtual void setFromString(const std::string& text);

    virtual std::unique_ptr<TypedValue> clone() const;

    std::uint32_t typeCode() const { return myCode; }

private:
    void requireType(std::uint32_t code) const;

    std::uint32_t myCode;
    std::variant<bool, int, double, std::string> myValue;
};
