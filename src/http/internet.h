// Owners of one page transfer's WinInet handles: a session, a connection and a request. Each
// call opens its own; destroying them in reverse order (request, connection, session) closes
// everything on every path. Every step reports the last-error code of a failed call
// (ERROR_SUCCESS when it worked). UI thread only.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>
#include <string_view>

#include "framework/owner.h"

namespace http {

// The last-error code that a failed WinInet call left; ERROR_SUCCESS for success.
using ErrorCode = DWORD;

// The agent of every session: the application's name, else the program file's name.
std::wstring SessionAgent();

class InternetSession {
 public:
  // Opens with the agent above, the preconfigured proxy access of the process, no proxy or
  // bypass list of its own and no flags.
  ErrorCode Open();
  ErrorCode SetOption(DWORD option, DWORD value);
  HINTERNET get() const { return handle_.get(); }

 private:
  fx::UniqueInternet handle_;
};

class HttpConnection {
 public:
  // No user name or password.
  ErrorCode Open(const InternetSession& session, const std::wstring& server, INTERNET_PORT port);
  HINTERNET get() const { return handle_.get(); }

 private:
  fx::UniqueInternet handle_;
};

class HttpRequest {
 public:
  // "HTTP/1.0", no referrer, no accepted types, context 1.
  ErrorCode Open(const HttpConnection& connection, const wchar_t* verb, const std::wstring& object,
                 DWORD flags);
  // Adds the relaxed certificate checks to the request's security flags.
  void RelaxSecurityFlags();
  ErrorCode AddHeaders(std::wstring_view headers, DWORD modifiers);
  // Sends the request with additional header text and a complete body.
  ErrorCode Send(std::wstring_view headers, const void* body, DWORD body_bytes);
  // Starts a request whose body of total_bytes follows through Write, then End.
  ErrorCode BeginSend(DWORD total_bytes);
  ErrorCode Write(const void* data, DWORD bytes);
  ErrorCode End();
  ErrorCode QueryStatusCode(DWORD* status);
  // The announced body length; empty when the answer announces none.
  std::optional<ULONGLONG> ContentLength();
  // Reads up to capacity bytes; *read is 0 at the end of the body.
  ErrorCode Read(void* buffer, DWORD capacity, DWORD* read);
  HINTERNET get() const { return handle_.get(); }

 private:
  fx::UniqueInternet handle_;
};

// Connects to server and port and opens a request there with the relaxed security flags;
// the code of the first step that failed.
ErrorCode OpenHttpRequest(const InternetSession& session, const std::wstring& server,
                          INTERNET_PORT port, const wchar_t* verb, const std::wstring& object,
                          DWORD flags, HttpConnection& connection, HttpRequest& request);

}  // namespace http
