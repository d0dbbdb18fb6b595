// Failures of the table engine. Every error carries the engine's numeric code
// (the codes the dataset layer reacts to are named below) and a CP1251 message
// that names the file and the problem.
#pragma once

#include "platform/classes/Exception.h"

namespace engine {

enum ErrorCode : int {
    kErrBof = 8705,               // moved before the first record
    kErrEof = 8706,               // moved past the last record
    kErrNoCurrentRecord = 8709,   // the cursor sits between records or the table is empty
    kErrRecordNotFound = 8710,    // a key search found nothing
    kErrKeyViolation = 9729,      // a unique index would hold a key twice
    kErrPasswordRequired = 10498, // the table is protected and no password given matches
    kErrNoWriteAccess = 10763,    // read/write open of a file we may not write
    kErrNotFound = 10024,         // no such table, directory or database name
    kErrCorrupt = 8962,           // the file contradicts itself or is cut short
    kErrUnsupported = 12038,      // a valid file this engine does not handle
    kErrInvalidArgument = 10030,  // a call the engine cannot honour (unknown index, bad value)
    kErrIo = 10253,               // the operating system refused a read or write
};

class EngineError : public Exception {
public:
    EngineError(int code, AnsiString message) : Exception(std::move(message)), m_code(code) {}
    int code() const { return m_code; }

private:
    int m_code;
};

}  // namespace engine
