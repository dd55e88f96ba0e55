#include "services/file_services.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "framework/owner.h"
#include "framework/platform_error.h"
#include "framework/text.h"
#include "services/directory_rules.h"
#include "services/file_access.h"
#include "services/text_file_rules.h"

namespace services {

namespace {

constexpr DWORD kReadPiece = 4096;

// A link the tree walk must not enter: junctions and directory symbolic links. Other reparse
// points (placeholders of synchronised folders, for example) are ordinary directories. A tag
// the platform did not report counts as a link, so the walk errs on the side of not entering.
bool IsDirectoryLink(const WIN32_FIND_DATAW& entry) {
  if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  return entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(entry.dwReserved0);
}

// The path names a directory link itself (trailing backslashes do not reach through it).
bool PathIsDirectoryLink(std::wstring path) {
  while (path.size() > 1 && path.back() == L'\\') path.pop_back();
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  WIN32_FIND_DATAW entry;
  const fx::UniqueFind search(::FindFirstFileW(path.c_str(), &entry));
  if (!search) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return IsDirectoryLink(entry);
}

bool IsDots(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') ||
         (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// Depth is bounded: every level's search pattern must stay below 260 characters.
bool DeleteTree(const std::wstring& path) {
  const std::optional<DirectoryListing> listing = DirectoryListingFor(fx::AsU16(path));
  if (!listing) return false;
  const std::wstring directory = fx::ToWide(listing->directory);
  WIN32_FIND_DATAW entry;
  fx::UniqueFind search = StartNameSearch(fx::ToWide(listing->pattern), entry);
  if (!search) return false;
  const std::wstring prefix = directory.back() == L'\\' ? directory : directory + L'\\';
  do {
    if (IsDots(entry.cFileName)) continue;
    const std::wstring child = prefix + entry.cFileName;
    if (IsDirectoryLink(entry)) {
      ::RemoveDirectoryW(child.c_str());  // the link only; a failure shows in the final removal
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      DeleteTree(child);  // a failure shows in the final removal
    } else if (!::DeleteFileW(child.c_str())) {
      return false;
    }
  } while (::FindNextFileW(search.get(), &entry));
  search.reset();
  return ::RemoveDirectoryW(directory.c_str()) != FALSE;
}

}  // namespace

std::wstring ReadFileContent(CBaseDHtmlPgDlg&, BSTR path) {
  const fx::UniqueFile file = OpenFileUnshared(path, GENERIC_READ, OPEN_EXISTING);
  if (!file) return std::wstring();
  FirstLineReader reader;
  char piece[kReadPiece];
  for (;;) {
    DWORD read = 0;
    const BOOL ok = ::ReadFile(file.get(), piece, sizeof piece, &read, nullptr);
    fx::ThrowLastErrorIf(!ok, L"The file could not be read.");
    if (read == 0 || !reader.Feed(std::string_view(piece, read))) break;
  }
  return fx::ToWide(reader.Finish());
}

bool WriteFileContent(CBaseDHtmlPgDlg&, BSTR path, BSTR text) {
  if (!path) return false;
  // The whole text is checked before the file is opened: a text that cannot be written must
  // not cost the file its old content.
  if (!text) throw fx::PlatformError(E_INVALIDARG, L"No text to write.");
  const std::optional<std::string> bytes =
      TextFileBytes(fx::AsU16(std::wstring_view(text, ::SysStringLen(text))));
  if (!bytes) {
    throw fx::PlatformError(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION),
                            L"The text holds a character that cannot be written to the file.");
  }
  const fx::UniqueFile file = OpenFileUnshared(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (!file) return false;
  std::string_view rest(*bytes);
  while (!rest.empty()) {
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 20));
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file.get(), rest.data(), size, &written, nullptr);
    fx::ThrowLastErrorIf(!ok, L"The file could not be written.");
    rest.remove_prefix(written);
  }
  return true;
}

bool DeleteFile(CBaseDHtmlPgDlg&, const std::wstring& path) {
  return ::DeleteFileW(path.c_str()) != FALSE;
}

bool MoveFile(CBaseDHtmlPgDlg&, const std::wstring& existing, const std::wstring& moved) {
  return ::MoveFileW(existing.c_str(), moved.c_str()) != FALSE;
}

bool FileExist(CBaseDHtmlPgDlg&, const std::wstring& name) { return NameSearchFinds(name); }

bool CreateDirectory(CBaseDHtmlPgDlg&, const std::wstring& path) {
  const std::vector<std::u16string> order = DirectoryCreationOrder(fx::AsU16(path));
  if (order.empty()) return false;
  // Parents that exist or cannot be created simply fail here; only the last step counts.
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    ::CreateDirectoryW(fx::ToWide(order[i]).c_str(), nullptr);
  }
  return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

bool DeleteDirectory(CBaseDHtmlPgDlg&, const std::wstring& path) {
  const std::optional<DirectoryListing> listing = DirectoryListingFor(fx::AsU16(path));
  if (!listing) return false;
  const std::wstring directory = fx::ToWide(listing->directory);
  if (PathIsDirectoryLink(directory)) return ::RemoveDirectoryW(directory.c_str()) != FALSE;
  return DeleteTree(directory);
}

bool DirectoryExist(CBaseDHtmlPgDlg&, const std::wstring& name) {
  WIN32_FIND_DATAW entry;
  const fx::UniqueFind search(::FindFirstFileW(name.c_str(), &entry));
  return search && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(CBaseDHtmlPgDlg&, const std::wstring& path) {
  return ::PathFileExistsW(path.c_str()) != FALSE;
}

bool CreateShortcut(CBaseDHtmlPgDlg&, const std::wstring& target, const std::wstring& shortcut,
                    const std::wstring& arguments, const std::wstring&, const std::wstring&,
                    const std::wstring&) {
  if (!OpenFileUnshared(target.c_str(), GENERIC_READ, OPEN_EXISTING)) return false;
  // Adds a reference when the page host has initialised the thread already.
  const fx::ComScope com;
  fx::ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.put_void()))) {
    return false;
  }
  link->SetPath(target.c_str());
  link->SetArguments(arguments.c_str());
  link->SetDescription(L"");
  const fx::ComPtr<IPersistFile> file = link.As<IPersistFile>(IID_IPersistFile);
  if (!file) return false;
  return SUCCEEDED(file->Save(shortcut.c_str(), TRUE));
}

}  // namespace services
