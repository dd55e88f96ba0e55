#include "http/internet.h"

#include "framework/application.h"
#include "framework/text.h"
#include "http/transfer_rules.h"

namespace http {
namespace {

constexpr DWORD_PTR kContext = 1;

static_assert(kFlagReload == INTERNET_FLAG_RELOAD);
static_assert(kFlagExistingConnect == INTERNET_FLAG_EXISTING_CONNECT);
static_assert(kFlagNoCacheWrite == INTERNET_FLAG_NO_CACHE_WRITE);
static_assert(kFlagSecure == INTERNET_FLAG_SECURE);
static_assert(kFlagIgnoreCertDateInvalid == INTERNET_FLAG_IGNORE_CERT_DATE_INVALID);
static_assert(kFlagIgnoreCertCnInvalid == INTERNET_FLAG_IGNORE_CERT_CN_INVALID);
static_assert(kRelaxedSecurityFlags ==
              (SECURITY_FLAG_IGNORE_REVOCATION | SECURITY_FLAG_IGNORE_UNKNOWN_CA));

ErrorCode ResultOf(BOOL ok) { return ok ? ERROR_SUCCESS : ::GetLastError(); }

// A handle that came back null with no error code set still counts as a failure.
ErrorCode Adopt(HINTERNET handle, fx::UniqueInternet& owner) {
  const ErrorCode error = handle ? ERROR_SUCCESS : ::GetLastError();
  owner.reset(handle);
  return handle ? ERROR_SUCCESS : (error ? error : ERROR_INTERNET_INTERNAL_ERROR);
}

}  // namespace

std::wstring SessionAgent() {
  const fx::Application* app = fx::Application::Current();
  if (app && !app->name().empty()) return app->name();
  return fx::ProgramName();
}

ErrorCode InternetSession::Open() {
  const std::wstring agent = SessionAgent();
  return Adopt(::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr /*proxy*/,
                               nullptr /*bypass*/, 0 /*flags*/),
               handle_);
}

ErrorCode InternetSession::SetOption(DWORD option, DWORD value) {
  return ResultOf(::InternetSetOptionW(handle_.get(), option, &value, sizeof(value)));
}

ErrorCode HttpConnection::Open(const InternetSession& session, const std::wstring& server,
                               INTERNET_PORT port) {
  return Adopt(
      ::InternetConnectW(session.get(), server.c_str(), port, nullptr /*user*/,
                         nullptr /*password*/, INTERNET_SERVICE_HTTP, 0 /*flags*/, kContext),
      handle_);
}

ErrorCode HttpRequest::Open(const HttpConnection& connection, const wchar_t* verb,
                            const std::wstring& object, DWORD flags) {
  return Adopt(::HttpOpenRequestW(connection.get(), verb, object.c_str(), L"HTTP/1.0",
                                  nullptr /*referrer*/, nullptr /*accept types*/, flags, kContext),
               handle_);
}

void HttpRequest::RelaxSecurityFlags() {
  DWORD flags = 0;
  DWORD size = sizeof(flags);
  if (!::InternetQueryOptionW(handle_.get(), INTERNET_OPTION_SECURITY_FLAGS, &flags, &size)) {
    flags = 0;
  }
  flags |= kRelaxedSecurityFlags;
  // A request that refuses the relaxation still goes out with the platform's own checks.
  ::InternetSetOptionW(handle_.get(), INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof(flags));
}

ErrorCode HttpRequest::AddHeaders(std::wstring_view headers, DWORD modifiers) {
  return ResultOf(::HttpAddRequestHeadersW(handle_.get(), headers.data(),
                                           static_cast<DWORD>(headers.size()), modifiers));
}

ErrorCode HttpRequest::Send(std::wstring_view headers, const void* body, DWORD body_bytes) {
  return ResultOf(::HttpSendRequestW(handle_.get(), headers.empty() ? nullptr : headers.data(),
                                     static_cast<DWORD>(headers.size()), const_cast<void*>(body),
                                     body_bytes));
}

ErrorCode HttpRequest::BeginSend(DWORD total_bytes) {
  INTERNET_BUFFERSW buffers{};
  buffers.dwStructSize = sizeof(buffers);
  buffers.dwBufferTotal = total_bytes;
  return ResultOf(
      ::HttpSendRequestExW(handle_.get(), &buffers, nullptr /*out*/, HSR_INITIATE, kContext));
}

ErrorCode HttpRequest::Write(const void* data, DWORD bytes) {
  const auto* next = static_cast<const BYTE*>(data);
  while (bytes > 0) {
    DWORD written = 0;
    if (!::InternetWriteFile(handle_.get(), next, bytes, &written)) return ::GetLastError();
    if (written == 0) return ERROR_INTERNET_CONNECTION_ABORTED;
    next += written;
    bytes -= written;
  }
  return ERROR_SUCCESS;
}

ErrorCode HttpRequest::End() {
  return ResultOf(::HttpEndRequestW(handle_.get(), nullptr /*out*/, 0 /*flags*/, kContext));
}

ErrorCode HttpRequest::QueryStatusCode(DWORD* status) {
  DWORD size = sizeof(*status);
  return ResultOf(::HttpQueryInfoW(handle_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                   status, &size, nullptr /*index*/));
}

std::optional<ULONGLONG> HttpRequest::ContentLength() {
  wchar_t text[32] = {};
  DWORD size = sizeof(text);
  if (!::HttpQueryInfoW(handle_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
    return std::nullopt;
  }
  return ParseContentLength(fx::AsU16(text));
}

ErrorCode HttpRequest::Read(void* buffer, DWORD capacity, DWORD* read) {
  *read = 0;
  return ResultOf(::InternetReadFile(handle_.get(), buffer, capacity, read));
}

ErrorCode OpenHttpRequest(const InternetSession& session, const std::wstring& server,
                          INTERNET_PORT port, const wchar_t* verb, const std::wstring& object,
                          DWORD flags, HttpConnection& connection, HttpRequest& request) {
  if (const ErrorCode error = connection.Open(session, server, port)) return error;
  if (const ErrorCode error = request.Open(connection, verb, object, flags)) return error;
  request.RelaxSecurityFlags();
  return ERROR_SUCCESS;
}

}  // namespace http
