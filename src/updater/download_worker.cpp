#include "updater/download_worker.h"

#include <wininet.h>

#include <string_view>
#include <utility>

#include "framework/owner.h"
#include "framework/text.h"
#include "framework/thread.h"
#include "http/transfer_rules.h"
#include "http/url_rules.h"
#include "updater/update_rules.h"

namespace updater {
namespace {

constexpr DWORD_PTR kContext = 1;
constexpr DWORD kChunkBytes = 4000;

enum class Outcome { kDone, kFailed, kAbandoned };

// The text of a response header; empty when the response has none.
std::wstring QueryHeaderText(HINTERNET request, DWORD info) {
  std::wstring text(64, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::HttpQueryInfoW(request, info, text.data(), &bytes, nullptr /* index */)) {
      text.resize(bytes / sizeof(wchar_t));
      return text;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    text.resize(bytes / sizeof(wchar_t) + 1);
  }
  return {};
}

DWORD QueryStatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD bytes = sizeof status;
  if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &bytes,
                        nullptr /* index */)) {
    return 0;
  }
  return status;
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!::WriteFile(file, data, size, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

// Every handle is owned here and closed on every path before the outcome is reported.
Outcome Download(const DownloadRequest& request) {
  const DownloadLink& link = *request.link;
  fx::UniqueInternet session(::InternetOpenW(request.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                             nullptr /* proxy */, nullptr /* bypass */, 0));
  if (!session) return Outcome::kFailed;

  // A URL that cannot be read leaves no server to connect to.
  const http::UrlParts parts = http::SplitUrl(fx::AsU16(request.url));
  if (!parts.valid) return Outcome::kFailed;
  const std::wstring server = fx::ToWide(parts.server);
  const std::wstring object = fx::ToWide(parts.object);

  fx::UniqueInternet connection(::InternetConnectW(session.get(), server.c_str(), parts.port,
                                                   nullptr /* user */, nullptr /* password */,
                                                   INTERNET_SERVICE_HTTP, 0, kContext));
  if (!connection) return Outcome::kFailed;

  // TLS by the port alone, as every GET of the system.
  const DWORD flags = http::RequestFlags(http::Transfer::kGet, parts.port);
  fx::UniqueInternet http(::HttpOpenRequestW(connection.get(), L"GET", object.c_str(),
                                             nullptr /* version */, nullptr /* referrer */,
                                             nullptr /* accept types */, flags, kContext));
  if (!http) return Outcome::kFailed;

  // Servers with a certificate from an unknown authority or without reachable revocation data
  // are accepted; a plain request simply carries the flags unused, so a refusal is no error.
  DWORD security = 0;
  DWORD security_size = sizeof security;
  ::InternetQueryOptionW(http.get(), INTERNET_OPTION_SECURITY_FLAGS, &security, &security_size);
  security |= http::kRelaxedSecurityFlags;
  ::InternetSetOptionW(http.get(), INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);

  if (!::HttpSendRequestW(http.get(), nullptr /* headers */, 0, nullptr /* body */, 0)) {
    return Outcome::kFailed;
  }
  const DWORD status = QueryStatusCode(http.get());
  const std::uint32_t declared =
      DeclaredLengthFromText(fx::AsU16(QueryHeaderText(http.get(), HTTP_QUERY_CONTENT_LENGTH)));

  // The target exists (empty) whatever the status turns out to be.
  fx::UniqueFile file(::CreateFileW(request.target.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr /* security */, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr /* template */));
  if (!file) return Outcome::kFailed;
  if (status != HTTP_STATUS_OK) return Outcome::kFailed;

  std::uint32_t received = 0;
  for (;;) {
    char chunk[kChunkBytes];
    DWORD read = 0;
    if (!::InternetReadFile(http.get(), chunk, kChunkBytes, &read)) return Outcome::kFailed;
    if (read == 0) break;
    if (!WriteAll(file.get(), chunk, read)) return Outcome::kFailed;
    received += read;
    // Nobody is left to show the rest; the process is about to end.
    if (link.window_gone) return Outcome::kAbandoned;
    ::SendMessageW(request.window, WM_UPDATE_NOTIFY, kReportProgress,
                   static_cast<LPARAM>(ProgressPercent(received, declared)));
  }
  return Outcome::kDone;
}

void RunWorker(const DownloadRequest& request) noexcept {
  Outcome outcome = Outcome::kFailed;
  try {
    outcome = Download(request);
  } catch (...) {
    // Out of memory while copying a string: the download has failed like any other.
  }
  if (outcome == Outcome::kAbandoned || request.link->window_gone) return;
  const WPARAM report =
      outcome == Outcome::kDone ? static_cast<WPARAM>(request.link->stage.load()) : kReportFailed;
  // The report carries no payload, so a post that fails (window gone) loses nothing.
  ::PostMessageW(request.window, WM_UPDATE_NOTIFY, report, 0);
}

}  // namespace

bool StartDownloadWorker(DownloadRequest request) {
  if (!request.link) return false;
  // Nobody waits for a worker: its handle is closed at once and the thread runs on.
  return static_cast<bool>(
      fx::StartThread([request = std::move(request)]() noexcept { RunWorker(request); }));
}

}  // namespace updater
