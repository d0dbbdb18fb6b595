// Pages of a mapped file that are no longer in the file.
//
// Another program may cut a table short while we have it mapped; touching a
// page past the new end raises SIGBUS, which would end the program. A handler
// for that signal looks the faulting address up among the engine's own
// mappings (and only those): there it maps zero pages over the rest of the
// mapping, marks the mapping lost, and lets the read go on. The reader sees
// zeros for the moment, and the file's next intact check (ParadoxFile) turns
// the mark into an ordinary error naming the file, before any record read
// from those zeros is handed out. A fault anywhere else goes on to the
// handler that was there before (by default: the program ends as it would
// have without us).
//
// The hot paths stay as they were: no check per byte, no copy, no jump
// buffer; only a flag per engine operation. The handler touches nothing but
// a fixed table of atomics, so it is safe in a signal.
#pragma once

#include <atomic>
#include <cstddef>

namespace engine {

class LostPages {
public:
    // Watches [begin, begin + size) until the returned guard goes away; false
    // when the table of watched mappings is full (the caller then reads the
    // file instead of mapping it). `lost` is set when a page of it went missing.
    static bool watch(const void* begin, std::size_t size, std::atomic<bool>* lost);
    static void unwatch(std::atomic<bool>* lost);
    // How many faults were turned into lost pages since the start (for tests).
    static unsigned long faults();
};

}  // namespace engine
