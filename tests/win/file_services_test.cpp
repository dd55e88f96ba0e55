// File, directory and shortcut services against real files in a folder of their own.
#include "services/file_services.h"

#include <shlobj.h>
#include <winioctl.h>

#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "framework/owner.h"
#include "framework/platform_error.h"
#include "framework/text.h"
#include "host/scripted_page_dialog.h"

namespace {

fx::UniqueBstr Bstr(const std::wstring& s) {
  return fx::UniqueBstr(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
}

// Wine's own call that names the Unix path of a file; null on Windows.
std::string UnixPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  const auto to_unix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!to_unix) return std::string();
  char* unix_path = to_unix(path.c_str());
  if (!unix_path) return std::string();
  std::string result = unix_path;
  ::HeapFree(::GetProcessHeap(), 0, unix_path);
  return result;
}

// Runs a Unix program under Wine (Wine starts ELF programs itself) and waits for it.
void RunUnix(const std::wstring& program, const std::wstring& command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = command_line;
  if (!::CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return;
  }
  const fx::UniqueHandle process_handle(process.hProcess);
  const fx::UniqueHandle thread_handle(process.hThread);
  ::WaitForSingleObject(process.hProcess, 30000);
}

std::wstring Quoted(const std::string& unix_path) {
  return L"\"" + fx::FromUtf8(unix_path) + L"\"";
}

class FileServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir_ = std::wstring(temp) + L"miravolt-files-" + std::wstring(name.begin(), name.end());
    RemoveTree(L"\\\\?\\" + dir_);
    ASSERT_TRUE(::CreateDirectoryW(dir_.c_str(), nullptr));
  }
  void TearDown() override {
    RemoveTree(L"\\\\?\\" + dir_);
    // Under Wine a Unix link made by a test survives the platform's calls; rm does not follow
    // links.
    const std::string unix_dir = UnixPath(dir_);
    if (Exists(dir_) && !unix_dir.empty()) RunUnix(L"Z:\\bin\\rm", L"rm -rf " + Quoted(unix_dir));
  }

  // Test clean-up that never enters links and clears read-only marks.
  static void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW entry;
    fx::UniqueFind search(::FindFirstFileW((dir + L"\\*").c_str(), &entry));
    if (search) {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = dir + L"\\" + name;
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
          RemoveTree(child);
        } else if (!::DeleteFileW(child.c_str())) {
          ::RemoveDirectoryW(child.c_str());
        }
      } while (::FindNextFileW(search.get(), &entry));
    }
    ::RemoveDirectoryW(dir.c_str());
  }

  std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }

  static void Store(const std::wstring& path, const std::string& bytes) {
    fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }

  // The file's bytes; "<missing>" when it cannot be opened.
  static std::string Load(const std::wstring& path) {
    fx::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<missing>";
    std::string bytes;
    char piece[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), piece, sizeof piece, &read, nullptr) && read > 0) {
      bytes.append(piece, read);
    }
    return bytes;
  }

  static bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::wstring Read(const std::wstring& path) {
    const fx::UniqueBstr p = Bstr(path);
    return services::ReadFileContent(window_, p.get());
  }

  bool Write(const std::wstring& path, const std::wstring& text) {
    const fx::UniqueBstr p = Bstr(path);
    const fx::UniqueBstr t = Bstr(text);
    return services::WriteFileContent(window_, p.get(), t.get());
  }

  // A file path of more than 260 characters below the test folder (each name below 256), in a
  // folder that MakeLongDirectory creates.
  std::wstring LongDirectory() const { return L"\\\\?\\" + Path(std::wstring(120, L'd')); }
  std::wstring LongPath() const { return LongDirectory() + L"\\" + std::wstring(150, L'f'); }
  void MakeLongDirectory() const {
    ASSERT_TRUE(::CreateDirectoryW(LongDirectory().c_str(), nullptr));
  }

  std::wstring dir_;
  CBaseDHtmlPgDlg window_{L"x.html", L".container", nullptr};
};

TEST_F(FileServicesTest, ReadFileContentGivesTheFirstLineOneCharacterPerByte) {
  const struct {
    const char* what;
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {"crlf", "abc\r\ndef", L"abc"},
      {"byte-order mark", "\xEF\xBB\xBFx\r\n", L"\u00EF\u00BB\u00BFx"},
      {"0x1a",
       "ab\x1A"
       "cd",
       L"ab"},
      {"nul", std::string("ab\0cd", 5), L"ab"},
      {"empty", "", L""},
      // The file is read in pieces of 4096 bytes: the CR ends one piece, its LF starts the next.
      {"crlf across pieces", std::string(4095, 'x') + "\r\ny", std::wstring(4095, L'x')},
      {"long line", std::string(10000, 'x') + "\r\ny", std::wstring(10000, L'x')},
  };
  for (const auto& c : cases) {
    Store(Path(L"in.txt"), c.bytes);
    EXPECT_EQ(Read(Path(L"in.txt")), c.text) << c.what;
  }
}

TEST_F(FileServicesTest, ReadFileContentGivesEmptyTextWhenTheFileCannotBeOpened) {
  Store(Path(L"held.txt"), "held\r\n");
  fx::UniqueFile holder(::CreateFileW(Path(L"held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(Read(Path(L"held.txt")), L"") << "opened without sharing";
  holder.reset();
  EXPECT_EQ(Read(Path(L"held.txt")), L"held");

  EXPECT_EQ(Read(Path(L"missing.txt")), L"");
  EXPECT_EQ(Read(dir_), L"") << "a directory";
  EXPECT_EQ(Read(L""), L"");
  EXPECT_EQ(services::ReadFileContent(window_, nullptr), L"");

  // The path is a NUL-terminated name: text after an embedded NUL is not part of it.
  EXPECT_EQ(Read(Path(L"held.txt") + std::wstring(1, L'\0') + L"junk"), L"held");

  // The platform opens such a path; the service refuses it as the platform's file class does.
  MakeLongDirectory();
  Store(LongPath(), "long\r\n");
  ASSERT_EQ(Load(LongPath()), "long\r\n");
  EXPECT_EQ(Read(LongPath()), L"");
  EXPECT_FALSE(services::FileExist(window_, LongPath()));
}

TEST_F(FileServicesTest, WriteFileContentWritesOneBytePerCharacterAndCrLf) {
  const struct {
    const char* what;
    std::wstring text;
    std::string bytes;
  } cases[] = {
      {"lf", L"a\nb", "a\r\nb"},
      {"crlf in the text", L"a\r\nb", "a\r\r\nb"},
      {"latin-1", L"\u00E9", "\xE9"},
      {"empty", L"", ""},
      {"cut at nul", std::wstring(L"ab\0\u4E2D", 4), "ab"},
  };
  for (const auto& c : cases) {
    Store(Path(L"out.txt"), "old content");
    EXPECT_TRUE(Write(Path(L"out.txt"), c.text)) << c.what;
    EXPECT_EQ(Load(Path(L"out.txt")), c.bytes) << c.what;
  }
  EXPECT_TRUE(Write(Path(L"new.txt"), L"x\ny"));
  EXPECT_EQ(Read(Path(L"new.txt")), L"x");
}

TEST_F(FileServicesTest, WriteFileContentRefusesUnwritableTextBeforeTouchingTheFile) {
  Store(Path(L"keep.txt"), "keep me");
  const fx::UniqueBstr path = Bstr(Path(L"keep.txt"));
  const fx::UniqueBstr wide = Bstr(L"ab\u0100cd");
  try {
    services::WriteFileContent(window_, path.get(), wide.get());
    ADD_FAILURE() << "no error for a character above U+00FF";
  } catch (const fx::PlatformError& error) {
    EXPECT_EQ(error.code(), HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION));
  }
  EXPECT_EQ(Load(Path(L"keep.txt")), "keep me");
  EXPECT_THROW(services::WriteFileContent(window_, path.get(), nullptr), fx::PlatformError);
  EXPECT_EQ(Load(Path(L"keep.txt")), "keep me");

  const fx::UniqueBstr fresh = Bstr(Path(L"fresh.txt"));
  EXPECT_THROW(services::WriteFileContent(window_, fresh.get(), wide.get()), fx::PlatformError);
  EXPECT_FALSE(Exists(Path(L"fresh.txt")));
}

TEST_F(FileServicesTest, WriteFileContentReturnsFalseWhenTheFileCannotBeOpened) {
  Store(Path(L"held.txt"), "held");
  {
    fx::UniqueFile holder(::CreateFileW(Path(L"held.txt").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(Write(Path(L"held.txt"), L"new"));
  }
  EXPECT_EQ(Load(Path(L"held.txt")), "held");
  EXPECT_FALSE(Write(dir_, L"x")) << "a directory";
  EXPECT_FALSE(Write(Path(L"no-such-dir\\x.txt"), L"x"));
  MakeLongDirectory();
  EXPECT_FALSE(Write(LongPath(), L"x"));
  EXPECT_FALSE(Exists(LongPath()));
  const fx::UniqueBstr text = Bstr(L"x");
  EXPECT_FALSE(services::WriteFileContent(window_, nullptr, text.get()));
}

TEST_F(FileServicesTest, DeleteAndMoveUseThePlatformResult) {
  Store(Path(L"a.txt"), "a");
  Store(Path(L"b.txt"), "b");
  EXPECT_FALSE(services::MoveFile(window_, Path(L"a.txt"), Path(L"b.txt"))) << "no overwrite";
  EXPECT_EQ(Load(Path(L"a.txt")), "a");
  EXPECT_EQ(Load(Path(L"b.txt")), "b");
  EXPECT_TRUE(services::MoveFile(window_, Path(L"a.txt"), Path(L"c.txt")));
  EXPECT_EQ(Load(Path(L"c.txt")), "a");
  ASSERT_TRUE(::CreateDirectoryW(Path(L"d").c_str(), nullptr));
  EXPECT_TRUE(services::MoveFile(window_, Path(L"d"), Path(L"e")));
  EXPECT_TRUE(Exists(Path(L"e")));

  EXPECT_TRUE(services::DeleteFile(window_, Path(L"c.txt")));
  EXPECT_FALSE(Exists(Path(L"c.txt")));
  EXPECT_FALSE(services::DeleteFile(window_, Path(L"c.txt")));
  EXPECT_FALSE(services::DeleteFile(window_, Path(L"e"))) << "a directory";
  ::SetFileAttributesW(Path(L"b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(services::DeleteFile(window_, Path(L"b.txt")));
  EXPECT_TRUE(Exists(Path(L"b.txt")));
}

TEST_F(FileServicesTest, ExistenceTestsDifferOnRootsPatternsAndTrailingBackslashes) {
  Store(Path(L"file.txt"), "x");
  ASSERT_TRUE(::CreateDirectoryW(Path(L"sub").c_str(), nullptr));
  const struct {
    std::wstring name;
    bool file_exist;   // name search
    bool file_exists;  // path test
    bool directory_exist;
  } cases[] = {
      {L"C:\\", false, true, false},           {Path(L"*.txt"), true, false, false},
      {Path(L"s?b"), true, false, true},       {Path(L"file.txt"), true, true, false},
      {Path(L"sub"), true, true, true},        {Path(L"sub\\"), false, true, false},
      {Path(L"missing"), false, false, false}, {L"", false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(services::FileExist(window_, c.name), c.file_exist) << c.name;
    EXPECT_EQ(services::FileExists(window_, c.name), c.file_exists) << c.name;
    EXPECT_EQ(services::DirectoryExist(window_, c.name), c.directory_exist) << c.name;
  }
}

TEST_F(FileServicesTest, CreateDirectoryCreatesTheMissingChainFromTheTop) {
  const std::wstring deep = Path(L"a\\b\\c");
  EXPECT_TRUE(services::CreateDirectory(window_, deep));
  EXPECT_TRUE(Exists(deep));
  EXPECT_FALSE(services::CreateDirectory(window_, deep)) << "exists already";
  EXPECT_TRUE(services::CreateDirectory(window_, Path(L"x/y/z")));
  EXPECT_TRUE(Exists(Path(L"x\\y\\z")));
  EXPECT_FALSE(services::CreateDirectory(window_, L""));
  Store(Path(L"file"), "x");
  EXPECT_FALSE(services::CreateDirectory(window_, Path(L"file\\sub")));
}

TEST_F(FileServicesTest, DeleteDirectoryRemovesTheWholeTree) {
  ASSERT_TRUE(services::CreateDirectory(window_, Path(L"tree\\a\\b")));
  Store(Path(L"tree\\top.txt"), "x");
  Store(Path(L"tree\\a\\mid.txt"), "x");
  Store(Path(L"tree\\a\\b\\low.txt"), "x");
  EXPECT_TRUE(services::DeleteDirectory(window_, Path(L"tree")));
  EXPECT_FALSE(Exists(Path(L"tree")));

  ASSERT_TRUE(services::CreateDirectory(window_, Path(L"slashed\\a")));
  EXPECT_TRUE(services::DeleteDirectory(window_, dir_ + L"/slashed/"));
  EXPECT_FALSE(Exists(Path(L"slashed")));

  EXPECT_FALSE(services::DeleteDirectory(window_, Path(L"missing")));
  EXPECT_FALSE(services::DeleteDirectory(window_, L""));
}

TEST_F(FileServicesTest, DeleteDirectoryRefusesABareRelativeName) {
  wchar_t previous[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryW(dir_.c_str()));
  ASSERT_TRUE(::CreateDirectoryW(L"rel", nullptr));
  Store(L"rel\\f.txt", "x");
  EXPECT_FALSE(services::DeleteDirectory(window_, L"rel"));
  EXPECT_TRUE(Exists(L"rel\\f.txt"));
  EXPECT_TRUE(services::DeleteDirectory(window_, L".\\rel"));
  EXPECT_FALSE(Exists(L"rel"));
  ::SetCurrentDirectoryW(previous);
}

TEST_F(FileServicesTest, DeleteDirectoryStopsAtAReadOnlyFile) {
  ASSERT_TRUE(::CreateDirectoryW(Path(L"tree").c_str(), nullptr));
  Store(Path(L"tree\\locked.txt"), "x");
  ::SetFileAttributesW(Path(L"tree\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(services::DeleteDirectory(window_, Path(L"tree")));
  EXPECT_TRUE(Exists(Path(L"tree\\locked.txt")));
}

bool IsDirectoryReparsePoint(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const DWORD wanted = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & wanted) == wanted;
}

enum class LinkKind { kSymlink, kJunction, kUnixSymlink };

// A junction: an empty directory given a mount-point reparse point.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!::CreateDirectoryW(link.c_str(), nullptr)) return false;
  const std::wstring substitute = L"\\??\\" + target;
  const USHORT substitute_bytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
  // Reparse header (tag, length, reserved), four name offsets and lengths, the substitute name
  // and an empty print name, each with its NUL.
  std::string buffer(8 + 8 + substitute_bytes + 2 * sizeof(wchar_t), '\0');
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  const USHORT data_length = static_cast<USHORT>(buffer.size() - 8);
  const USHORT names[4] = {0, substitute_bytes, static_cast<USHORT>(substitute_bytes + 2), 0};
  std::memcpy(&buffer[0], &tag, sizeof tag);
  std::memcpy(&buffer[4], &data_length, sizeof data_length);
  std::memcpy(&buffer[8], names, sizeof names);
  std::memcpy(&buffer[16], substitute.data(), substitute_bytes);
  fx::UniqueFile dir(::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                   nullptr));
  DWORD returned = 0;
  const bool made =
      dir && ::DeviceIoControl(dir.get(), FSCTL_SET_REPARSE_POINT, &buffer[0],
                               static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  dir.reset();
  if (!made) ::RemoveDirectoryW(link.c_str());
  return made;
}

// A directory link by the first means that works here: a symbolic link, a junction, or under
// Wine (whose symbolic-link call does nothing and which refuses junctions) a Unix symbolic
// link, which Wine reports as a directory reparse point.
std::optional<LinkKind> MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
  ::CreateSymbolicLinkW(
      link.c_str(), target.c_str(),
      SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE */);
  if (IsDirectoryReparsePoint(link)) return LinkKind::kSymlink;
  if (MakeJunction(link, target) && IsDirectoryReparsePoint(link)) return LinkKind::kJunction;
  const std::string unix_target = UnixPath(target);
  const std::string unix_link = UnixPath(link);
  if (unix_target.empty() || unix_link.empty()) return std::nullopt;
  RunUnix(L"Z:\\bin\\ln", L"ln -s " + Quoted(unix_target) + L" " + Quoted(unix_link));
  // The wait on a Unix program's process can end before the program has done its work.
  for (int i = 0; i < 100; ++i) {
    if (IsDirectoryReparsePoint(link)) return LinkKind::kUnixSymlink;
    ::Sleep(50);
  }
  return std::nullopt;
}

TEST_F(FileServicesTest, DeleteDirectoryNeverEntersALink) {
  ASSERT_TRUE(::CreateDirectoryW(Path(L"target").c_str(), nullptr));
  Store(Path(L"target\\precious.txt"), "keep");
  ASSERT_TRUE(services::CreateDirectory(window_, Path(L"tree\\sub")));
  Store(Path(L"tree\\own.txt"), "x");
  Store(Path(L"tree\\sub\\own.txt"), "x");
  const std::optional<LinkKind> kind = MakeDirectoryLink(Path(L"tree\\link"), Path(L"target"));
  if (!kind) GTEST_SKIP() << "no kind of directory link can be made here";
  ASSERT_EQ(Load(Path(L"tree\\link\\precious.txt")), "keep") << "the link leads to the target";
  // Wine removes none of its Unix links through the platform's calls, so there the tree keeps
  // the link and the removal reports false; elsewhere the link goes with the tree.
  const bool removable = *kind != LinkKind::kUnixSymlink;
  RecordProperty("link", removable ? "platform link" : "Unix symbolic link under Wine");

  EXPECT_EQ(services::DeleteDirectory(window_, Path(L"tree")), removable);
  EXPECT_EQ(Load(Path(L"target\\precious.txt")), "keep");
  EXPECT_FALSE(Exists(Path(L"tree\\own.txt")));
  EXPECT_FALSE(Exists(Path(L"tree\\sub")));
  EXPECT_EQ(Exists(Path(L"tree")), !removable);

  // A link given as the path itself is removed as a link too.
  const std::wstring link = Path(L"link");
  ASSERT_EQ(MakeDirectoryLink(link, Path(L"target")), kind);
  EXPECT_EQ(services::DeleteDirectory(window_, link + L"\\"), removable);
  EXPECT_EQ(Exists(link), !removable);
  EXPECT_EQ(Load(Path(L"target\\precious.txt")), "keep");
}

// The target, arguments and description stored in a shortcut file.
struct ShortcutContent {
  std::wstring target, arguments, description;
};
bool LoadShortcut(const std::wstring& file, ShortcutContent& content) {
  fx::ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void()))) {
    return false;
  }
  const fx::ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
  if (!persist || FAILED(persist->Load(file.c_str(), STGM_READ))) return false;
  wchar_t text[MAX_PATH * 2] = {};
  link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
  content.target = text;
  link->GetArguments(text, MAX_PATH * 2);
  content.arguments = text;
  link->GetDescription(text, MAX_PATH * 2);
  content.description = text;
  return true;
}

TEST_F(FileServicesTest, CreateShortcutWritesALinkToAnExistingFile) {
  Store(Path(L"app.exe"), "MZ");
  const std::wstring lnk = Path(L"app.lnk");
  ASSERT_TRUE(
      services::CreateShortcut(window_, Path(L"app.exe"), lnk, L"--tray", L"a", L"b", L"c"));
  ShortcutContent content;
  ASSERT_TRUE(LoadShortcut(lnk, content));
  EXPECT_EQ(::lstrcmpiW(content.target.c_str(), Path(L"app.exe").c_str()), 0) << content.target;
  EXPECT_EQ(content.arguments, L"--tray");
  EXPECT_EQ(content.description, L"");
}

TEST_F(FileServicesTest, CreateShortcutReturnsFalseWhenNothingCanBeWritten) {
  Store(Path(L"app.exe"), "MZ");
  ASSERT_TRUE(::CreateDirectoryW(Path(L"dir").c_str(), nullptr));
  EXPECT_FALSE(services::CreateShortcut(window_, Path(L"dir"), Path(L"1.lnk"), L"", L"", L"", L""))
      << "a directory target";
  EXPECT_FALSE(
      services::CreateShortcut(window_, Path(L"none.exe"), Path(L"2.lnk"), L"", L"", L"", L""));
  {
    fx::UniqueFile holder(::CreateFileW(Path(L"app.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(
        services::CreateShortcut(window_, Path(L"app.exe"), Path(L"3.lnk"), L"", L"", L"", L""))
        << "a target held open";
  }
  EXPECT_FALSE(services::CreateShortcut(window_, Path(L"app.exe"), Path(L"no-such-dir\\4.lnk"), L"",
                                        L"", L"", L""))
      << "the shortcut cannot be saved";
  for (const wchar_t* name : {L"1.lnk", L"2.lnk", L"3.lnk", L"no-such-dir\\4.lnk"}) {
    EXPECT_FALSE(Exists(Path(name))) << name;
  }
}

}  // namespace
