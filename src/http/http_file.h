// The shared transfer object of downloads and uploads. Exactly one instance exists for the
// whole process; each operation records its arguments and what the URL yields at its start,
// so the fields describe the last download or upload. Both operations run synchronously on
// the UI thread, one at a time; neither shows a message.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

class CBaseHttpFile {
 public:
  // GETs url into the file at path, replacing it. True when the whole body was stored. A
  // status other than 200 leaves the file untouched; a body that breaks off (or ends before
  // its announced length) leaves the part written so far in place and gives false.
  bool DownLoadFile(const std::wstring& url, const std::wstring& path);

  // POSTs the file at path as a one-part multipart/form-data body. True only for status 200.
  // A file that cannot be opened, an unusable boundary and a body that does not fit a 32-bit
  // length give false before any connection is made.
  bool UploadFile(const std::wstring& url, const std::wstring& path, const std::wstring& user_agent,
                  const std::wstring& boundary, const std::wstring& disposition);

  std::wstring m_strUrl;
  std::wstring m_strFilePath;
  std::wstring m_strServer;
  std::wstring m_strObject;
  INTERNET_PORT m_nPort = 0;
  std::wstring m_strUserAgent;
  std::wstring m_strBoundary;
  std::wstring m_strDisposition;

 private:
  void RecordUrl(const std::wstring& url);
};

// The process-wide instance, one of the process-wide objects built at start-up
// (host/process_objects.cpp).
CBaseHttpFile& TheHttpFile();
