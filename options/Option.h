#pragma once
// A command-line option: a typed value that remembers whether it was given.

#include "options/TypedValue.h"

#include <string>

class Option : public TypedValue {
public:
    // Each setter replaces the value and marks the option set. A second value
    // raises InvalidArgument "This option was already set." and leaves the
    // first one in place.
    void setDouble(double value) override;
    void setInt(int value) override;
    void setBool(bool value) override;
    void setString(const std::string& value) override;
    void setFromString(const std::string& text) override;

    virtual std::string getTypeName() const;
    virtual bool isFilePath() const;

    bool canBeSet() const { return myCanBeSet; }
    bool isSet() const { return myIsSet; }
    bool isDefault() const { return myIsDefault; }
    void makeSettable() { myCanBeSet = true; }

protected:
    explicit Option(std::uint32_t code) : TypedValue(code) {}
    // Marks the value just stored as the declared default.
    void markDefault();

private:
    // Stores the candidate value when the option may still be set.
    void accept(const TypedValue& candidate);

    bool myCanBeSet = true;
    bool myIsSet = false;
    bool myIsDefault = false;
};

class Option_Bool : public Option {
public:
    Option_Bool();
    explicit Option_Bool(bool defaultValue);
};

class Option_Integer : public Option {
public:
    Option_Integer();
    explicit Option_Integer(int defaultValue);
};

class Option_Double : public Option {
public:
    Option_Double();
    explicit Option_Double(double defaultValue);
};

class Option_String : public Option {
public:
    Option_String();
    explicit Option_String(const std::string& defaultValue);
};

class Option_FileName : public Option_String {
public:
    using Option_String::Option_String;
    bool isFilePath() const override;
};
