// The script interface's rules, checked through a real JScript engine against a test-only
// class with a two-level table chain.
#include <gtest/gtest.h>
#include <string>

#include "framework/dispatcher.h"
#include "framework/owner.h"
#include "framework/script_engine.h"

namespace {

class ProbeBase : public fx::DispatchTarget {
 public:
  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override { return &kDispatch; }
  int BaseOnly() { return 7; }
  std::wstring Shadowed() { return L"base"; }
};

const fx::DispatchEntry kBaseEntries[] = {
    fx::Method<&ProbeBase::BaseOnly>(L"BaseOnly"),
    fx::Method<&ProbeBase::Shadowed>(L"Shadowed"),
};
const fx::DispatchTable ProbeBase::kDispatch = fx::MakeDispatchTable(nullptr, kBaseEntries);

// Sets a flag when it goes out of scope: shows that a method's cleanup ran.
struct CleanupFlag {
  bool* flag;
  ~CleanupFlag() { *flag = true; }
};

class Probe : public ProbeBase {
 public:
  static const fx::DispatchTable kDispatch;
  const fx::DispatchTable* GetDispatchTable() const override { return &kDispatch; }

  std::wstring Echo(const std::wstring& s) {
    ++calls;
    return s;
  }
  int CopiedLength(const std::wstring& s) { return static_cast<int>(s.size()); }
  int RawLength(BSTR s) { return s ? static_cast<int>(::SysStringLen(s)) : -1; }
  int Add(int a, int b) {
    ++calls;
    return a + b;
  }
  int BoolAsInt(bool b) { return b ? 1 : 0; }
  bool Negate(bool b) { return !b; }
  std::wstring Empty() { return std::wstring(); }
  void Nothing() { ++calls; }
  int Calls() { return calls; }
  bool CleanedUp() { return cleaned_up; }
  void Fail() {
    CleanupFlag guard{&cleaned_up};
    ++calls;
    throw fx::PlatformError(E_ACCESSDENIED, L"denied");
  }
  std::wstring Shadowed() { return L"derived"; }
  int Four(int a, int b, int c, int d) { return a * 1000 + b * 100 + c * 10 + d; }

  int calls = 0;
  bool cleaned_up = false;
};

const fx::DispatchEntry kProbeEntries[] = {
    fx::Method<&Probe::Echo>(L"Echo"),           fx::Method<&Probe::CopiedLength>(L"CopiedLength"),
    fx::Method<&Probe::RawLength>(L"RawLength"), fx::Method<&Probe::Add>(L"Add"),
    fx::Method<&Probe::BoolAsInt>(L"BoolAsInt"), fx::Method<&Probe::Negate>(L"Negate"),
    fx::Method<&Probe::Empty>(L"Empty"),         fx::Method<&Probe::Nothing>(L"Nothing"),
    fx::Method<&Probe::Calls>(L"Calls"),         fx::Method<&Probe::CleanedUp>(L"CleanedUp"),
    fx::Method<&Probe::Fail>(L"Fail"),           fx::Method<&Probe::Shadowed>(L"Shadowed"),
    fx::Method<&Probe::Four>(L"Four"),
};
const fx::DispatchTable Probe::kDispatch =
    fx::MakeDispatchTable(&ProbeBase::kDispatch, kProbeEntries);

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_HRESULT_SUCCEEDED(engine_.Create());
    ASSERT_HRESULT_SUCCEEDED(engine_.AddObject(L"external", &dispatcher_, false));
    // err(f): "ok" when f runs, else "error " and the error's number in hex.
    ASSERT_HRESULT_SUCCEEDED(
        engine_.Execute(L"function err(f) { try { f(); return 'ok'; } catch (e) {"
                        L" return 'error ' + (e.number >>> 0).toString(16).toUpperCase(); } }"));
  }
  void TearDown() override { engine_.Close(); }

  // The value of a JScript expression as text.
  std::wstring Eval(const std::wstring& expression) {
    fx::UniqueVariant result;
    const HRESULT hr = engine_.Evaluate(expression, result.get());
    if (FAILED(hr)) return L"<failed>";
    fx::UniqueVariant text;
    if (FAILED(::VariantChangeType(text.get(), result.get(), VARIANT_ALPHABOOL, VT_BSTR))) {
      return L"<?>";
    }
    return text->bstrVal ? text->bstrVal : L"";
  }

  Probe probe_;
  fx::DispatchObject object_{probe_};
  fx::Dispatcher& dispatcher_ = *object_.get();
  fx::ScriptEngine engine_;
};

struct ScriptCase {
  const wchar_t* expression;
  const wchar_t* expected;
};

TEST_F(DispatchTest, ScriptCallsFollowTheInterfaceRules) {
  const ScriptCase cases[] = {
      // Names in any letter case reach the same method.
      {L"external.Echo('abc')", L"abc"},
      {L"external.echo('abc')", L"abc"},
      {L"external.ECHO('abc')", L"abc"},
      // Conversions to the declared kinds.
      {L"external.Echo(12)", L"12"},
      {L"external.Echo(-2.5)", L"-2.5"},
      {L"external.Echo(true)", L"-1"},
      {L"external.Add('40', 2)", L"42"},
      {L"external.Add(true, 0)", L"-1"},
      {L"external.Add(2.4, 0)", L"2"},
      {L"external.BoolAsInt(true)", L"1"},
      {L"external.BoolAsInt(7)", L"1"},
      {L"external.BoolAsInt(0)", L"0"},
      {L"external.Negate(0)", L"True"},
      {L"err(function () { external.Negate(''); })", L"error 80020005"},
      {L"typeof external.Negate(1)", L"boolean"},
      {L"external.Four(1, 2, 3, 4)", L"1234"},
      // Copied strings end at the first NUL; passed-through strings keep it.
      {L"external.CopiedLength('ab\\0cd')", L"2"},
      {L"external.RawLength('ab\\0cd')", L"5"},
      {L"external.Echo('ab\\0cd')", L"ab"},
      // Results: empty string is a string, no result is undefined, integers bit for bit.
      {L"typeof external.Empty()", L"string"},
      {L"external.Empty() === ''", L"True"},
      {L"typeof external.Nothing()", L"undefined"},
      {L"external.Add(2147483647, 0)", L"2147483647"},
      {L"external.Add(-2147483648, 0)", L"-2147483648"},
      // The own table first, then the base's.
      {L"external.Shadowed()", L"derived"},
      {L"external.baseonly()", L"7"},
      // Argument count errors.
      {L"err(function () { external.Echo(); })", L"error 8002000F"},
      {L"err(function () { external.Echo('a', 'b'); })", L"error 8002000E"},
      {L"err(function () { external.Nothing(1); })", L"error 8002000E"},
      {L"err(function () { external.Four(1, 2, 3); })", L"error 8002000F"},
      // A failed conversion is the platform's conversion error.
      {L"err(function () { external.Add('abc', 1); })", L"error 80020005"},
      {L"err(function () { external.Add({}, 1); })", L"error 80020005"},
      // A platform failure inside a method is a script error carrying the failure's code.
      {L"err(function () { external.Fail(); })", L"error 80070005"},
      // An unknown name is an error.
      {L"err(function () { external.Missing(); })", L"error 800A01B6"},
  };
  for (const ScriptCase& c : cases) {
    EXPECT_EQ(Eval(c.expression), c.expected)
        << "expression: " << testing::PrintToString(std::wstring(c.expression));
  }
}

TEST_F(DispatchTest, NoMethodCodeRunsWhenArgumentsAreRejected) {
  const wchar_t* rejected[] = {
      L"external.Echo()",
      L"external.Echo('a', 'b')",
      L"external.Add('x', 1)",
      L"external.Add(1)",
  };
  for (const wchar_t* call : rejected) {
    probe_.calls = 0;
    EXPECT_EQ(Eval(std::wstring(L"err(function () { ") + call + L"; })").substr(0, 5), L"error")
        << testing::PrintToString(std::wstring(call));
    EXPECT_EQ(probe_.calls, 0) << testing::PrintToString(std::wstring(call));
  }
}

TEST_F(DispatchTest, MethodCleanupRunsBeforeTheScriptSeesTheError) {
  EXPECT_EQ(Eval(L"err(function () { external.Fail(); })"), L"error 80070005");
  EXPECT_EQ(probe_.calls, 1);
  EXPECT_TRUE(probe_.cleaned_up);
}

TEST_F(DispatchTest, DispatchNumbersCountPositionAndStepsToTheDeclaringClass) {
  struct {
    const wchar_t* name;
    DISPID expected;
  } cases[] = {
      {L"Echo", 1},
      {L"four", 13},
      {L"Shadowed", 12},
      {L"BaseOnly", 1 | (1 << 16)},
      {L"Missing", DISPID_UNKNOWN},
  };
  for (const auto& c : cases) {
    LPOLESTR name = const_cast<LPOLESTR>(c.name);
    DISPID id = 0;
    const HRESULT hr = dispatcher_.GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    EXPECT_EQ(id, c.expected) << testing::PrintToString(std::wstring(c.name));
    EXPECT_EQ(hr, c.expected == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK);
  }
  // Numbers that no entry has.
  VARIANT result;
  DISPPARAMS none{};
  for (DISPID id : {0, 14, 5 | (1 << 16), 1 | (2 << 16), -1}) {
    EXPECT_EQ(
        dispatcher_.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND)
        << id;
  }
}

// Calls a one-string method directly with the given BSTR argument.
std::wstring InvokeWithBstr(fx::Dispatcher& dispatcher, const wchar_t* name, BSTR argument,
                            VARTYPE* result_type, bool* result_null) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 0;
  dispatcher.GetIDsOfNames(IID_NULL, names, 1, 0, &id);
  VARIANT arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = argument;
  DISPPARAMS params{&arg, nullptr, 1, 0};
  fx::UniqueVariant result;
  const HRESULT hr =
      dispatcher.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.put(), nullptr, nullptr);
  if (FAILED(hr)) return L"<failed>";
  *result_type = result->vt;
  *result_null = result->vt == VT_BSTR && result->bstrVal == nullptr;
  fx::UniqueVariant text;
  ::VariantChangeType(text.get(), result.get(), 0, VT_BSTR);
  return text->bstrVal ? text->bstrVal : L"";
}

TEST_F(DispatchTest, NullStringsArriveEmptyOrUnchanged) {
  VARTYPE type = VT_EMPTY;
  bool null_result = true;
  // A copied null string is empty, and an empty result is an empty BSTR, never null.
  EXPECT_EQ(InvokeWithBstr(dispatcher_, L"Echo", nullptr, &type, &null_result), L"");
  EXPECT_EQ(type, VT_BSTR);
  EXPECT_FALSE(null_result);
  // A passed-through string stays null.
  EXPECT_EQ(InvokeWithBstr(dispatcher_, L"RawLength", nullptr, &type, &null_result), L"-1");
}

TEST_F(DispatchTest, ExceptionCarriesADescription) {
  LPOLESTR name = const_cast<LPOLESTR>(L"Fail");
  DISPID id = 0;
  ASSERT_EQ(dispatcher_.GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  DISPPARAMS none{};
  EXCEPINFO info{};
  fx::UniqueVariant result;
  EXPECT_EQ(
      dispatcher_.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &none, result.put(), &info, nullptr),
      DISP_E_EXCEPTION);
  EXPECT_EQ(info.scode, E_ACCESSDENIED);
  ASSERT_NE(info.bstrDescription, nullptr);
  EXPECT_NE(std::wstring(info.bstrDescription).find(L"denied"), std::wstring::npos);
  EXPECT_EQ(result->vt, VT_EMPTY);
  ::SysFreeString(info.bstrDescription);
}

}  // namespace
