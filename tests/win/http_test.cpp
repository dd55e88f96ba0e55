// The page transfers against a scripted loopback server: what goes on the wire, byte for byte,
// and what each transfer makes of the server's answers.
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "fixtures/message_box_watcher.h"
#include "fixtures/scripted_http_server.h"
#include "framework/application.h"
#include "framework/owner.h"
#include "framework/script_engine.h"
#include "host/scripted_page_dialog.h"
#include "http/http_file.h"
#include "http/http_services.h"

namespace {

using fixtures::HttpAnswer;
using fixtures::LoggedRequest;
using namespace std::string_literals;

// Nothing listens on port 1 of the loopback address: connections are refused at once.
constexpr wchar_t kRefusedUrl[] = L"http://127.0.0.1:1/x";
constexpr wchar_t kFormContentType[] = L"application/x-www-form-urlencoded";

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every byte value, over and over: shows bytes lost, reordered or translated.
std::string BinaryBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

class HttpTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new fixtures::ScriptedHttpServer;
    started_ = server_->Start(&why_);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(started_) << "loopback server: " << why_;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"miravolt-http-files-" + std::to_wstring(::GetCurrentProcessId()) +
           L"\\";
    ::CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& file : created_) ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }

  // A path in the test's own folder, removed after the test.
  std::wstring TempFile(const std::wstring& name) {
    created_.push_back(dir_ + name);
    return created_.back();
  }

  static size_t RequestCount() { return server_->Requests().size(); }

  std::wstring Get(const std::wstring& url, const std::wstring& headers = L"") {
    return services::GetStringFromUrl(window_, url, headers);
  }
  std::wstring Post(const std::wstring& url, const std::wstring& data, int length,
                    const std::wstring& headers = L"") {
    fx::UniqueBstr bstr(::SysAllocStringLen(data.data(), static_cast<UINT>(data.size())));
    return services::PostDataToUrl(window_, url, bstr.get(), length, headers);
  }

  static fixtures::ScriptedHttpServer* server_;
  static bool started_;
  static std::string why_;

  CBaseDHtmlPgDlg window_{L"page.html", L".container", nullptr};
  std::wstring dir_;
  std::vector<std::wstring> created_;
};

fixtures::ScriptedHttpServer* HttpTest::server_ = nullptr;
bool HttpTest::started_ = false;
std::string HttpTest::why_;

// ---- GetStringFromUrl ----

TEST_F(HttpTest, GetReturnsTheTextOfOneReadOfA200Answer) {
  const struct {
    const char* target;
    HttpAnswer answer;
    std::wstring expected;
  } cases[] = {
      {"/get/utf8",
       {200, {}, "h\xc3\xa9llo \xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80"},
       L"h\u00e9llo \u4e2d\u6587 \U0001F600"},
      {"/get/empty", {200, {}, ""}, L""},
      {"/get/404", {404, {}, "not here"}, L""},
      {"/get/500", {500, {}, "broken"}, L""},
      {"/get/204", {204, {}, ""}, L""},
      // One read of at most 8000 bytes: a longer body is cut.
      {"/get/long", {200, {}, "a", 20000}, std::wstring(8000, L'a')},
      // The text ends at the first NUL byte.
      {"/get/nul", {200, {}, "ab\0cd"s}, L"ab"},
  };
  for (const auto& c : cases) server_->Answer(c.target, c.answer);
  fixtures::MessageBoxWatcher boxes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(Get(server_->Url(Wide(c.target))), c.expected);
  }
  EXPECT_EQ(Get(kRefusedUrl), L"");
  EXPECT_EQ(Get(L"no url at all"), L"");
  EXPECT_TRUE(boxes.seen().empty()) << "a GET never shows a message";
}

TEST_F(HttpTest, GetSendsAnHttp10RequestWithTheHeadersAndTheProgramAsAgent) {
  server_->Answer("/get/echo", {200, {}, "ok"});
  ASSERT_EQ(Get(server_->Url(L"/get/echo?a=1&b=%41#fragment"), L"X-Probe: 1\r\nX-Other: two"),
            L"ok");
  const LoggedRequest request = server_->LastRequest();
  EXPECT_EQ(request.request_line, "GET /get/echo?a=1&b=%41 HTTP/1.0");
  EXPECT_EQ(request.Header("X-Probe"), "1");
  EXPECT_EQ(request.Header("X-Other"), "two");
  EXPECT_EQ(request.Header("User-Agent"), fx::ToUtf8(fx::ProgramName()));
  EXPECT_EQ(request.Header("Host"), "127.0.0.1:" + std::to_string(server_->port()));
  EXPECT_EQ(request.body, "");
}

// ---- PostDataToUrl ----

TEST_F(HttpTest, PostSendsLengthBytesOfTheDataStorage) {
  server_->Answer("/post/body", {200, {}, "O\0K\0"s});
  const struct {
    std::wstring data;
    int length;
    std::string body;
  } cases[] = {
      {L"ab", 4, "a\0b\0"s},
      {L"ab", 2, "a\0"s},
      {L"ab", 3, "a\0b"s},
      {L"ab", 0, ""},
      // Never past the data: a larger length is cut to the storage.
      {L"ab", 5, "a\0b\0"s},
      {L"ab", 0x7FFFFFFF, "a\0b\0"s},
      {L"", 8, ""},
      // The storage past an embedded NUL is part of the data.
      {L"a\0b"s, 6, "a\0\0\0b\0"s},
      {L"\u4e2d", 2, "\x2d\x4e"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.data) + " length " + std::to_string(c.length));
    EXPECT_EQ(Post(server_->Url(L"/post/body"), c.data, c.length), L"OK");
    const LoggedRequest request = server_->LastRequest();
    EXPECT_EQ(request.request_line, "POST /post/body HTTP/1.0");
    EXPECT_EQ(request.body, c.body);
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(c.body.size()));
  }
}

TEST_F(HttpTest, PostOfNullDataSendsAnEmptyBody) {
  server_->Answer("/post/null", {200, {}, "O\0K\0"s});
  EXPECT_EQ(services::PostDataToUrl(window_, server_->Url(L"/post/null"), nullptr, 10, L""), L"OK");
  EXPECT_EQ(server_->LastRequest().body, "");
}

TEST_F(HttpTest, PostWithANegativeLengthSendsNothing) {
  fixtures::MessageBoxWatcher boxes;
  const size_t before = RequestCount();
  EXPECT_EQ(Post(server_->Url(L"/post/negative"), L"ab", -1), L"");
  EXPECT_EQ(Post(server_->Url(L"/post/negative"), L"ab", -2147483647 - 1), L"");
  EXPECT_EQ(RequestCount(), before);
  EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(HttpTest, PostHeadersReplaceTheFormContentType) {
  server_->Answer("/post/headers", {200, {}, ""});
  Post(server_->Url(L"/post/headers"), L"x=1", 6);
  LoggedRequest request = server_->LastRequest();
  EXPECT_EQ(request.Header("Content-Type"), fx::ToUtf8(kFormContentType));
  EXPECT_EQ(request.Header("User-Agent"), fx::ToUtf8(fx::ProgramName()));

  Post(server_->Url(L"/post/headers"), L"x=1", 6, L"Content-Type: text/plain\r\nX-Probe: 2");
  request = server_->LastRequest();
  EXPECT_EQ(request.Header("Content-Type"), "text/plain");
  EXPECT_EQ(request.Header("X-Probe"), "2");
  EXPECT_EQ(request.raw.find(fx::ToUtf8(kFormContentType)), std::string::npos);
}

TEST_F(HttpTest, PostReturnsTheFirstLineOfA200Answer) {
  const struct {
    const char* target;
    HttpAnswer answer;
    std::wstring expected;
  } cases[] = {
      {"/line/utf16", {200, {}, "O\0K\0"s}, L"OK"},
      {"/line/8bit", {200, {}, "OK"}, L"\u4b4f"},
      {"/line/lines", {200, {}, "O\0K\0\n\0second line"s}, L"OK"},
      {"/line/crlf8", {200, {}, "OK\r\nnext"}, L"\u4b4f"},
      {"/line/chinese", {200, {}, "\x2d\x4e\x87\x65"}, L"\u4e2d\u6587"},
      {"/line/empty", {200, {}, ""}, L""},
      // A first line longer than one block of the reader.
      {"/line/long", {200, {}, "a\0"s, 10000}, std::wstring(10000, L'a')},
      {"/line/404", {404, {}, "O\0K\0"s}, L""},
      {"/line/201", {201, {}, "O\0K\0"s}, L""},
  };
  for (const auto& c : cases) server_->Answer(c.target, c.answer);
  fixtures::MessageBoxWatcher boxes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(Post(server_->Url(Wide(c.target)), L"", 0), c.expected);
  }
  EXPECT_TRUE(boxes.seen().empty()) << "a status other than 200 is no failure";
}

TEST_F(HttpTest, PostFailureShowsTheErrorNumberInTheApplicationMessageBox) {
  fixtures::MessageBoxWatcher boxes;
  EXPECT_EQ(Post(kRefusedUrl, L"ab", 4), L"");
  const auto seen = boxes.WaitFor(1, 5000);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, fx::ProgramName());
  EXPECT_EQ(seen[0].text, L"未知错误号: " + std::to_wstring(ERROR_INTERNET_CANNOT_CONNECT));
}

// ---- DownLoadFile ----

TEST_F(HttpTest, DownloadStoresTheWholeBody) {
  const std::string body = BinaryBytes(20000);  // several blocks
  server_->Answer("/dl/file.bin", {200, {}, body});
  server_->Answer("/dl/empty", {200, {}, ""});
  server_->Answer("/dl/unannounced", {200, {}, body, 1, 0, -1});

  const std::wstring target = TempFile(L"download.bin");
  WriteFileBytes(target, std::string(50000, 'x'));  // longer than the body: replaced whole
  EXPECT_TRUE(services::DownLoadFile(window_, server_->Url(L"/dl/file.bin?v=2"), target));
  EXPECT_EQ(ReadFileBytes(target), body);
  EXPECT_EQ(server_->LastRequest().request_line, "GET /dl/file.bin?v=2 HTTP/1.0");
  EXPECT_EQ(server_->LastRequest().Header("User-Agent"), fx::ToUtf8(fx::ProgramName()));
  EXPECT_EQ(TheHttpFile().m_strUrl, server_->Url(L"/dl/file.bin?v=2"));
  EXPECT_EQ(TheHttpFile().m_strFilePath, target);
  EXPECT_EQ(TheHttpFile().m_strServer, L"127.0.0.1");
  EXPECT_EQ(TheHttpFile().m_strObject, L"/dl/file.bin?v=2");
  EXPECT_EQ(TheHttpFile().m_nPort, server_->port());

  EXPECT_TRUE(services::DownLoadFile(window_, server_->Url(L"/dl/empty"), target));
  EXPECT_TRUE(FileExists(target));
  EXPECT_EQ(ReadFileBytes(target), "");

  EXPECT_TRUE(services::DownLoadFile(window_, server_->Url(L"/dl/unannounced"), target));
  EXPECT_EQ(ReadFileBytes(target), body);
}

TEST_F(HttpTest, DownloadWithoutStatus200LeavesTheFileAlone) {
  server_->Answer("/dl/404", {404, {}, "not here"});
  server_->Answer("/dl/500", {500, {}, "broken"});
  const std::wstring existing = TempFile(L"existing.txt");
  WriteFileBytes(existing, "keep me");
  const std::wstring absent = TempFile(L"absent.txt");
  for (const wchar_t* target : {L"/dl/404", L"/dl/500"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(target)));
    EXPECT_FALSE(services::DownLoadFile(window_, server_->Url(target), existing));
    EXPECT_EQ(ReadFileBytes(existing), "keep me");
    EXPECT_FALSE(services::DownLoadFile(window_, server_->Url(target), absent));
    EXPECT_FALSE(FileExists(absent));
  }
  EXPECT_FALSE(services::DownLoadFile(window_, kRefusedUrl, existing));
  EXPECT_EQ(ReadFileBytes(existing), "keep me");
}

TEST_F(HttpTest, DownloadOfABrokenBodyFailsAndKeepsWhatArrived) {
  const std::string body = BinaryBytes(30000);
  // Announced in full, then the connection closes part-way.
  server_->Answer("/dl/closed", {200, {}, body, 1, 0, std::nullopt, 12000});
  const std::wstring file = TempFile(L"closed.bin");
  EXPECT_FALSE(services::DownLoadFile(window_, server_->Url(L"/dl/closed"), file));
  EXPECT_EQ(ReadFileBytes(file), body.substr(0, 12000));

  // A reset: whatever arrived before it stays (when it strikes before the answer's head,
  // nothing was written).
  server_->Answer("/dl/reset", {200, {}, body, 1, 0, std::nullopt, 12000, true});
  const std::wstring reset_file = TempFile(L"reset.bin");
  EXPECT_FALSE(services::DownLoadFile(window_, server_->Url(L"/dl/reset"), reset_file));
  const std::string stored = ReadFileBytes(reset_file);
  EXPECT_LE(stored.size(), 12000u);
  EXPECT_EQ(stored, body.substr(0, stored.size()));
}

TEST_F(HttpTest, DownloadIntoAMissingFolderFails) {
  server_->Answer("/dl/ok", {200, {}, "data"});
  const std::wstring target = dir_ + L"no such folder\\file.txt";
  EXPECT_FALSE(services::DownLoadFile(window_, server_->Url(L"/dl/ok"), target));
  EXPECT_FALSE(FileExists(target));
}

// ---- UploadFile ----

const char kHead[] =
    "--XyZ-boundary\r\n"
    "Content-Disposition: form-data; name=\"file\"; filename=\"a.bin\"\r\n"
    "Content-Type: application/octet-stream \r\n"
    "\r\n";
const char kTail[] = "\r\n--XyZ-boundary--\r\n";

TEST_F(HttpTest, UploadSendsTheFileAsOneMultipartPart) {
  server_->Answer("/up", {200, {}, "stored"});
  for (size_t size : {size_t{0}, size_t{100}, size_t{8192}, size_t{20000}}) {
    SCOPED_TRACE(size);
    const std::string content = BinaryBytes(size);
    const std::wstring file = TempFile(L"upload-" + std::to_wstring(size) + L".bin");
    WriteFileBytes(file, content);
    EXPECT_TRUE(services::UploadFile(window_, server_->Url(L"/up?id=7"), file, L"Uploader/2.0",
                                     L"XyZ-boundary", L"name=\"file\"; filename=\"a.bin\""));
    const LoggedRequest request = server_->LastRequest();
    EXPECT_EQ(request.request_line, "POST /up?id=7 HTTP/1.0");
    EXPECT_EQ(request.Header("Content-Type"), "multipart/form-data; boundary=XyZ-boundary");
    EXPECT_EQ(request.Header("User-Agent"), "Uploader/2.0");
    const std::string body = kHead + content + kTail;
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(request.body, body);
  }
  EXPECT_EQ(TheHttpFile().m_strUserAgent, L"Uploader/2.0");
  EXPECT_EQ(TheHttpFile().m_strBoundary, L"XyZ-boundary");
  EXPECT_EQ(TheHttpFile().m_strObject, L"/up?id=7");
}

TEST_F(HttpTest, UploadIsTrueOnlyForStatus200) {
  const std::wstring file = TempFile(L"status.bin");
  WriteFileBytes(file, "content");
  for (int status : {201, 204, 302, 404, 500}) {
    SCOPED_TRACE(status);
    const std::string target = "/up/status" + std::to_string(status);
    server_->Answer(target, {status, {}, ""});
    EXPECT_FALSE(
        services::UploadFile(window_, server_->Url(Wide(target)), file, L"A", L"b", L"name=\"f\""));
  }
  EXPECT_FALSE(services::UploadFile(window_, kRefusedUrl, file, L"A", L"b", L"name=\"f\""));
}

TEST_F(HttpTest, UploadRefusedBeforeConnectingSendsNothing) {
  const std::wstring file = TempFile(L"refused.bin");
  WriteFileBytes(file, "content");
  // 4 GiB without writing them: the file is sparse.
  const std::wstring huge = TempFile(L"huge.bin");
  {
    fx::UniqueFile handle(::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(handle);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000LL;
    ASSERT_TRUE(::SetFilePointerEx(handle.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(handle.get()));
  }
  server_->Answer("/up/refused", {200, {}, ""});
  const std::wstring url = server_->Url(L"/up/refused");
  const size_t before = RequestCount();
  EXPECT_FALSE(services::UploadFile(window_, url, dir_ + L"missing.bin", L"A", L"b", L"n"));
  EXPECT_FALSE(services::UploadFile(window_, url, dir_, L"A", L"b", L"n"));
  EXPECT_FALSE(services::UploadFile(window_, url, huge, L"A", L"b", L"n"));
  EXPECT_FALSE(services::UploadFile(window_, url, file, L"A", L"", L"n"));
  EXPECT_FALSE(services::UploadFile(window_, url, file, L"A", L"b\r\nX-Injected: 1", L"n"));
  EXPECT_FALSE(services::UploadFile(window_, url, file, L"A", L"b\u00e4", L"n"));
  EXPECT_EQ(RequestCount(), before);
}

// ---- Through the page's script interface ----

TEST_F(HttpTest, PagesReachTheTransfersByName) {
  server_->Answer("/script/get", {200, {}, "text"});
  server_->Answer("/script/post", {200, {}, "O\0K\0"s});
  server_->Answer("/script/file", {200, {}, "file body"});
  const std::wstring file = TempFile(L"script.bin");

  fx::ScriptEngine engine;
  ASSERT_HRESULT_SUCCEEDED(engine.Create());
  ASSERT_HRESULT_SUCCEEDED(engine.AddObject(L"external", window_.dispatch(), false));
  std::wstring escaped_file;
  for (wchar_t c : file) escaped_file += c == L'\\' ? L"\\\\" : std::wstring(1, c);
  const std::wstring base = server_->Url(L"");
  const struct {
    std::wstring expression;
    std::wstring expected;
  } cases[] = {
      {L"external.GetStringFromUrl('" + base + L"/script/get', '')", L"text"},
      {L"external.PostDataToUrl('" + base + L"/script/post', 'ab\\0c', 6, '')", L"OK"},
      {L"external.downloadfile('" + base + L"/script/file', '" + escaped_file + L"')", L"True"},
      {L"external.UploadFile('" + base + L"/script/file', '" + escaped_file +
           L".missing', 'A', 'b', 'n')",
       L"False"},
  };
  for (const auto& c : cases) {
    fx::UniqueVariant result;
    ASSERT_HRESULT_SUCCEEDED(engine.Evaluate(c.expression, result.get()))
        << testing::PrintToString(c.expression);
    fx::UniqueVariant text;
    ASSERT_HRESULT_SUCCEEDED(
        ::VariantChangeType(text.get(), result.get(), VARIANT_ALPHABOOL, VT_BSTR));
    EXPECT_EQ(std::wstring(text->bstrVal, ::SysStringLen(text->bstrVal)), c.expected)
        << testing::PrintToString(c.expression);
  }
  engine.Close();
  // The data travels as the script's string storage, past its NUL.
  const auto requests = server_->Requests();
  bool posted = false;
  for (const auto& request : requests) {
    if (request.request_line == "POST /script/post HTTP/1.0") {
      EXPECT_EQ(request.body, "a\0b\0\0\0"s);
      posted = true;
    }
  }
  EXPECT_TRUE(posted);
  EXPECT_EQ(ReadFileBytes(file), "file body");
}

}  // namespace
