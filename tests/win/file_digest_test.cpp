// The SHA-256 digest of files through the platform's hash provider, against published test
// vectors, with contents that span several read chunks.
#include "updater/file_digest.h"

#include <gtest/gtest.h>
#include <string>

#include "fixtures/file_bytes.h"
#include "framework/owner.h"

namespace updater {
namespace {

std::wstring TestFile(const wchar_t* name) {
  const std::wstring folder = fixtures::TempFolder() + L"MiravoltDigestTest";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\" + name;
}

fx::UniqueFile OpenFile(const std::wstring& path, DWORD access) {
  return fx::UniqueFile(::CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(FileDigest, FilesHashToTheirPublishedDigests) {
  const struct {
    const wchar_t* name;
    std::string contents;
    const char16_t* hex;
  } cases[] = {
      {L"empty", "", u"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {L"abc", "abc", u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // Many chunks, the last one partly filled.
      {L"million", std::string(1000000, 'a'),
       u"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    const std::wstring path = TestFile(c.name);
    fixtures::WriteFileBytes(path, c.contents);
    const fx::UniqueFile file = OpenFile(path, GENERIC_READ);
    ASSERT_TRUE(file);
    const std::optional<Sha256Digest> digest = Sha256OfFile(file.get());
    ASSERT_TRUE(digest.has_value());
    EXPECT_EQ(digest, Sha256FromHex(c.hex));
  }
}

TEST(FileDigest, AFileThatCannotBeReadHasNoDigest) {
  const std::wstring path = TestFile(L"write-only");
  fixtures::WriteFileBytes(path, "abc");
  const fx::UniqueFile file = OpenFile(path, GENERIC_WRITE);
  ASSERT_TRUE(file);
  EXPECT_FALSE(Sha256OfFile(file.get()).has_value());
}

}  // namespace
}  // namespace updater
