#pragma once

// A developer trace point. Callers pass texts that begin with "Info: ", "Warning: " or
// "Error: "; the trace formats nothing and writes nothing, so it costs nothing at run time.
inline void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline void DebugTrace(const char*, ...) {}
