// The report rules on any text: the escaped form of StartReportZh is short, made of the safe
// characters only, escapes to itself, and grows only at its end when text is added; the scheme
// switch leaves nothing to switch; the request URLs carry their values as they are.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "report/report_rules.h"

namespace {

bool IsSafe(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) {
    return true;
  }
  return std::u16string_view(u"!'()*-._~/:%").find(c) != std::u16string_view::npos;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> pieces = fuzz::SplitInput(data, size, 3);
  const fuzz::ExactText text(fuzz::DecodeText(pieces[0]));
  const fuzz::ExactText more(fuzz::DecodeText(pieces[1]));
  const fuzz::ExactText other(fuzz::DecodeText(pieces[2]));

  const std::u16string escaped = report::EscapeReportText(text.view());
  FUZZ_CHECK(escaped.size() <= report::kMaxEscapedChars);
  for (char16_t c : escaped) FUZZ_CHECK(IsSafe(c));
  FUZZ_CHECK(report::EscapeReportText(escaped) == escaped);
  // Escaping goes byte by byte and cuts only at the end; a high surrogate at the end of text
  // could pair with the added text, which changes its bytes.
  if (text.view().empty() || !IsHighSurrogate(text.view().back())) {
    const std::u16string longer =
        report::EscapeReportText(std::u16string(text.view()) + std::u16string(more.view()));
    FUZZ_CHECK(fuzz::StartsWith(longer, escaped));
  }

  for (const bool use_https : {true, false}) {
    const std::u16string switched = report::SwitchScheme(text.view(), use_https);
    const std::u16string_view left = use_https ? u"http://" : u"https://";
    FUZZ_CHECK(switched.find(left) == std::u16string::npos);
    FUZZ_CHECK(report::SwitchScheme(switched, use_https) == switched);
  }

  const std::u16string source = report::SourceIdFromSetupName(text.view());
  FUZZ_CHECK(source == u"0" || text.view().find(source) != std::u16string_view::npos);

  report::ReportValues values;
  values.report_url = other.view();
  values.analytics_url = other.view();
  values.tracking_id = more.view();
  values.version = text.view();
  values.source_id = more.view();
  values.client_id = other.view();
  values.install_date = text.view();
  const std::u16string request = report::ReportRequestUrl(values, text.view(), more.view());
  FUZZ_CHECK(fuzz::StartsWith(
      request, std::u16string(other.view()) + u"?a=" + std::u16string(text.view()) + u"&v="));
  FUZZ_CHECK(fuzz::EndsWith(request, u"&c=" + std::u16string(other.view())));
  const int z = static_cast<int>(size % 32768);
  const std::u16string hit = report::AnalyticsHitUrl(values, text.view(), more.view(), z);
  FUZZ_CHECK(fuzz::StartsWith(hit, std::u16string(other.view()) + u"/collect?v=1&tid="));
  FUZZ_CHECK(fuzz::EndsWith(hit, u"&cd3=" + std::u16string(text.view())));
  return 0;
}
