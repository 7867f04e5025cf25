// UrlDownload on libcurl's multi-socket interface, driven by the GLib main loop.
//
// One process-wide multi handle sits on one GLib source: curl's socket callback adds, changes
// and removes the source's file descriptors, and curl's timer callback sets the source's ready
// time. curl's own callbacks (header and body) only record and save data; every delegate call is
// made later from a per-transfer source, so the delegate may destroy the transfer in any call
// without pulling an easy handle out from under curl.
#include <curl/curl.h>
#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/SuggestedFilename.h"
#include "platform/UrlTransfer.h"

namespace platform {
namespace {

constexpr long kConnectTimeoutSeconds = 30;
constexpr gint64 kIdleTimeoutMicroseconds = 30 * G_USEC_PER_SEC;
constexpr int kMaxRedirects = 20;
constexpr long kReceiveBufferSize = 512 * 1024;  // curl's largest receive buffer
constexpr std::size_t kInflateBufferSize = 256 * 1024;
// curl hands the body over 16 KiB at a time; writing each piece at once would cost a system call
// per 16 KiB. Pieces are gathered up to this size and written together.
constexpr std::size_t kWriteBufferSize = 512 * 1024;
constexpr int kMaxUniqueNameAttempts = 10000;

struct CurlMultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct CurlEasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlUrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlStringDeleter {
  void operator()(char* text) const { curl_free(text); }
};
struct GSourceDeleter {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};
struct InflateDeleter {
  void operator()(z_stream* stream) const {
    inflateEnd(stream);
    delete stream;
  }
};

using SourcePtr = std::unique_ptr<GSource, GSourceDeleter>;

// A source that fires when its ready time has come, and, for the loop's source, when one of its
// file descriptors is ready. It calls owner's dispatch.
template <typename Owner>
struct OwnedSource {
  GSource base;
  Owner* owner;

  static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<OwnedSource*>(source)->owner->dispatchSource(source);
    return G_SOURCE_CONTINUE;
  }
  static SourcePtr make(Owner* owner) {
    static GSourceFuncs sFuncs = {nullptr, nullptr, &OwnedSource::dispatch,
                                  nullptr, nullptr, nullptr};
    GSource* source = g_source_new(&sFuncs, sizeof(OwnedSource));
    reinterpret_cast<OwnedSource*>(source)->owner = owner;
    g_source_attach(source, nullptr);
    return SourcePtr(source);
  }
};

// Whether url names an http or https resource that curl can parse.
bool isHttpUrl(const std::string& url) {
  std::unique_ptr<CURLU, CurlUrlDeleter> handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    return false;
  }
  char* rawScheme = nullptr;
  if (curl_url_get(handle.get(), CURLUPART_SCHEME, &rawScheme, 0) != CURLUE_OK) return false;
  std::unique_ptr<char, CurlStringDeleter> scheme(rawScheme);
  return g_ascii_strcasecmp(scheme.get(), "http") == 0 ||
         g_ascii_strcasecmp(scheme.get(), "https") == 0;
}

Error urlError(long code, std::string description, const std::string& url) {
  return Error{kUrlErrorDomain, code, std::move(description), url};
}

Error errorForHttpStatus(long status, const std::string& url) {
  if (status == 404 || status == 410) {
    return urlError(url_error::kFileDoesNotExist, "The requested URL was not found on this server.",
                    url);
  }
  if (status == 401 || status == 407) {
    return urlError(url_error::kUserAuthenticationRequired, "User authentication required.", url);
  }
  return urlError(url_error::kBadServerResponse,
                  "The server returned an error (HTTP status " + std::to_string(status) + ").",
                  url);
}

// description followed by curl's own words for code, so a log shows what curl saw.
std::string withCurlDetail(const char* description, CURLcode code) {
  return std::string(description) + " (" + curl_easy_strerror(code) + ")";
}

Error errorForCurlCode(CURLcode code, const std::string& url) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return urlError(url_error::kCannotFindHost,
                      "A server with the specified hostname could not be found.", url);
    case CURLE_COULDNT_CONNECT:
      return urlError(url_error::kCannotConnectToHost, "Could not connect to the server.", url);
    case CURLE_OPERATION_TIMEDOUT:
      return urlError(url_error::kTimedOut, "The request timed out.", url);
    case CURLE_UNSUPPORTED_PROTOCOL:
      return urlError(url_error::kUnsupportedUrl, "unsupported URL", url);
    case CURLE_URL_MALFORMAT:
      return urlError(url_error::kBadUrl, "bad URL", url);
    case CURLE_TOO_MANY_REDIRECTS:
      return urlError(url_error::kHttpTooManyRedirects, "too many HTTP redirects", url);
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_BAD_CONTENT_ENCODING:
      return urlError(url_error::kBadServerResponse, "bad server response", url);
    case CURLE_WRITE_ERROR:
      // Our own callbacks stopped the transfer. They record why, and that reason is reported
      // first; failing that, the bytes could not be saved.
      return urlError(url_error::kCannotWriteToFile, "cannot write file", url);
    // The server's certificate was judged and refused: untrusted, expired, revoked, issued for
    // another name (OpenSSL's chain check and curl's host-name check both end here), or not
    // the key or issuer required of it.
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
      return urlError(url_error::kServerCertificateUntrusted,
                      withCurlDetail("The certificate for this server is invalid.", code), url);
    // No secure connection, yet no verdict on the server's certificate: the handshake failed
    // (a server that does not speak TLS, no common cipher or version), or the local side could
    // not take part (unreadable trust store or revocation list, our own client certificate,
    // the crypto engine).
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CLIENTCERT:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
      return urlError(url_error::kSecureConnectionFailed,
                      withCurlDetail("An SSL error has occurred and a secure connection to the "
                                     "server cannot be made.",
                                     code),
                      url);
    default:
      // Partial bodies, resets, empty replies: the connection did not deliver the resource.
      return urlError(url_error::kNetworkConnectionLost,
                      withCurlDetail("The network connection was lost.", code), url);
  }
}

// The path of url as it stands (still percent-encoded); empty when url does not parse.
std::string urlPath(const std::string& url) {
  std::unique_ptr<CURLU, CurlUrlDeleter> handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return {};
  char* rawPath = nullptr;
  if (curl_url_get(handle.get(), CURLUPART_PATH, &rawPath, 0) != CURLUE_OK) return {};
  std::unique_ptr<char, CurlStringDeleter> text(rawPath);
  return text.get();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The process-wide multi handle and its GLib source.

class CurlLoop {
 public:
  // Never destroyed: transfers held by objects with static lifetime may still be cancelled while
  // the process exits.
  static CurlLoop& shared() {
    static CurlLoop* sLoop = new CurlLoop();
    return *sLoop;
  }

  CURLM* multi() const { return multi_.get(); }
  void dispatchSource(GSource* source);

 private:
  CurlLoop();
  static int socketCallback(CURL* easy, curl_socket_t socket, int what, void* loop, void* tag);
  static int timerCallback(CURLM* multi, long timeoutMs, void* loop);
  void finishedTransfers();

  std::unique_ptr<CURLM, CurlMultiDeleter> multi_;
  SourcePtr source_;
  std::map<curl_socket_t, gpointer> sockets_;         // the fd tags of the source, by socket
  std::vector<std::pair<curl_socket_t, int>> ready_;  // reused by every dispatch
};

// ---------------------------------------------------------------------------------------------
// One transfer. Owned by its UrlDownload and, while a delegate call runs, by that call too.

struct CurlTransfer final : UrlDownload::Transfer, std::enable_shared_from_this<CurlTransfer> {
  ~CurlTransfer() override { stop(); }

  bool start();
  void stop();
  void cancel() override {
    owner = nullptr;
    delegate = nullptr;
    stop();
  }
  void setDestination(const std::string& path, bool allowOverwrite) override {
    requestedDestination.emplace(path, allowOverwrite);
  }
  const std::string& url() const override { return requestedUrl; }
  void dispatchSource(GSource* source);

  // curl callbacks: they record and save, never call the delegate.
  static size_t headerCallback(char* data, size_t size, size_t count, void* transfer);
  static size_t writeCallback(char* data, size_t size, size_t count, void* transfer);
  void headersComplete();
  // The first value of the named header of the response just received; empty when absent.
  std::string headerValue(const char* name) const;
  bool saveBody(const char* data, size_t length);
  bool writeAll(const unsigned char* data, size_t length);
  bool writeToFile(const unsigned char* data, size_t length);
  bool flushWrites();
  void curlDone(CURLcode code);
  void failNow(Error failure);

  // Delegate steps, from the pump.
  void pump();
  bool deliverResponse();
  void deliverEnd();
  void redirect();
  void fail(const Error& failure);
  bool createDestination();
  UrlResponse response() const;
  void schedulePump() { g_source_set_ready_time(pumpSource.get(), 0); }

  UrlDownloadDelegate* delegate = nullptr;  // null once cancelled or ended
  std::string requestedUrl;
  std::string currentUrl;
  int redirects = 0;
  std::unique_ptr<curl_slist, CurlSlistDeleter> headers;  // outlives the handle that uses it
  std::unique_ptr<CURL, CurlEasyDeleter> easy;
  SourcePtr pumpSource;
  SourcePtr idleSource;
  gint64 lastActivity = 0;
  bool inMulti = false;

  // The response being received.
  long status = 0;
  std::string contentType;
  std::string contentDisposition;
  bool hasLocation = false;
  std::int64_t contentLength = -1;
  bool isRedirect = false;
  bool responseReady = false;
  bool responseDelivered = false;
  bool paused = false;

  // The destination and the decoder.
  std::optional<std::pair<std::string, bool>> requestedDestination;
  int fd = -1;
  std::vector<unsigned char> pendingWrites;  // body bytes saved but not yet written to fd
  bool decode = false;
  bool decodedToEnd = false;
  std::unique_ptr<z_stream, InflateDeleter> inflater;
  std::vector<unsigned char> inflateBuffer;

  std::uint64_t undeliveredBytes = 0;
  bool done = false;
  std::optional<Error> error;  // a failure found while receiving
  CURLcode result = CURLE_OK;
};

CurlLoop::CurlLoop() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  multi_.reset(curl_multi_init());
  source_ = OwnedSource<CurlLoop>::make(this);
  curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETFUNCTION, &CurlLoop::socketCallback);
  curl_multi_setopt(multi_.get(), CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(multi_.get(), CURLMOPT_TIMERFUNCTION, &CurlLoop::timerCallback);
  curl_multi_setopt(multi_.get(), CURLMOPT_TIMERDATA, this);
}

int CurlLoop::socketCallback(CURL*, curl_socket_t socket, int what, void* data, void* tag) {
  auto* loop = static_cast<CurlLoop*>(data);
  GSource* source = loop->source_.get();
  if (what == CURL_POLL_REMOVE) {
    if (tag) g_source_remove_unix_fd(source, tag);
    loop->sockets_.erase(socket);
    curl_multi_assign(loop->multi_.get(), socket, nullptr);
    return 0;
  }
  int events = G_IO_ERR | G_IO_HUP;
  if (what & CURL_POLL_IN) events |= G_IO_IN;
  if (what & CURL_POLL_OUT) events |= G_IO_OUT;
  if (tag) {
    g_source_modify_unix_fd(source, tag, static_cast<GIOCondition>(events));
  } else {
    tag = g_source_add_unix_fd(source, socket, static_cast<GIOCondition>(events));
    loop->sockets_[socket] = tag;
    curl_multi_assign(loop->multi_.get(), socket, tag);
  }
  return 0;
}

int CurlLoop::timerCallback(CURLM*, long timeoutMs, void* data) {
  // The new deadline replaces the previous one: -1 removes it, 0 runs it on the loop's next turn
  // (never inside the curl call that asked for it).
  auto* loop = static_cast<CurlLoop*>(data);
  gint64 readyTime = timeoutMs < 0 ? -1 : g_get_monotonic_time() + timeoutMs * 1000;
  g_source_set_ready_time(loop->source_.get(), readyTime);
  return 0;
}

void CurlLoop::dispatchSource(GSource* source) {
  ready_.clear();
  for (const auto& [socket, tag] : sockets_) {
    GIOCondition events = g_source_query_unix_fd(source, tag);
    if (events == 0) continue;
    int flags = 0;
    if (events & G_IO_IN) flags |= CURL_CSELECT_IN;
    if (events & G_IO_OUT) flags |= CURL_CSELECT_OUT;
    if (events & (G_IO_ERR | G_IO_HUP)) flags |= CURL_CSELECT_ERR;
    ready_.emplace_back(socket, flags);
  }
  const gint64 readyTime = g_source_get_ready_time(source);
  const bool timerDue = readyTime >= 0 && g_source_get_time(source) >= readyTime;
  if (timerDue) g_source_set_ready_time(source, -1);  // curl sets a new deadline if it needs one

  int running = 0;
  for (const auto& [socket, flags] : ready_) {
    curl_multi_socket_action(multi_.get(), socket, flags, &running);
  }
  if (timerDue) curl_multi_socket_action(multi_.get(), CURL_SOCKET_TIMEOUT, 0, &running);
  finishedTransfers();
}

void CurlLoop::finishedTransfers() {
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    CurlTransfer* transfer = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &transfer);
    const CURLcode code = message->data.result;  // message is invalid once the handle is removed
    if (transfer) transfer->curlDone(code);
  }
}

// ---------------------------------------------------------------------------------------------

bool CurlTransfer::start() {
  easy.reset(curl_easy_init());
  if (!easy) return false;
  curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
  if (list) headers.reset(list);
  if (!list || !curl_slist_append(list, "Pragma: no-cache")) return false;

  CURL* handle = easy.get();
  bool ok =
      curl_easy_setopt(handle, CURLOPT_URL, currentUrl.c_str()) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &CurlTransfer::headerCallback) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_HEADERDATA, this) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &CurlTransfer::writeCallback) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_WRITEDATA, this) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_PRIVATE, this) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK &&
      curl_easy_setopt(handle, CURLOPT_USERAGENT, "ZanthBootstrapper") == CURLE_OK;
  if (!ok) return false;
  curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferSize);  // a hint; smaller is fine

  pumpSource = OwnedSource<CurlTransfer>::make(this);
  idleSource = OwnedSource<CurlTransfer>::make(this);
  lastActivity = g_get_monotonic_time();
  g_source_set_ready_time(idleSource.get(), lastActivity + kIdleTimeoutMicroseconds);
  if (curl_multi_add_handle(CurlLoop::shared().multi(), handle) != CURLM_OK) return false;
  inMulti = true;
  return true;
}

void CurlTransfer::stop() {
  if (inMulti) {
    curl_multi_remove_handle(CurlLoop::shared().multi(), easy.get());
    inMulti = false;
  }
  if (fd >= 0) {
    (void)flushWrites();  // what arrived before a failure or a cancel still reaches the file
    ::close(fd);
    fd = -1;
  }
  idleSource.reset();
  pumpSource.reset();
  inflater.reset();
}

void CurlTransfer::dispatchSource(GSource* source) {
  g_source_set_ready_time(source, -1);
  if (source == pumpSource.get()) {
    pump();
    return;
  }
  // The idle watch: nothing received for the whole time-out fails the transfer. It is checked
  // only when due, so receiving costs no timer work.
  const gint64 deadline = lastActivity + kIdleTimeoutMicroseconds;
  if (done) return;
  if (paused || g_get_monotonic_time() < deadline) {
    g_source_set_ready_time(source,
                            paused ? g_get_monotonic_time() + kIdleTimeoutMicroseconds : deadline);
    return;
  }
  failNow(urlError(url_error::kTimedOut, "The request timed out.", currentUrl));
}

size_t CurlTransfer::headerCallback(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  const size_t length = size * count;
  transfer->lastActivity = g_get_monotonic_time();
  // One call per line; the blank line ends a response's headers, which curl has stored by then.
  if (trimmed(std::string_view(data, length)).empty()) {
    transfer->headersComplete();
    if (transfer->error) return 0;  // stops the transfer before any body is saved
  }
  return length;
}

std::string CurlTransfer::headerValue(const char* name) const {
  // The latest response only, without interim (1xx) answers or a proxy's CONNECT answer.
  curl_header* header = nullptr;
  if (curl_easy_header(easy.get(), name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK) return {};
  return header->value;
}

void CurlTransfer::headersComplete() {
  curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status < 200) return;  // an interim answer; the real one follows
  if (status >= 400) {
    error = errorForHttpStatus(status, currentUrl);
    return;
  }
  const std::string type = headerValue("Content-Type");
  contentType.assign(trimmed(std::string_view(type).substr(0, type.find(';'))));
  contentDisposition = headerValue("Content-Disposition");
  hasLocation = !headerValue("Location").empty();
  isRedirect = status >= 300 && hasLocation;
  if (isRedirect) return;
  curl_off_t length = -1;
  if (curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK) {
    contentLength = length;
  }
  responseReady = true;
  schedulePump();
}

size_t CurlTransfer::writeCallback(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  const size_t length = size * count;
  transfer->lastActivity = g_get_monotonic_time();
  if (transfer->isRedirect) return length;  // the body of a redirect is not the resource
  if (transfer->fd < 0) {
    if (!transfer->responseReady || transfer->error) return 0;
    // Hold the body until the delegate has chosen where it goes; curl keeps this chunk.
    transfer->paused = true;
    transfer->schedulePump();
    return CURL_WRITEFUNC_PAUSE;
  }
  if (!transfer->saveBody(data, length)) return 0;
  transfer->undeliveredBytes += length;
  transfer->schedulePump();
  return length;
}

bool CurlTransfer::saveBody(const char* data, size_t length) {
  if (!decode) return writeAll(reinterpret_cast<const unsigned char*>(data), length);
  z_stream* stream = inflater.get();
  stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  stream->avail_in = static_cast<uInt>(length);
  // Until the input is used up and zlib holds no more output for lack of room.
  do {
    if (decodedToEnd && stream->avail_in > 0) {
      // Another gzip member follows (RFC 1952 allows several in a row).
      inflateReset(stream);
      decodedToEnd = false;
    }
    stream->next_out = inflateBuffer.data();
    stream->avail_out = static_cast<uInt>(inflateBuffer.size());
    int status = inflate(stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
      error = urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl);
      return false;
    }
    if (!writeAll(inflateBuffer.data(), inflateBuffer.size() - stream->avail_out)) return false;
    if (status == Z_STREAM_END) decodedToEnd = true;
  } while (stream->avail_in > 0 || stream->avail_out == 0);
  return true;
}

bool CurlTransfer::writeAll(const unsigned char* data, size_t length) {
  if (pendingWrites.size() + length > kWriteBufferSize && !flushWrites()) return false;
  if (length >= kWriteBufferSize) return writeToFile(data, length);
  if (pendingWrites.capacity() == 0) pendingWrites.reserve(kWriteBufferSize);
  pendingWrites.insert(pendingWrites.end(), data, data + length);
  return true;
}

bool CurlTransfer::flushWrites() {
  const bool written = writeToFile(pendingWrites.data(), pendingWrites.size());
  pendingWrites.clear();
  return written;
}

bool CurlTransfer::writeToFile(const unsigned char* data, size_t length) {
  while (length > 0) {
    ssize_t written = ::write(fd, data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl);
      return false;
    }
    data += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

void CurlTransfer::curlDone(CURLcode code) {
  if (inMulti) {
    curl_multi_remove_handle(CurlLoop::shared().multi(), easy.get());
    inMulti = false;
  }
  result = code;
  done = true;
  schedulePump();
}

void CurlTransfer::failNow(Error failure) {
  if (!error) error = std::move(failure);
  curlDone(CURLE_ABORTED_BY_CALLBACK);
}

void CurlTransfer::pump() {
  auto self = shared_from_this();  // a delegate call may drop the owner's reference
  if (!delegate) return;
  if (responseReady && !responseDelivered && !error) {
    if (!deliverResponse()) return;
    if (paused && !done) {
      paused = false;
      // curl may hand over the held body inside this call; a failure to save it ends the
      // transfer here, as curl would not report it.
      if (curl_easy_pause(easy.get(), CURLPAUSE_CONT) != CURLE_OK || error) {
        failNow(error.value_or(
            urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl)));
      }
    }
  }
  while (undeliveredBytes > 0 && delegate) {
    const auto length =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(undeliveredBytes, UINT32_MAX));
    undeliveredBytes -= length;
    delegate->didReceiveDataOfLength(*owner, length);
  }
  if (done && delegate) deliverEnd();
}

UrlResponse CurlTransfer::response() const {
  UrlResponse answer;
  answer.url = currentUrl;
  answer.statusCode = status;
  answer.mimeType = contentType;
  answer.expectedContentLength = contentLength;
  answer.suggestedFilename = suggestedFilename(contentDisposition, urlPath(currentUrl));
  return answer;
}

// Response, decoding question, destination: returns false when the transfer ended meanwhile.
bool CurlTransfer::deliverResponse() {
  responseDelivered = true;
  const UrlResponse answer = response();
  delegate->didReceiveResponse(*owner, answer);
  if (!delegate) return false;
  decode = delegate->shouldDecodeSourceDataOfMIMEType(*owner, answer.mimeType);
  if (!delegate) return false;
  delegate->decideDestinationWithSuggestedFilename(*owner, answer.suggestedFilename);
  if (!delegate) return false;
  if (decode) {
    inflater.reset(new z_stream{});
    inflateBuffer.resize(kInflateBufferSize);
    if (inflateInit2(inflater.get(), 16 + MAX_WBITS) != Z_OK) {
      inflater.reset();
      fail(urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl));
      return false;
    }
  }
  if (!createDestination()) return false;
  return delegate != nullptr;
}

bool CurlTransfer::createDestination() {
  if (!requestedDestination) {
    fail(urlError(url_error::kCannotCreateFile, "cannot create file", currentUrl));
    return false;
  }
  const auto& [path, allowOverwrite] = *requestedDestination;
  if (allowOverwrite) ::unlink(path.c_str());
  std::string candidate = path;
  for (int attempt = 1; attempt <= kMaxUniqueNameAttempts; ++attempt) {
    fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      delegate->didCreateDestination(*owner, candidate);
      return true;
    }
    if (errno != EEXIST) break;
    candidate = path + "-" + std::to_string(attempt);
  }
  fail(urlError(url_error::kCannotCreateFile, "cannot create file", currentUrl));
  return false;
}

void CurlTransfer::deliverEnd() {
  if (error) return fail(*error);
  if (result != CURLE_OK) return fail(errorForCurlCode(result, currentUrl));
  if (isRedirect) return redirect();
  if (!responseDelivered) {
    // An answer without a body still creates its (empty) file.
    if (!responseReady)
      return fail(urlError(url_error::kBadServerResponse, "bad server response", currentUrl));
    if (!deliverResponse()) return;
  }
  if (decode && inflater && inflater->total_in > 0 && !decodedToEnd) {
    return fail(
        urlError(url_error::kCannotDecodeContentData, "cannot decode raw data", currentUrl));
  }
  const bool flushed = flushWrites();
  if (::close(fd) != 0 || !flushed) {
    fd = -1;
    return fail(urlError(url_error::kCannotWriteToFile, "cannot write file", currentUrl));
  }
  fd = -1;
  UrlDownloadDelegate* target = delegate;
  UrlDownload* download = owner;
  delegate = nullptr;
  stop();
  target->downloadDidFinish(*download);
}

void CurlTransfer::redirect() {
  char* location = nullptr;
  curl_easy_getinfo(easy.get(), CURLINFO_REDIRECT_URL, &location);
  if (!location)
    return fail(urlError(url_error::kBadServerResponse, "bad server response", currentUrl));
  if (++redirects > kMaxRedirects) {
    return fail(urlError(url_error::kHttpTooManyRedirects, "too many HTTP redirects", currentUrl));
  }
  const std::string proposed(location);
  UrlResponse redirectResponse = response();
  std::string next = delegate->willSendRequest(*owner, proposed, redirectResponse);
  if (!delegate) return;
  if (next.empty()) return fail(urlError(url_error::kCancelled, "cancelled", proposed));
  if (!isHttpUrl(next)) return fail(urlError(url_error::kUnsupportedUrl, "unsupported URL", next));

  currentUrl = std::move(next);
  status = 0;
  isRedirect = false;
  hasLocation = false;
  done = false;
  result = CURLE_OK;
  lastActivity = g_get_monotonic_time();
  g_source_set_ready_time(idleSource.get(), lastActivity + kIdleTimeoutMicroseconds);
  if (curl_easy_setopt(easy.get(), CURLOPT_URL, currentUrl.c_str()) != CURLE_OK ||
      curl_multi_add_handle(CurlLoop::shared().multi(), easy.get()) != CURLM_OK) {
    return fail(urlError(url_error::kUnsupportedUrl, "unsupported URL", currentUrl));
  }
  inMulti = true;
}

void CurlTransfer::fail(const Error& failure) {
  UrlDownloadDelegate* target = delegate;
  UrlDownload* download = owner;
  delegate = nullptr;
  stop();
  target->didFailWithError(*download, failure);
}

std::shared_ptr<UrlDownload::Transfer> detail::startUrlTransfer(const std::string& url,
                                                                UrlDownloadDelegate& delegate) {
  if (!isHttpUrl(url)) return nullptr;
  CurlLoop::shared();
  auto transfer = std::make_shared<CurlTransfer>();
  transfer->requestedUrl = url;
  transfer->currentUrl = url;
  transfer->delegate = &delegate;
  if (!transfer->start()) return nullptr;
  return transfer;
}

}  // namespace platform
