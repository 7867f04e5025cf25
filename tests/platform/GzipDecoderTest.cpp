#include "platform/GzipDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "tests/support/Gzip.h"
#include "tests/support/TestBytes.h"

namespace {

using platform::GzipDecoder;
using testsupport::gzipped;

struct Outcome {
  GzipDecoder::Result result = GzipDecoder::Result::Decoded;
  std::string text;
  bool complete = false;
};

// Feeds body to a new decoder in pieces of at most piece bytes, as a transfer would.
Outcome decodeInPieces(const std::string& body, std::size_t piece) {
  Outcome outcome;
  std::optional<GzipDecoder> decoder = GzipDecoder::create();
  if (!decoder) return {GzipDecoder::Result::BadData, "<no decoder>", false};
  const GzipDecoder::Sink sink = [&outcome](const unsigned char* data, std::size_t length) {
    outcome.text.append(reinterpret_cast<const char*>(data), length);
    return true;
  };
  for (std::size_t offset = 0; offset < body.size(); offset += piece) {
    const std::size_t length = std::min(piece, body.size() - offset);
    outcome.result =
        decoder->decode(reinterpret_cast<const unsigned char*>(body.data()) + offset, length, sink);
    if (outcome.result != GzipDecoder::Result::Decoded) break;
  }
  outcome.complete = decoder->complete();
  return outcome;
}

const std::string kFirst = testsupport::pattern(700000);
const std::string kSecond = "a second member";

TEST(GzipDecoder, MembersInARowAreOneBodyWhereverThePiecesBreak) {
  const std::string body = gzipped(kFirst) + gzipped("") + gzipped(kSecond);
  for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{16384}, body.size()}) {
    const Outcome outcome = decodeInPieces(body, piece);
    EXPECT_EQ(outcome.result, GzipDecoder::Result::Decoded) << "pieces of " << piece;
    EXPECT_TRUE(outcome.text == kFirst + kSecond) << "pieces of " << piece;
    EXPECT_TRUE(outcome.complete) << "pieces of " << piece;
  }
}

// What arrived decodes, but a body that stops inside a member is not the whole body.
TEST(GzipDecoder, BodyCutOffInsideAMemberIsIncomplete) {
  const std::string first = gzipped(kFirst);
  const std::string body = first + gzipped(kSecond);
  const struct {
    const char* where;
    std::size_t length;
    bool complete;
  } cases[] = {
      {"nothing yet", 0, true},
      {"inside the first member's trailer", first.size() - 4, false},
      {"between the members", first.size(), true},
      {"inside the second member's header", first.size() + 1, false},
      {"one byte short", body.size() - 1, false},
  };
  for (const auto& c : cases) {
    const Outcome outcome = decodeInPieces(body.substr(0, c.length), 16384);
    EXPECT_EQ(outcome.result, GzipDecoder::Result::Decoded) << c.where;
    EXPECT_EQ(outcome.complete, c.complete) << c.where;
  }
}

TEST(GzipDecoder, StopsWhenTheSinkRefusesBytes) {
  std::optional<GzipDecoder> decoder = GzipDecoder::create();
  ASSERT_TRUE(decoder);
  const std::string body = gzipped(kSecond);
  EXPECT_EQ(decoder->decode(reinterpret_cast<const unsigned char*>(body.data()), body.size(),
                            [](const unsigned char*, std::size_t) { return false; }),
            GzipDecoder::Result::SinkFailed);
}

}  // namespace
