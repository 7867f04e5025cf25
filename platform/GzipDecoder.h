#pragma once

// Streaming gunzip of a download's body. Internal to UrlDownload; kept apart from the transfer
// so that the decoding rules stand on their own.

#include <cstddef>
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
  enum class Result { Decoded, BadData, SinkFailed };

  // A decoder at the start of a body; none when zlib cannot be set up.
  [[nodiscard]] static std::optional<GzipDecoder> create();

  // Decodes the next length bytes of the body and hands all they yield to sink. BadData when
  // they are not gzip; SinkFailed when sink refused bytes. Nothing more may be decoded then.
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
};

}  // namespace platform
