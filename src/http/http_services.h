// The HTTP transfers of the scripted page dialog. Each runs synchronously on the UI thread
// inside the page's script call, on a session of its own.
#pragma once

#include <windows.h>

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// GETs url with headers as additional header text. The text of one read of at most 8000
// body bytes, decoded from UTF-8, up to its first NUL; empty on any failure or a status other
// than 200. Throws PlatformError only when no internet session can be opened.
std::wstring GetStringFromUrl(CBaseDHtmlPgDlg& window, const std::wstring& url,
                              const std::wstring& headers);

// POSTs the first length bytes of data's storage (UTF-16LE, at most all of it; nothing for a
// negative length) with headers, or a form content type when headers is empty. The first line
// of a 200 answer; empty otherwise. A failure while connecting, sending or reading is shown
// in the application message box with its error number. Throws PlatformError only when no
// internet session can be opened.
std::wstring PostDataToUrl(CBaseDHtmlPgDlg& window, const std::wstring& url, BSTR data, int length,
                           const std::wstring& headers);

// The download and the multipart upload of the shared transfer object (http_file.h).
bool DownLoadFile(CBaseDHtmlPgDlg& window, const std::wstring& url, const std::wstring& path);
bool UploadFile(CBaseDHtmlPgDlg& window, const std::wstring& url, const std::wstring& path,
                const std::wstring& user_agent, const std::wstring& boundary,
                const std::wstring& disposition);

}  // namespace services
