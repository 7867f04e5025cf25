#include "platform/PlistNesting.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kBinaryMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;

// ---- Binary lists -----------------------------------------------------------------------
//
// Layout: "bplist00", the objects, a table of their offsets, and a trailer naming the size of
// an offset and of an object reference, the number of objects, the top object and where the
// offset table starts. An object starts with a marker byte: its type in the high nibble, its
// count in the low one (15: an integer object with the count follows). Arrays (0xA) and sets
// (0xC) are followed by count references, dictionaries (0xD) by count key references and count
// value references.

std::uint64_t readBigEndian(const unsigned char* bytes, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value = value << 8 | bytes[i];
  return value;
}

// Writers use 1, 2, 4 or 8 bytes; other sizes are refused rather than read in a way that might
// differ from the parser's.
bool isUsualIntegerSize(std::uint64_t size) {
  return size == 1 || size == 2 || size == 4 || size == 8;
}

// The walk of one binary list; bytes hold at least the magic and a trailer.
class BinaryScan {
 public:
  explicit BinaryScan(std::string_view bytes)
      : data_(reinterpret_cast<const unsigned char*>(bytes.data())),
        trailer_(bytes.size() - kTrailerSize),
        maxValues_(
            std::min<std::uint64_t>(bytes.size(), std::numeric_limits<std::uint32_t>::max())) {}

  bool within(std::size_t maxDepth) {
    if (!readTrailer()) return false;
    return walk(maxDepth);
  }

 private:
  // Where a container's references lie: refCount references of refSize_ bytes from refs.
  struct Container {
    std::size_t refs = 0;
    std::uint64_t refCount = 0;
  };
  // An object being walked: its container and how far its references have been followed.
  struct Frame {
    std::uint64_t object;
    Container container;
    std::uint64_t next = 0;
    std::uint64_t values = 1;  // values of its tree so far, itself included
    std::uint8_t height = 1;   // containers on its deepest path so far, itself included
  };
  static constexpr std::uint8_t kUnseen = 0xFF;
  static constexpr std::uint8_t kOnPath = 0xFE;

  bool readTrailer() {
    const unsigned char* trailer = data_ + trailer_;
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    objectCount_ = readBigEndian(trailer + 8, 8);
    top_ = readBigEndian(trailer + 16, 8);
    const std::uint64_t table = readBigEndian(trailer + 24, 8);
    if (!isUsualIntegerSize(offsetSize_) || !isUsualIntegerSize(refSize_)) return false;
    if (objectCount_ == 0 || top_ >= objectCount_) return false;
    // The offset table lies between the objects and the trailer, and holds every object.
    if (table < kBinaryMagic.size() || table > trailer_) return false;
    if (objectCount_ > (trailer_ - table) / offsetSize_) return false;
    table_ = static_cast<std::size_t>(table);
    return true;
  }

  // The object's references when it is a container, none when it is another value; false when
  // its offset or its references leave the list.
  bool readObject(std::uint64_t object, std::optional<Container>& container) const {
    const std::uint64_t offset = readBigEndian(data_ + table_ + object * offsetSize_, offsetSize_);
    if (offset < kBinaryMagic.size() || offset >= table_) return false;
    std::size_t at = static_cast<std::size_t>(offset);
    const unsigned type = data_[at] >> 4;
    std::uint64_t count = data_[at] & 0x0F;
    ++at;
    if (type != 0xA && type != 0xC && type != 0xD) {
      container.reset();
      return true;
    }
    if (count == 0x0F) {
      if (at >= trailer_ || data_[at] >> 4 != 0x1 || (data_[at] & 0x0F) > 3) return false;
      const std::size_t size = std::size_t{1} << (data_[at] & 0x0F);
      if (size > trailer_ - at - 1) return false;
      count = readBigEndian(data_ + at + 1, size);
      at += 1 + size;
    }
    const std::uint64_t perEntry = type == 0xD ? 2 : 1;
    if (count > (trailer_ - at) / refSize_ / perEntry) return false;
    container = Container{at, count * perEntry};
    return true;
  }

  // Depth-first over the object graph with an explicit path of at most maxDepth containers.
  // Each object is walked once; later references reuse its height and value count, so shared
  // objects cost nothing more, and the value count stops a list whose sharing would make the
  // parser build an exponential tree. The values counted bound the references read, so the
  // work stays linear in the list's size.
  bool walk(std::size_t maxDepth) {
    heights_.assign(objectCount_, kUnseen);
    values_.assign(objectCount_, 0);
    path_.reserve(maxDepth);
    std::uint64_t object = top_;
    for (;;) {
      // object is finished or about to be entered, as a child of path_.back() (the top object
      // when the path is empty).
      if (!enter(object, maxDepth)) return false;
      if (heights_[object] != kOnPath) {
        if (path_.empty()) return true;
        if (!addToParent(object, maxDepth)) return false;
      }
      Frame& frame = path_.back();
      if (frame.next < frame.container.refCount) {
        object = readBigEndian(data_ + frame.container.refs + frame.next * refSize_, refSize_);
        ++frame.next;
        if (object >= objectCount_) return false;
        continue;
      }
      heights_[frame.object] = frame.height;
      values_[frame.object] = static_cast<std::uint32_t>(frame.values);
      object = frame.object;
      path_.pop_back();
    }
  }

  // Reads object when it is reached for the first time: a container goes on the path, any
  // other value is finished at once. False on a cycle, an unreadable object or a path deeper
  // than maxDepth.
  bool enter(std::uint64_t object, std::size_t maxDepth) {
    if (heights_[object] == kOnPath) return false;  // a cycle
    if (heights_[object] != kUnseen) return true;
    std::optional<Container> container;
    if (!readObject(object, container)) return false;
    if (!container) {
      heights_[object] = 0;
      values_[object] = 1;
      return true;
    }
    if (path_.size() >= maxDepth) return false;
    heights_[object] = kOnPath;
    path_.push_back(Frame{object, *container});
    return true;
  }

  // Counts the finished object into its parent, the innermost container on the path. False
  // when the object's height would take the path deeper than maxDepth or the parent's tree
  // past the values allowed.
  bool addToParent(std::uint64_t object, std::size_t maxDepth) {
    Frame& parent = path_.back();
    if (path_.size() + heights_[object] > maxDepth) return false;
    parent.height = std::max<std::uint8_t>(parent.height, heights_[object] + 1);
    parent.values += values_[object];
    return parent.values <= maxValues_;
  }

  const unsigned char* data_;
  std::size_t trailer_;  // where the trailer starts: nothing read lies at or beyond it
  std::uint64_t maxValues_;
  std::size_t table_ = 0;
  std::size_t offsetSize_ = 0;
  std::size_t refSize_ = 0;
  std::uint64_t objectCount_ = 0;
  std::uint64_t top_ = 0;
  // Per object: its height once finished, or kUnseen, or kOnPath; and its tree's value count.
  std::vector<std::uint8_t> heights_;
  std::vector<std::uint32_t> values_;
  std::vector<Frame> path_;  // the containers being walked, outermost first
};

// ---- XML lists --------------------------------------------------------------------------
//
// Only the open and close tags of arrays and dictionaries matter. Comments, CDATA sections,
// processing instructions, the document type and quoted attribute values can hide tags, so the
// scan skips them exactly where libplist does, and refuses whenever a reader might end one of
// them somewhere else.

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The position of the '>' ending the tag whose remaining body starts at pos; npos when the tag
// is unterminated, or when its body holds a '<' or '[', or a quoted value holding '>' or the
// other quote, since then readers that treat quotes differently could end it elsewhere.
std::size_t tagEnd(std::string_view text, std::size_t pos) {
  char quote = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '<') return std::string_view::npos;
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else if (c == '>' || c == '"' || c == '\'') {
        return std::string_view::npos;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[') {
      return std::string_view::npos;
    } else if (c == '>') {
      return pos;
    }
  }
  return std::string_view::npos;
}

// Whether the body of a start tag (what follows its name) closes it at once: "/" or " /".
bool closesAtOnce(std::string_view body) {
  while (!body.empty() && isXmlSpace(body.front())) body.remove_prefix(1);
  return body == "/";
}

bool isAllSpace(std::string_view text) { return std::all_of(text.begin(), text.end(), isXmlSpace); }

// Past the text up to and including terminator, searched from pos; npos when it never comes.
std::size_t pastTerminator(std::string_view text, std::size_t pos, std::string_view terminator) {
  const std::size_t end = text.find(terminator, pos);
  return end == std::string_view::npos ? end : end + terminator.size();
}

// Where the markup whose body starts at pos (just after its '<') ends when it is a comment, a
// CDATA section, a processing instruction or the document type: the position after it, or npos
// when it is unterminated or another reader might end it elsewhere. None when it is a tag.
std::optional<std::size_t> pastNonTagMarkup(std::string_view text, std::size_t pos) {
  constexpr auto npos = std::string_view::npos;
  const std::string_view markup = text.substr(pos);
  if (markup.starts_with("!--")) return pastTerminator(text, pos + 3, "-->");
  if (markup.starts_with("![CDATA[")) return pastTerminator(text, pos + 8, "]]>");
  if (markup.starts_with("?")) {
    // libplist ends it at the first "?>", quoted or not.
    const std::size_t end = tagEnd(text, pos + 1);
    if (end == npos || end < pos + 2 || text[end - 1] != '?') return npos;
    return end + 1;
  }
  if (markup.starts_with("!")) {
    if (!markup.starts_with("!DOCTYPE") || markup.size() <= 8 || !isXmlSpace(markup[8])) {
      return npos;
    }
    const std::size_t end = tagEnd(text, pos + 8);
    return end == npos ? npos : end + 1;
  }
  return std::nullopt;
}

// An open or close tag: its name, what follows the name up to the '>', and where it ends.
struct XmlTag {
  bool closing = false;
  std::string_view name;
  std::string_view body;
  std::size_t next = 0;  // the position after its '>'
};

// The tag whose body starts at pos (just after its '<'); none when it has no name or no end
// every reader agrees on.
std::optional<XmlTag> readTag(std::string_view text, std::size_t pos) {
  XmlTag tag;
  tag.closing = text.substr(pos).starts_with("/");
  if (tag.closing) ++pos;
  std::size_t nameEnd = pos;
  while (nameEnd < text.size() && isAsciiLetter(text[nameEnd])) ++nameEnd;
  if (nameEnd == pos) return std::nullopt;
  const std::size_t end = tagEnd(text, nameEnd);
  if (end == std::string_view::npos) return std::nullopt;
  tag.name = text.substr(pos, nameEnd - pos);
  tag.body = text.substr(nameEnd, end - nameEnd);
  tag.next = end + 1;
  return tag;
}

// Follows tag on open, the open containers, innermost last: 'a' array, 'd' dictionary, 'e'
// empty top container. False when it closes a container other than the innermost open one, or
// opens one more than maxDepth deep.
bool followTag(const XmlTag& tag, std::string& open, std::size_t maxDepth) {
  const char kind = tag.name == "array" ? 'a' : tag.name == "dict" ? 'd' : '\0';
  if (!kind) return true;
  if (tag.closing) {
    if (open.empty() || open.back() != kind || !isAllSpace(tag.body)) return false;
    open.pop_back();
    return true;
  }
  // An empty container is a level too. libplist makes an empty container at the top the
  // parent of every element after it: it stays open, and no close tag matches it.
  if (open.size() >= maxDepth) return false;
  if (!closesAtOnce(tag.body)) {
    open.push_back(kind);
  } else if (open.empty()) {
    open.push_back('e');
  }
  return true;
}

bool xmlNestingWithin(std::string_view text, std::size_t maxDepth) {
  constexpr auto npos = std::string_view::npos;
  std::size_t pos = 0;
  while (pos < text.size() && isXmlSpace(text[pos])) ++pos;
  // Later libplist versions read JSON and OpenStep text (also recursively) from other starts.
  if (pos == text.size() || text[pos] != '<') return false;
  // The open containers, innermost last (see followTag).
  std::string open;
  while ((pos = text.find('<', pos)) != npos) {
    ++pos;
    if (const std::optional<std::size_t> past = pastNonTagMarkup(text, pos)) {
      if (*past == npos) return false;
      pos = *past;
      continue;
    }
    const std::optional<XmlTag> tag = readTag(text, pos);
    if (!tag || !followTag(*tag, open, maxDepth)) return false;
    pos = tag->next;
  }
  return true;
}

}  // namespace

bool plistNestingWithin(std::string_view bytes, int maxDepth) {
  const auto limit = static_cast<std::size_t>(std::clamp(maxDepth, 0, kLargestNestingLimit));
  if (bytes.starts_with(kBinaryMagic)) {
    return bytes.size() >= kBinaryMagic.size() + kTrailerSize && BinaryScan(bytes).within(limit);
  }
  return xmlNestingWithin(bytes, limit);
}

}  // namespace platform
