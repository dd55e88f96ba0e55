// The dialog templates and icons the programs are built with, read back from the resources.
#include <windows.h>

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct DialogItem {
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  std::wstring window_class;  // a predefined class atom becomes its name
  std::wstring text;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD ex_style = 0;
  short cx = 0, cy = 0;
  std::wstring caption;
  WORD point_size = 0;
  std::wstring font;
  std::vector<DialogItem> items;
  LANGID language = 0;
};

// Reads a name-or-ordinal field; ordinals of predefined classes come back as class names.
std::wstring ReadField(const WORD*& p) {
  if (*p == 0xFFFF) {
    const WORD atom = p[1];
    p += 2;
    switch (atom) {
      case 0x0080:
        return L"Button";
      case 0x0081:
        return L"Edit";
      case 0x0082:
        return L"Static";
      default:
        return L"#" + std::to_wstring(atom);
    }
  }
  std::wstring s(reinterpret_cast<const wchar_t*>(p));
  p += s.size() + 1;
  return s;
}

const WORD* AlignDword(const WORD* p) {
  return reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR{3});
}

BOOL CALLBACK TakeLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
  *reinterpret_cast<LANGID*>(out) = language;
  return FALSE;
}

bool LoadDialog(int id, DialogTemplate* out) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /*RT_DIALOG*/);
  if (!found) return false;
  ::EnumResourceLanguagesW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), &TakeLanguage,
                           reinterpret_cast<LONG_PTR>(&out->language));
  const auto* p = static_cast<const WORD*>(::LockResource(::LoadResource(module, found)));
  if (!p || p[0] != 1 || p[1] != 0xFFFF) return false;  // extended templates only
  const auto* header = reinterpret_cast<const BYTE*>(p);
  std::memcpy(&out->ex_style, header + 8, 4);
  std::memcpy(&out->style, header + 12, 4);
  WORD count = 0;
  std::memcpy(&count, header + 16, 2);
  std::memcpy(&out->cx, header + 22, 2);
  std::memcpy(&out->cy, header + 24, 2);
  p = reinterpret_cast<const WORD*>(header + 26);
  ReadField(p);  // menu
  ReadField(p);  // class
  out->caption = ReadField(p);
  if (out->style & DS_SETFONT) {
    out->point_size = p[0];
    p += 3;  // point size, weight, italic and charset
    out->font = ReadField(p);
  }
  for (WORD i = 0; i < count; ++i) {
    p = AlignDword(p);
    const auto* item = reinterpret_cast<const BYTE*>(p);
    DialogItem d;
    std::memcpy(&d.style, item + 8, 4);
    std::memcpy(&d.x, item + 12, 2);
    std::memcpy(&d.y, item + 14, 2);
    std::memcpy(&d.cx, item + 16, 2);
    std::memcpy(&d.cy, item + 18, 2);
    std::memcpy(&d.id, item + 20, 4);
    p = reinterpret_cast<const WORD*>(item + 24);
    d.window_class = ReadField(p);
    d.text = ReadField(p);
    p += 1 + *p / 2;  // creation data
    out->items.push_back(d);
  }
  return true;
}

TEST(Resources, PageWindowTemplate) {
  DialogTemplate t;
  ASSERT_TRUE(LoadDialog(104, &t));
  EXPECT_EQ(t.style,
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(t.cx, 320);
  EXPECT_EQ(t.cy, 200);
  EXPECT_EQ(t.caption, L"对话框");
  EXPECT_EQ(t.point_size, 9);
  EXPECT_EQ(t.font, L"宋体");
  EXPECT_TRUE(t.items.empty());
}

TEST(Resources, UpdaterTemplate) {
  DialogTemplate t;
  ASSERT_TRUE(LoadDialog(102, &t));
  EXPECT_EQ(t.language, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
  EXPECT_EQ(t.style, 0x90C800C0u);
  EXPECT_EQ(t.ex_style, 0x00040000u);
  EXPECT_EQ(t.cx, 234);
  EXPECT_EQ(t.cy, 51);
  EXPECT_EQ(t.caption, L"升级程序");
  EXPECT_EQ(t.point_size, 9);
  EXPECT_EQ(t.font, L"宋体");
  ASSERT_EQ(t.items.size(), 2u);
  const DialogItem& bar = t.items[0];
  EXPECT_EQ(bar.id, 1000u);
  // Class names compare without regard to case, as the dialog manager does.
  EXPECT_EQ(_wcsicmp(bar.window_class.c_str(), L"msctls_progress32"), 0) << bar.window_class;
  EXPECT_EQ(bar.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER));
  EXPECT_EQ(bar.x, 7);
  EXPECT_EQ(bar.y, 7);
  EXPECT_EQ(bar.cx, 220);
  EXPECT_EQ(bar.cy, 18);
  const DialogItem& status = t.items[1];
  EXPECT_EQ(status.id, 1001u);
  EXPECT_EQ(_wcsicmp(status.window_class.c_str(), L"Static"), 0) << status.window_class;
  EXPECT_EQ(status.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER));
  EXPECT_EQ(status.x, 7);
  EXPECT_EQ(status.y, 36);
  EXPECT_EQ(status.cx, 220);
  EXPECT_EQ(status.cy, 8);
  EXPECT_EQ(status.text, L"正在检查最新版本。。。");
}

TEST(Resources, IconsAreOne48PixelImage) {
  for (int id : {128, 129}) {
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(icon, nullptr) << id;
    HRSRC group = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));
    ASSERT_NE(group, nullptr) << id;
    const auto* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    WORD count = 0;
    std::memcpy(&count, dir + 4, 2);
    EXPECT_EQ(count, 1) << id;
    EXPECT_EQ(dir[6], 48) << id;  // width
    EXPECT_EQ(dir[7], 48) << id;  // height
    ::DestroyIcon(icon);
  }
}

}  // namespace
