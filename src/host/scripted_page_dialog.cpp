#include "host/scripted_page_dialog.h"

#include "http/http_services.h"
#include "report/report_services.h"
#include "services/config_services.h"
#include "services/file_services.h"
#include "services/folder_services.h"
#include "services/pair_services.h"
#include "services/process_services.h"
#include "services/window_services.h"

// The service catalogue in its fixed table order; the position of each line is part of the
// interface. Services live in src/services, src/http, src/report and src/network as functions
// taking the calling window first.
const fx::DispatchEntry kServiceEntries[] = {
    // 1 GetVersion, 2 GetInstallDate, 3 GetSourceID, 4 GetClientID, 5 StartReportZh,
    // 6 StartReport, 7 InitReport, 8 ReportWait, 9 GetCommandLine, 10 ShellExecute,
    // 11 GetPair, 12 InsertPair, 13 GetCommonAppDataPath, 14 GetCommonDesktopPath,
    // 15 GetCommonDocumentsPath, 16 GetCommonStartMenuPath, 17 GetCommonStartupPath,
    // 18 GetCommonProgramFilesPath, 19 GetUserAppDataPath, 20 GetUserLocalAppDataPath,
    // 21 GetUserDesktopPath, 22 GetUserDocumentsPath, 23 GetUserStartMenuPath,
    // 24 GetUserStartupPath, 25 GetUserProgramFilesPath, 26 GetSystemPath, 27 GetWindowsPath,
    // 28 GetAppCurrentPath, 29 RegReadString, 30 RegReadInt, 31 RegWriteString,
    // 32 RegWriteInt, 33 ReadConfig, 34 WriteConfig, 35 ReadFileContent, 36 WriteFileContent,
    // 37 DeleteFile, 38 MoveFile, 39 FileExist, 40 CreateDirectory, 41 DeleteDirectory,
    // 42 DirectoryExist, 43 FileExists, 44 CreateShortcut, 45 GetCurrWindowText,
    // 46 FindWindowByName, 47 IsWindowVisible, 48 SendMessage, 49 PostMessage, 50 ShowTray,
    // 51 ShowTip, 52 FreeTray, 53 SetProcessWorkingSetSize, 54 DownLoadFile, 55 UploadFile,
    // 56 GetStringFromUrl, 57 PostDataToUrl, 58 CreateSplitWeb, 59 ShellExecuteAndWait
    fx::Method<&services::GetVersion>(L"GetVersion"),
    fx::Method<&services::GetInstallDate>(L"GetInstallDate"),
    fx::Method<&services::GetSourceID>(L"GetSourceID"),
    fx::Method<&services::GetClientID>(L"GetClientID"),
    fx::Method<&services::StartReportZh>(L"StartReportZh"),
    fx::Method<&services::StartReport>(L"StartReport"),
    fx::Method<&services::InitReport>(L"InitReport"),
    fx::Method<&services::ReportWait>(L"ReportWait"),
    fx::Method<&services::GetCommandLine>(L"GetCommandLine"),
    fx::Method<&services::ShellExecute>(L"ShellExecute"),
    fx::Method<&services::GetPair>(L"GetPair"),
    fx::Method<&services::InsertPair>(L"InsertPair"),
    fx::Method<&services::GetCommonAppDataPath>(L"GetCommonAppDataPath"),
    fx::Method<&services::GetCommonDesktopPath>(L"GetCommonDesktopPath"),
    fx::Method<&services::GetCommonDocumentsPath>(L"GetCommonDocumentsPath"),
    fx::Method<&services::GetCommonStartMenuPath>(L"GetCommonStartMenuPath"),
    fx::Method<&services::GetCommonStartupPath>(L"GetCommonStartupPath"),
    fx::Method<&services::GetCommonProgramFilesPath>(L"GetCommonProgramFilesPath"),
    fx::Method<&services::GetUserAppDataPath>(L"GetUserAppDataPath"),
    fx::Method<&services::GetUserLocalAppDataPath>(L"GetUserLocalAppDataPath"),
    fx::Method<&services::GetUserDesktopPath>(L"GetUserDesktopPath"),
    fx::Method<&services::GetUserDocumentsPath>(L"GetUserDocumentsPath"),
    fx::Method<&services::GetUserStartMenuPath>(L"GetUserStartMenuPath"),
    fx::Method<&services::GetUserStartupPath>(L"GetUserStartupPath"),
    fx::Method<&services::GetUserProgramFilesPath>(L"GetUserProgramFilesPath"),
    fx::Method<&services::GetSystemPath>(L"GetSystemPath"),
    fx::Method<&services::GetWindowsPath>(L"GetWindowsPath"),
    fx::Method<&services::GetAppCurrentPath>(L"GetAppCurrentPath"),
    fx::Method<&services::RegReadString>(L"RegReadString"),
    fx::Method<&services::RegReadInt>(L"RegReadInt"),
    fx::Method<&services::RegWriteString>(L"RegWriteString"),
    fx::Method<&services::RegWriteInt>(L"RegWriteInt"),
    fx::Method<&services::ReadConfig>(L"ReadConfig"),
    fx::Method<&services::WriteConfig>(L"WriteConfig"),
    fx::Method<&services::ReadFileContent>(L"ReadFileContent"),
    fx::Method<&services::WriteFileContent>(L"WriteFileContent"),
    fx::Method<&services::DeleteFile>(L"DeleteFile"),
    fx::Method<&services::MoveFile>(L"MoveFile"),
    fx::Method<&services::FileExist>(L"FileExist"),
    fx::Method<&services::CreateDirectory>(L"CreateDirectory"),
    fx::Method<&services::DeleteDirectory>(L"DeleteDirectory"),
    fx::Method<&services::DirectoryExist>(L"DirectoryExist"),
    fx::Method<&services::FileExists>(L"FileExists"),
    fx::Method<&services::CreateShortcut>(L"CreateShortcut"),
    fx::Method<&services::GetCurrWindowText>(L"GetCurrWindowText"),
    fx::Method<&services::FindWindowByName>(L"FindWindowByName"),
    fx::Method<&services::IsWindowVisible>(L"IsWindowVisible"),
    fx::Method<&services::SendMessage>(L"SendMessage"),
    fx::Method<&services::PostMessage>(L"PostMessage"),
    fx::Method<&services::SetProcessWorkingSetSize>(L"SetProcessWorkingSetSize"),
    fx::Method<&services::DownLoadFile>(L"DownLoadFile"),
    fx::Method<&services::UploadFile>(L"UploadFile"),
    fx::Method<&services::GetStringFromUrl>(L"GetStringFromUrl"),
    fx::Method<&services::PostDataToUrl>(L"PostDataToUrl"),
    fx::Method<&services::ShellExecuteAndWait>(L"ShellExecuteAndWait"),
};
const fx::DispatchTable CBaseDHtmlPgDlg::kDispatch =
    fx::MakeDispatchTable(&CBaseDHtmlDlg::kDispatch, kServiceEntries);

CBaseDHtmlPgDlg::CBaseDHtmlPgDlg(const std::wstring& page, const std::wstring& element, HWND parent)
    : CBaseDHtmlDlg(page, element, parent) {}

const fx::DispatchTable* CBaseDHtmlPgDlg::GetDispatchTable() const { return &kDispatch; }
