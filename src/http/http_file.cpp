#include "http/http_file.h"

#include "framework/text.h"
#include "http/base_file.h"
#include "http/internet.h"
#include "http/multipart_rules.h"
#include "http/transfer_rules.h"
#include "http/url_rules.h"

// The one shared transfer object. Where it stands among the process-wide objects is decided
// by the program's start-up.

namespace {

constexpr DWORD kBlockBytes = 8192;
constexpr DWORD kDownloadConnectTimeoutMs = 2000;
constexpr DWORD kDownloadConnectRetries = 1;

}  // namespace

void CBaseHttpFile::RecordUrl(const std::wstring& url) {
  const http::UrlParts parts = http::SplitUrl(fx::AsU16(url));
  m_strServer = fx::ToWide(parts.server);
  m_strObject = fx::ToWide(parts.object);
  m_nPort = parts.port;
}

bool CBaseHttpFile::DownLoadFile(const std::wstring& url, const std::wstring& path) {
  m_strUrl = url;
  m_strFilePath = path;
  RecordUrl(url);

  http::InternetSession session;
  if (session.Open()) return false;
  // Without these a dead server would hold the page for the platform's long defaults.
  (void)session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, kDownloadConnectTimeoutMs);
  (void)session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, kDownloadConnectRetries);

  http::HttpConnection connection;
  http::HttpRequest request;
  if (http::OpenHttpRequest(session, m_strServer, m_nPort, L"GET", m_strObject,
                            http::RequestFlags(http::Transfer::kDownload, m_nPort), connection,
                            request)) {
    return false;
  }
  if (request.Send({}, nullptr, 0)) return false;
  DWORD status = 0;
  if (request.QueryStatusCode(&status) || status != HTTP_STATUS_OK) return false;

  CBaseFile file;
  if (file.Create(path)) return false;
  BYTE block[kBlockBytes];
  ULONGLONG stored = 0;
  for (;;) {
    DWORD read = 0;
    if (request.Read(block, kBlockBytes, &read)) return false;
    if (read == 0) break;
    if (file.Write(block, read)) return false;
    stored += read;
  }
  // A connection closed early ends the body without an error; only the announced length
  // tells that something is missing.
  const std::optional<ULONGLONG> announced = request.ContentLength();
  return !announced || *announced == stored;
}

bool CBaseHttpFile::UploadFile(const std::wstring& url, const std::wstring& path,
                               const std::wstring& user_agent, const std::wstring& boundary,
                               const std::wstring& disposition) {
  m_strUrl = url;
  m_strFilePath = path;
  m_strUserAgent = user_agent;
  m_strBoundary = boundary;
  m_strDisposition = disposition;

  CBaseFile file;
  if (file.OpenForReading(path)) return false;
  if (!http::IsUsableBoundary(fx::AsU16(boundary))) return false;
  const std::wstring headers =
      fx::ToWide(http::UploadHeaderText(fx::AsU16(boundary), fx::AsU16(user_agent)));
  const std::string head = http::PartHead(fx::AsU16(boundary), fx::AsU16(disposition));
  const std::string tail = http::PartTail(fx::AsU16(boundary));
  ULONGLONG file_bytes = 0;
  if (file.Size(&file_bytes)) return false;
  const std::optional<std::uint32_t> total =
      http::AnnouncedLength(head.size(), file_bytes, tail.size());
  if (!total) return false;

  http::InternetSession session;
  if (session.Open()) return false;
  RecordUrl(url);
  http::HttpConnection connection;
  http::HttpRequest request;
  if (http::OpenHttpRequest(session, m_strServer, m_nPort, L"POST", m_strObject,
                            http::RequestFlags(http::Transfer::kUpload, m_nPort), connection,
                            request)) {
    return false;
  }
  if (request.AddHeaders(headers, HTTP_ADDREQ_FLAG_ADD_IF_NEW)) return false;
  if (request.BeginSend(*total)) return false;
  if (request.Write(head.data(), static_cast<DWORD>(head.size()))) return false;
  // Exactly the announced number of file bytes goes out, even if the file changes meanwhile.
  BYTE block[kBlockBytes];
  ULONGLONG left = file_bytes;
  while (left > 0) {
    DWORD read = 0;
    if (file.Read(block, static_cast<DWORD>(left < kBlockBytes ? left : kBlockBytes), &read)) {
      return false;
    }
    if (read == 0) return false;  // the file shrank: the announced length cannot be met
    if (request.Write(block, read)) return false;
    left -= read;
  }
  if (request.Write(tail.data(), static_cast<DWORD>(tail.size()))) return false;
  if (request.End()) return false;
  DWORD status = 0;
  return !request.QueryStatusCode(&status) && status == HTTP_STATUS_OK;
}
