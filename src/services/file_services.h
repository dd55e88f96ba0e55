// File, directory and shortcut services of the scripted page dialog. Paths are used as the page
// passes them (relative to the current directory). UI thread; failures are false or "", except
// where a function says it throws fx::PlatformError (which reaches the script as an error).
// <windows.h> comes first so that the names the platform defines as macros (DeleteFile,
// MoveFile, CreateDirectory) are spelled the same in every file that uses them.
#pragma once

#include <windows.h>

#include <string>

class CBaseDHtmlPgDlg;

namespace services {

// The first line of a one-byte-per-character text file; "" when the path is null or the file
// cannot be opened (missing, held open elsewhere, a directory, 260+ characters). Throws
// fx::PlatformError when reading fails after the open.
std::wstring ReadFileContent(CBaseDHtmlPgDlg& window, BSTR path);

// Replaces the file's content with the text (up to its first NUL; each LF as CR LF). False
// when the path is null or the file cannot be created. Throws fx::PlatformError, before the
// file is touched, for a null text or one with a character above U+00FF, and when a write
// fails.
bool WriteFileContent(CBaseDHtmlPgDlg& window, BSTR path, BSTR text);

bool DeleteFile(CBaseDHtmlPgDlg& window, const std::wstring& path);

// Never overwrites: fails when the new path exists.
bool MoveFile(CBaseDHtmlPgDlg& window, const std::wstring& existing, const std::wstring& moved);

// True when a search for the name (wildcards allowed) finds any file or directory.
bool FileExist(CBaseDHtmlPgDlg& window, const std::wstring& name);

// Creates the missing parents from the top down, then the directory; true only when the last
// step created it (an existing directory gives false).
bool CreateDirectory(CBaseDHtmlPgDlg& window, const std::wstring& path);

// Deletes the directory with everything in it. A directory junction or symbolic link inside
// the tree (or given as the path) is removed itself; its target is never entered. False when
// the path holds no "\", nothing is found, a file cannot be deleted (entries deleted before it
// stay deleted) or the final removal fails.
bool DeleteDirectory(CBaseDHtmlPgDlg& window, const std::wstring& path);

// True when the first entry a search for the name finds is a directory.
bool DirectoryExist(CBaseDHtmlPgDlg& window, const std::wstring& name);

// True when the path names an existing file or directory (no wildcards).
bool FileExists(CBaseDHtmlPgDlg& window, const std::wstring& path);

// Writes a shell shortcut file pointing at an existing file, with the arguments and an empty
// description. False when the target cannot be opened, the shell link is unavailable or the
// shortcut file cannot be saved. The last three arguments are not used.
bool CreateShortcut(CBaseDHtmlPgDlg& window, const std::wstring& target,
                    const std::wstring& shortcut, const std::wstring& arguments,
                    const std::wstring& unused4, const std::wstring& unused5,
                    const std::wstring& unused6);

}  // namespace services
