#include "platform/GzipDecoder.h"

#include <zlib.h>

namespace platform {

namespace {

constexpr std::size_t kOutputBufferSize = std::size_t{256} * 1024;

}  // namespace

void GzipDecoder::InflateDeleter::operator()(z_stream_s* stream) const {
  inflateEnd(stream);
  delete stream;
}

GzipDecoder::GzipDecoder() : output_(kOutputBufferSize) {}

std::optional<GzipDecoder> GzipDecoder::create() {
  GzipDecoder decoder;
  auto* stream = new z_stream{};
  // 16 + MAX_WBITS: a gzip wrapper around a deflate stream with the largest window.
  if (inflateInit2(stream, 16 + MAX_WBITS) != Z_OK) {
    delete stream;
    return std::nullopt;
  }
  decoder.stream_.reset(stream);
  return decoder;
}

GzipDecoder::Result GzipDecoder::decode(const unsigned char* data, std::size_t length,
                                        const Sink& sink) {
  z_stream* stream = stream_.get();
  stream->next_in = const_cast<Bytef*>(data);
  stream->avail_in = static_cast<uInt>(length);
  // Until the input is used up and zlib holds no more output for lack of room.
  do {
    if (memberEnded_ && stream->avail_in > 0) {
      // Another gzip member follows (RFC 1952 allows several in a row).
      inflateReset(stream);
      memberEnded_ = false;
    }
    stream->next_out = output_.data();
    stream->avail_out = static_cast<uInt>(output_.size());
    const uInt availableIn = stream->avail_in;
    const int status = inflate(stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return Result::BadData;
    const std::size_t produced = output_.size() - stream->avail_out;
    totalIn_ += availableIn - stream->avail_in;
    totalOut_ += produced;
    // Checked before the bytes are handed on, so a bomb never reaches the disk.
    if (totalOut_ > kMaxInflationRatio * totalIn_) return Result::RatioExceeded;
    if (!sink(output_.data(), produced)) return Result::SinkFailed;
    if (status == Z_STREAM_END) memberEnded_ = true;
  } while (stream->avail_in > 0 || stream->avail_out == 0);
  return Result::Decoded;
}

bool GzipDecoder::complete() const {
  // inflateReset starts total_in again from 0, so it counts the current member only.
  return stream_->total_in == 0 || memberEnded_;
}

}  // namespace platform
