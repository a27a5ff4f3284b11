#include "fetch/fetch_worker.h"

#include <string>

#include "fetch/exchange_file.h"
#include "fetch/exchange_records.h"
#include "fetch/slice_between.h"
#include "fetch/url_split.h"
#include "platform/internet.h"
#include "text/text.h"

namespace fetch {
namespace {

using platform::InternetHandle;
using text::Text;

constexpr int32_t kChunkSize = 2048;
constexpr int32_t kHeaderBufferSize = 2048;

constexpr std::string_view kAcceptLine =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, "
    "application/vnd.ms-powerpoint, application/msword, */*\r\n";

struct Handles {
  InternetHandle session = 0;
  InternetHandle connection = 0;
  InternetHandle request = 0;

  void closeAll() const {
    for (const InternetHandle handle : {request, connection, session}) {
      if (handle != 0) platform::closeInternetHandle(handle);
    }
  }
};

// True when the text holds anything besides ASCII and full-width spaces.
bool hasContent(std::string_view value) { return !text::removeAllSpaces(value).empty(); }

// Appends line unless the header text already names it (ASCII case ignored,
// anywhere in the text).
void addUnlessNamed(Text& headers, std::string_view name, std::string_view line) {
  if (text::findText(headers, name, 1, true) == -1) headers += line;
}

// Opens session, connection and request; on a failure closes what it had
// opened and returns false.
bool openHandles(const FetchRequestRecord& request, Handles& handles) {
  const Text proxyList = hasContent(request.proxy) ? "http=" + request.proxy : Text();
  handles.session = platform::openInternetSession(kAgentText, proxyList);
  if (handles.session == 0) return false;
  handles.connection = platform::connectInternet(
      handles.session, urlHost(request.url), urlPort(request.url),
      hasContent(request.userName) ? std::string_view(request.userName) : std::string_view(),
      hasContent(request.password) ? std::string_view(request.password) : std::string_view());
  if (handles.connection == 0) {
    handles.closeAll();
    return false;
  }
  uint32_t flags = platform::kRequestReload;
  if (hasContent(request.cookies) && !request.storeCookies) flags |= platform::kRequestNoCookies;
  handles.request = platform::openHttpRequest(handles.connection, request.verb,
                                              urlPath(request.url), "HTTP/1.1", flags);
  if (handles.request == 0) {
    handles.closeAll();
    return false;
  }
  return true;
}

// Sends by method; false for a method that is not sent at all.
bool sendRequest(const FetchRequestRecord& request, InternetHandle handle, Text headers) {
  const Text method = text::toUpperCase(request.verb);
  if (method.empty() || method == "GET") {
    platform::sendHttpRequest(handle, headers, {});
    return true;
  }
  if (method != "POST") return false;
  if (!request.postData.empty()) {
    addUnlessNamed(headers, "Content-Type: ", "Content-Type: application/x-www-form-urlencoded\r\n");
    headers += "Content-Length: " + text::toText(text::textLength(request.postData)) + "\r\n";
  }
  platform::sendHttpRequest(handle, headers, request.postData);
  return true;
}

// The whole body in reads of at most 2048 bytes; false when it grows past
// kMaxBodyBytes.
bool readBody(InternetHandle handle, std::string& body) {
  char buffer[kChunkSize] = {};
  while (const int32_t count = platform::readInternetData(handle, buffer, kChunkSize)) {
    if (body.size() + static_cast<size_t>(count) > kMaxBodyBytes) return false;
    body.append(buffer, static_cast<size_t>(count));
  }
  return true;
}

// The raw header block, or 2048 spaces when it does not fit the buffer.
Text queryHeaderText(InternetHandle handle) {
  Text buffer = text::blankText(kHeaderBufferSize);
  platform::queryRawHeaders(handle, buffer.data(), kHeaderBufferSize);
  return buffer.substr(0, buffer.find('\0'));
}

Text collectCookies(std::string_view headerText) {
  Text received;
  if (text::findText(headerText, "Set-Cookie:") == -1) return received;
  for (const Text& line : text::splitText(headerText, text::kCrLf)) {
    if (text::findText(line, "Set-Cookie") == -1) continue;
    if (sliceBetween(line, "=", ";").empty()) continue;
    if (!received.empty()) received += "; ";
    received += text::trimSpaces(sliceBetween(line, "Set-Cookie:", ";"));
  }
  return received;
}

// Each Set-Cookie line loses its first 12 bytes ("Set-Cookie: "), whatever
// they are; the rest splits at its first "=" into name and data.
void storeCookies(std::string_view headerText, const Text& host) {
  if (text::findText(headerText, "Set-Cookie:") == -1) return;
  const Text address = "http://" + host;
  for (const Text& line : text::splitText(headerText, text::kCrLf)) {
    if (text::findText(line, "Set-Cookie") == -1) continue;
    const Text rest = text::replaceTextAt(line, 1, 12);
    const int32_t equals = text::findText(rest, "=");
    const Text name = equals == -1 ? Text() : text::textLeft(rest, equals - 1);
    const Text data = equals == -1 ? rest : text::textRight(rest, text::textLength(rest) - equals);
    platform::setInternetCookie(address, name, data);
  }
}

}  // namespace

void fetchWorker(int32_t number) {
  const FetchRequestRecord request = decodeRequestRecord(readContent(number).view());
  if (!request.proceed) return;
  Handles handles;
  if (!openHandles(request, handles)) return;

  Text headers = request.headers;
  addUnlessNamed(headers, "Accept: ", kAcceptLine);
  addUnlessNamed(headers, "Referer: ", "Referer: " + request.url + "\r\n");
  addUnlessNamed(headers, "Accept-Language: ", "Accept-Language: zh-cn\r\n");
  if (hasContent(request.cookies)) {
    platform::addRequestHeader(handles.request, "Cookie: " + request.cookies + "\r\n");
  }

  const FetchProgressRecord progress{handles.request, handles.connection, handles.session};
  if (!replaceContent(number, encodeProgressRecord(progress).view())) {
    handles.closeAll();  // the fetch call is gone and will never close them
    return;
  }
  if (!sendRequest(request, handles.request, headers)) return;
  FetchResultRecord result;
  if (!readBody(handles.request, result.body.bytes)) return;  // over the cap: no result

  if (request.keepRawHeaders || request.collectCookies || request.storeCookies) {
    const Text headerText = queryHeaderText(handles.request);
    if (request.collectCookies) result.receivedCookies = collectCookies(headerText);
    if (request.storeCookies) storeCookies(headerText, urlHost(request.url));
    if (request.keepRawHeaders) result.rawHeaders = headerText;
  }
  result.succeeded = true;
  result.requestHandle = handles.request;
  result.connectionHandle = handles.connection;
  result.sessionHandle = handles.session;
  if (!replaceContent(number, encodeResultRecord(result).view())) {
    handles.closeAll();
    replaceContent(number, {});
  }
}

}  // namespace fetch
