// Failures of the dataset layer. Messages the layer raises for a component
// read "<component name>: <message>"; errors coming up from the table engine
// carry the engine's own message and code unchanged.
#pragma once

#include "platform/classes/Exception.h"
#include "text/AnsiString.h"

class TComponent;

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(int code, AnsiString message) : EDatabaseError(std::move(message)), m_code(code) {}
    int ErrorCode() const { return m_code; }

private:
    int m_code;
};

namespace db {

// Engine error codes the dataset layer reacts to.
inline constexpr int kErrPasswordNeeded = 10498;
inline constexpr int kErrNoWriteAccess = 10763;

// Texts of the layer's own messages.
inline constexpr const char* kClosedDataset = "Cannot perform this operation on a closed dataset";
inline constexpr const char* kNoIndexForFields = "No index for fields '%s'";

// "%s" in `pattern` replaced by `arg` (the layer's messages have one placeholder).
AnsiString format_message(std::string_view pattern, std::string_view arg);

// Throws EDatabaseError with "<name>: <message>", or the bare message when
// the component is missing or has no name.
[[noreturn]] void database_error(std::string_view message, const TComponent* component);

}  // namespace db
