#pragma once
// Small exception classes shared by the file, number and option helpers.

#include <exception>
#include <string>

class FileError : public std::exception {
public:
    explicit FileError(std::string fileName, std::string reason = std::string())
        : myFileName(std::move(fileName)), myReason(std::move(reason)) {}
    const std::string& fileName() const { return myFileName; }
    // Why, as a sentence naming the file or its folder; empty when unknown.
    const std::string& reason() const { return myReason; }
    const char* what() const noexcept override { return myFileName.c_str(); }

private:
    std::string myFileName;
    std::string myReason;
};

// A whole-file reader could not open the file for reading.
class FileNotFoundError : public FileError {
public:
    using FileError::FileError;
};

// An output could not be opened, written or put in place.
class FileNotWriteable : public FileError {
public:
    using FileError::FileError;
};

// A number reader was given a missing or empty text.
class EmptyData : public std::exception {
public:
    const char* what() const noexcept override { return "empty data"; }
};

// A number reader met a character that does not belong to the number.
class NumberFormatException : public std::exception {
public:
    const char* what() const noexcept override { return "number format"; }
};

// An index check of a container failed.
class OutOfRangeException : public std::exception {
public:
    const char* what() const noexcept override { return "out of range"; }
};

// The hexadecimal digit reader met a character that is no digit or letter.
class OutOfRangeError : public std::exception {
public:
    const char* what() const noexcept override { return "out of range"; }
};

// A failure with a title and a description, shown as one message box.
class DescribedException : public std::exception {
public:
    DescribedException(std::string title, std::string description)
        : myTitle(std::move(title)), myDescription(std::move(description)) {}
    const std::string& title() const { return myTitle; }
    const std::string& description() const { return myDescription; }
    const char* what() const noexcept override { return myDescription.c_str(); }

private:
    std::string myTitle;
    std::string myDescription;
};

// An invalid argument of the option library or of a record operation.
class InvalidArgument : public std::exception {
public:
    explicit InvalidArgument(std::string message) : myMessage(std::move(message)) {}
    const std::string& message() const { return myMessage; }
    const char* what() const noexcept override { return myMessage.c_str(); }

private:
    std::string myMessage;
};
