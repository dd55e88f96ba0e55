#include "report/report_sender.h"

#include <cstdlib>
#include <memory>

#include "framework/text.h"
#include "framework/thread.h"
#include "http/transfer_rules.h"
#include "http/url_rules.h"
#include "report/report_rules.h"

namespace report {
namespace {

ReportValues ValuesOf(const ReportSettings& settings) {
  ReportValues values;
  values.report_url = fx::AsU16(settings.m_strReportUrl);
  values.analytics_url = fx::AsU16(settings.m_strAnalyticsUrl);
  values.tracking_id = fx::AsU16(settings.m_strTrackingID);
  values.version = fx::AsU16(settings.m_strVersion);
  values.source_id = fx::AsU16(settings.m_strSourceID);
  values.client_id = fx::AsU16(settings.m_strClientID);
  values.install_date = fx::AsU16(settings.m_strInstallDate);
  return values;
}

// One GET; the status code is read and ignored, the body never. Any failure ends it quietly.
void SendReport(const ReportChannel& channel, const std::wstring& url) {
  const http::UrlParts parts = http::SplitUrl(fx::AsU16(url));
  if (!parts.valid) return;
  http::HttpConnection connection;
  http::HttpRequest request;
  if (http::OpenHttpRequest(
          channel.session, fx::ToWide(parts.server), parts.port, L"GET", fx::ToWide(parts.object),
          http::RequestFlags(http::Transfer::kGet, parts.port), connection, request)) {
    return;
  }
  if (request.Send(std::wstring_view(), nullptr /*body*/, 0)) return;
  DWORD status = 0;
  request.QueryStatusCode(&status);
}

// Starts a worker that owns the URL, formatted before it starts, and a reference to the
// channel; when no thread can be started both are released here.
void LaunchWorker(const ReportSettings& settings, const std::u16string& url) {
  // Nobody waits for the worker, so its handle is closed at once.
  fx::StartThread([url = fx::ToWide(url), channel = settings.m_pChannel] {
    ++channel->active;
    try {
      SendReport(*channel, url);
    } catch (...) {
      // Out of memory while building a request string: lost like any other failed report.
    }
    --channel->active;
  });
}

}  // namespace

void InitReport(ReportSettings& settings, const std::wstring& version,
                const std::wstring& source_id, const std::wstring& tracking_id,
                const std::wstring& report_url, bool use_https) {
  settings.m_strVersion = version;
  settings.m_strSourceID = source_id;
  settings.m_strTrackingID = tracking_id;
  settings.m_strReportUrl = report_url;
  ApplySchemeSwitch(settings, use_https);
}

void ApplySchemeSwitch(ReportSettings& settings, bool use_https) {
  settings.m_strReportUrl = fx::ToWide(SwitchScheme(fx::AsU16(settings.m_strReportUrl), use_https));
  settings.m_strAnalyticsUrl =
      fx::ToWide(SwitchScheme(fx::AsU16(settings.m_strAnalyticsUrl), use_https));
}

void StartReport(ReportSettings& settings, const std::wstring& action, const std::wstring& label) {
  ReportChannel& channel = *settings.m_pChannel;
  // Workers only ever see the session after it is open: it is opened before the first of them
  // starts and never replaced.
  if (!channel.session.get()) channel.session.Open();
  const bool ready = channel.session.get() != nullptr;
  const ReportValues values = ValuesOf(settings);
  if (ready) LaunchWorker(settings, ReportRequestUrl(values, fx::AsU16(action), fx::AsU16(label)));
  const int z = std::rand();
  if (ready) {
    LaunchWorker(settings, AnalyticsHitUrl(values, fx::AsU16(action), fx::AsU16(label), z));
  }
}

void StartReportZh(ReportSettings& settings, const std::wstring& action,
                   const std::wstring& label) {
  StartReport(settings, fx::ToWide(EscapeReportText(fx::AsU16(action))),
              fx::ToWide(EscapeReportText(fx::AsU16(label))));
}

int WaitForReports(const ReportSettings& settings, DWORD step_ms) {
  const ReportChannel& channel = *settings.m_pChannel;
  for (int look = 1; look <= kReportWaitLooks; ++look) {
    const bool idle = channel.active == 0;
    ::Sleep(step_ms);
    if (idle) return look;
  }
  return kReportWaitLooks;
}

void ApplyMainWindowReportValues(ReportSettings& settings, const std::wstring& product_name) {
  LoadUninstallEntry(settings, product_name);
  settings.m_strTrackingID = L"UA-13579246-2";
  settings.m_strReportUrl = MainWindowReportUrl();
  ApplySchemeSwitch(settings, false);
}

}  // namespace report
