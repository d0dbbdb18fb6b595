// Failures are exceptions carrying a message in CP1251; the application shows
// the message of one that leaves an event handler and goes on.
#pragma once

#include "text/AnsiString.h"

#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : m_message(std::move(message)) {}
    const AnsiString& Message() const { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    AnsiString m_message;
};

class EComponentError : public Exception {
public:
    using Exception::Exception;
};
