#pragma once

// Streaming gunzip of a download's body. Internal to UrlDownload; kept apart from the transfer
// so that the decoding rules stand on their own.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct z_stream_s;

namespace platform {

// Decodes a gzip body (RFC 1952) as it arrives, piece by piece; several members in a row are one
// body, as the format allows.
class GzipDecoder {
 public:
  // Receives decoded bytes in order; returns false when it cannot take them.
  using Sink = std::function<bool(const unsigned char* data, std::size_t length)>;
  enum class Result { Decoded, BadData, SinkFailed, RatioExceeded };
  // More decoded bytes than this many per body byte taken in is a decompression bomb, not a
  // file: deflate itself cannot do much better than 1032 to 1.
  static constexpr std::uint64_t kMaxInflationRatio = 1000;

  // A decoder at the start of a body; none when zlib cannot be set up.
  [[nodiscard]] static std::optional<GzipDecoder> create();

  // Decodes the next length bytes of the body and hands all they yield to sink. BadData when
  // they are not gzip; SinkFailed when sink refused bytes; RatioExceeded when the body so far
  // has decoded to more than kMaxInflationRatio times its size. Nothing more may be decoded then.
  [[nodiscard]] Result decode(const unsigned char* data, std::size_t length, const Sink& sink);
  // Whether the body so far is whole: nothing decoded yet, or the last member has ended.
  bool complete() const;

 private:
  struct InflateDeleter {
    void operator()(z_stream_s* stream) const;
  };
  GzipDecoder();

  // On the heap: zlib's state points back at its stream, which therefore never moves.
  std::unique_ptr<z_stream_s, InflateDeleter> stream_;
  std::vector<unsigned char> output_;
  bool memberEnded_ = false;  // the last member decoded so far has reached its end
  // The body's bytes taken in and decoded so far, over all its members.
  std::uint64_t totalIn_ = 0;
  std::uint64_t totalOut_ = 0;
};

}  // namespace platform
