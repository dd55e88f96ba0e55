// A JScript engine hosted in-process: named objects, statements run at once, expressions
// evaluated, and the error that escapes a run recorded with its code and description.
// UI thread only (the engine is apartment-threaded); Close() before the objects it names die.
#pragma once

#include <windows.h>
#include <activscp.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/owner.h"

namespace fx {

struct ScriptFailure {
  HRESULT code = S_OK;       // the error's number as the script would see it
  std::wstring description;  // may be empty
  ULONG line = 0;            // from 1; 0 when unknown
};

class ScriptEngine {
 public:
  ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;
  ~ScriptEngine();

  // Starts the engine. Returns the failure HRESULT when JScript cannot be created.
  HRESULT Create();
  // Names an object for the scripts; with global_members its members are global names.
  HRESULT AddObject(const std::wstring& name, IDispatch* object, bool global_members);
  // Runs statements. Returns S_OK, or the code of the error that escaped (then failure()).
  HRESULT Execute(std::wstring_view text);
  // Evaluates an expression into result. Same returns as Execute.
  HRESULT Evaluate(std::wstring_view expression, VARIANT* result);
  // The error that escaped the most recent outermost failing run.
  const std::optional<ScriptFailure>& failure() const { return failure_; }
  // Ends the engine and releases every named object; safe to call twice. Called while a run
  // is in progress (a script closing its own window), it takes effect when the outermost run
  // returns.
  void Close();

  bool created() const { return script_ && !close_pending_; }

 private:
  class Site;
  friend class Site;
  HRESULT Parse(std::wstring_view text, DWORD flags, VARIANT* result);
  void Report(IActiveScriptError* error);
  IDispatch* Find(const wchar_t* name) const;

  Site* site_ = nullptr;
  ComPtr<IActiveScript> script_;
  ComPtr<IActiveScriptParse> parse_;
  std::vector<std::pair<std::wstring, ComPtr<IDispatch>>> objects_;
  std::optional<ScriptFailure>* sink_ = nullptr;  // where the running call records an error
  std::optional<ScriptFailure> failure_;
  int depth_ = 0;  // runs in progress, nested
  bool close_pending_ = false;
};

}  // namespace fx
