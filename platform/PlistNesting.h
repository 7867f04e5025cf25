#pragma once

// How deep a property list nests, read from its raw bytes before any parser builds it. Internal
// to PropertyList: libplist recurses once per level while it builds, frees and writes its tree,
// so a list must be known to be shallow before it is handed over.

#include <string_view>

namespace platform {

// The largest maxDepth plistNestingWithin honours; a larger one counts as this.
inline constexpr int kLargestNestingLimit = 250;

// Whether the property list in bytes nests its arrays, dictionaries and sets at most maxDepth
// deep (an array holding an empty dictionary nests 2 deep; a list without containers 0). The
// scan builds nothing, never recurses, reads only inside bytes, and takes time linear in their
// size (at most maxDepth times it). False also when the answer cannot be certain:
// - binary lists ("bplist00"): references that form a cycle or point outside the list, or
//   objects shared so often that the tree would hold more values than the list has bytes (a
//   parser copies a shared object once per reference);
// - anything else must be XML: a start other than '<', markup that another reader could place
//   differently (a '<' or '[' inside a tag, a quoted value holding '>' or the other quote, a
//   declaration other than DOCTYPE), an unterminated comment or CDATA section, or a close tag
//   of an array or dictionary that does not match the open one.
[[nodiscard]] bool plistNestingWithin(std::string_view bytes, int maxDepth);

}  // namespace platform
