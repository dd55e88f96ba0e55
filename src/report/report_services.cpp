#include "report/report_services.h"

#include "report/report_sender.h"
#include "report/report_settings.h"

namespace services {

std::wstring GetVersion(CBaseDHtmlPgDlg&) { return report::TheReportSettings().m_strVersion; }

std::wstring GetInstallDate(CBaseDHtmlPgDlg&) { return report::InstallDateOfProgram(); }

std::wstring GetSourceID(CBaseDHtmlPgDlg&) { return report::TheReportSettings().m_strSourceID; }

std::wstring GetClientID(CBaseDHtmlPgDlg&) { return report::TheReportSettings().m_strClientID; }

void StartReportZh(CBaseDHtmlPgDlg&, const std::wstring& action, const std::wstring& label) {
  report::StartReportZh(report::TheReportSettings(), action, label);
}

void StartReport(CBaseDHtmlPgDlg&, const std::wstring& action, const std::wstring& label) {
  report::StartReport(report::TheReportSettings(), action, label);
}

void InitReport(CBaseDHtmlPgDlg&, const std::wstring& version, const std::wstring& source_id,
                const std::wstring& tracking_id, const std::wstring& report_url, bool use_https) {
  report::InitReport(report::TheReportSettings(), version, source_id, tracking_id, report_url,
                     use_https);
}

void ReportWait(CBaseDHtmlPgDlg&) {
  report::WaitForReports(report::TheReportSettings(), report::kReportWaitStepMs);
}

}  // namespace services
