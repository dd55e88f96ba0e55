#include "http/http_services.h"

#include <string_view>
#include <vector>

#include "framework/application.h"
#include "framework/platform_error.h"
#include "framework/text.h"
#include "http/http_file.h"
#include "http/internet.h"
#include "http/transfer_rules.h"
#include "http/url_rules.h"

namespace services {
namespace {

constexpr DWORD kGetReadBytes = 8000;
constexpr DWORD kAnswerBlockBytes = 8192;
// An answer that never ends its first line is cut here rather than filling memory.
constexpr std::size_t kMaxAnswerLineBytes = 16 * 1024 * 1024;
constexpr wchar_t kFormContentType[] = L"Content-Type: application/x-www-form-urlencoded";

void OpenSessionOrThrow(http::InternetSession& session) {
  if (const http::ErrorCode error = session.Open()) {
    throw fx::PlatformError(HRESULT_FROM_WIN32(error), L"No internet session can be opened.");
  }
}

// Returns an empty result after the user has seen the failure's error number.
std::wstring ReportPostFailure(http::ErrorCode error) {
  fx::AppMessageBox(L"未知错误号: " + std::to_wstring(static_cast<int>(error)));
  return {};
}

}  // namespace

std::wstring GetStringFromUrl(CBaseDHtmlPgDlg&, const std::wstring& url,
                              const std::wstring& headers) {
  http::InternetSession session;
  OpenSessionOrThrow(session);
  const http::UrlParts parts = http::SplitUrl(fx::AsU16(url));
  http::HttpConnection connection;
  http::HttpRequest request;
  if (http::OpenHttpRequest(
          session, fx::ToWide(parts.server), parts.port, L"GET", fx::ToWide(parts.object),
          http::RequestFlags(http::Transfer::kGet, parts.port), connection, request)) {
    return {};
  }
  if (request.Send(headers, nullptr, 0)) return {};
  DWORD status = 0;
  if (request.QueryStatusCode(&status) || status != HTTP_STATUS_OK) return {};

  std::vector<char> buffer(kGetReadBytes + 1, '\0');
  DWORD read = 0;
  if (request.Read(buffer.data(), kGetReadBytes, &read)) return {};
  // Each byte yields at most one UTF-16 unit, so the text stays within 8000 units.
  std::string_view bytes(buffer.data(), read);
  return fx::FromUtf8(bytes.substr(0, bytes.find('\0')));
}

std::wstring PostDataToUrl(CBaseDHtmlPgDlg&, const std::wstring& url, BSTR data, int length,
                           const std::wstring& headers) {
  const std::optional<std::size_t> body_bytes =
      http::PostBodyLength(length, data ? ::SysStringByteLen(data) : 0);
  if (!body_bytes) return {};

  http::InternetSession session;
  OpenSessionOrThrow(session);
  const std::wstring header_text = headers.empty() ? kFormContentType : headers;
  const http::UrlParts parts = http::SplitUrl(fx::AsU16(url));
  http::HttpConnection connection;
  http::HttpRequest request;
  if (const auto error = http::OpenHttpRequest(
          session, fx::ToWide(parts.server), parts.port, L"POST", fx::ToWide(parts.object),
          http::RequestFlags(http::Transfer::kPost, parts.port), connection, request)) {
    return ReportPostFailure(error);
  }
  if (const auto error = request.Send(header_text, data, static_cast<DWORD>(*body_bytes))) {
    return ReportPostFailure(error);
  }
  DWORD status = 0;
  if (const auto error = request.QueryStatusCode(&status)) return ReportPostFailure(error);
  if (status != HTTP_STATUS_OK) return {};

  std::string answer;
  std::vector<char> block(kAnswerBlockBytes);
  while (!http::HoldsFirstLine(answer) && answer.size() < kMaxAnswerLineBytes) {
    DWORD read = 0;
    if (const auto error = request.Read(block.data(), kAnswerBlockBytes, &read)) {
      return ReportPostFailure(error);
    }
    if (read == 0) break;
    answer.append(block.data(), read);
  }
  return fx::ToWide(http::FirstLineOfAnswer(answer));
}

bool DownLoadFile(CBaseDHtmlPgDlg&, const std::wstring& url, const std::wstring& path) {
  return TheHttpFile().DownLoadFile(url, path);
}

bool UploadFile(CBaseDHtmlPgDlg&, const std::wstring& url, const std::wstring& path,
                const std::wstring& user_agent, const std::wstring& boundary,
                const std::wstring& disposition) {
  return TheHttpFile().UploadFile(url, path, user_agent, boundary, disposition);
}

}  // namespace services
