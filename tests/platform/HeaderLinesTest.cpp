// The header fields kept for a libcurl without curl_easy_header.
#include <gtest/gtest.h>

#include "platform/curl/ResponseHeaders.h"

namespace {

using platform::HeaderLines;

TEST(HeaderLines, KeepTheLatestResponsesFieldsFoundInAnyCaseFirstOneCounting) {
  HeaderLines lines;
  for (const char* line :
       {"HTTP/1.1 100 Continue\r\n", "X-Interim: yes\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
        "content-type:  text/plain; charset=utf-8 \r\n", "ETag: \"v1\"\r\n", "Etag: \"v2\"\r\n",
        "Location:\r\n", "not a field\r\n", "\r\n"}) {
    lines.add(line);
  }
  EXPECT_EQ(lines.value("Content-Type"), "text/plain; charset=utf-8");
  EXPECT_EQ(lines.value("ETAG"), "\"v1\"") << "the first of a repeated field counts";
  EXPECT_EQ(lines.value("X-Interim"), "") << "an interim answer's fields are dropped";
  EXPECT_EQ(lines.value("Location"), "");
  EXPECT_EQ(lines.value("Content"), "") << "a prefix of a name is not the name";

  lines.add("HTTP/2 302\r\n");
  EXPECT_EQ(lines.value("Content-Type"), "") << "a new response starts empty";
}

}  // namespace
