#pragma once

// The file name a download suggests, from what the server sent. Internal to UrlDownload; kept
// apart from the transfer so that the rules for hostile names can be exercised on their own.

#include <string>
#include <string_view>

namespace platform {

// The name to save a response under: the file name of the Content-Disposition value when it
// has a usable one, else the last component of the URL's path (urlPath, as the URL holds it,
// still percent-encoded), else "download". Always a plain file name: no "/" or "\", not "." or
// "..", no control characters, never empty.
std::string suggestedFilename(std::string_view contentDisposition, std::string_view urlPath);

// The file name a Content-Disposition value carries (RFC 6266): a usable filename*=UTF-8''...
// (RFC 5987; other charsets and malformed escapes are ignored), else filename= as a token or a
// quoted-string; parameter names in any case; empty when none. Not yet reduced to a plain name.
std::string dispositionFileName(std::string_view value);

// The last component of a URL path, percent-decoded; empty when the path is empty or ends in
// "/". Not yet reduced to a plain name.
std::string lastPathComponent(std::string_view urlPath);

// name reduced to a plain file name: its last "/" or "\" component without control characters;
// empty when nothing usable remains.
std::string plainFileName(std::string_view name);

// Decodes %XX escapes; malformed escapes stay as they are.
std::string percentDecoded(std::string_view text);

// text without leading blanks and tabs and without trailing blanks, tabs and line ends.
std::string_view trimmed(std::string_view text);

}  // namespace platform
