// The one application object of a program. Its name is the program file's name without
// extension: the caption of the application message box and the default agent of HTTP
// sessions. UI thread only.
#pragma once

#include <windows.h>

#include <string>

namespace fx {

class Application {
 public:
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  virtual ~Application();

  // The running program's application object (null before construction or after it).
  static Application* Current();

  // Runs the program: computes the name, calls InitInstance and, when that returns true,
  // the message loop. Returns the process exit code.
  int Run();

  const std::wstring& name() const { return name_; }

  // The application message box: this program's name as caption, OK, exclamation icon.
  int MessageBox(const std::wstring& text) const;

 protected:
  // Returns false to end the program without a message loop.
  virtual BOOL InitInstance();
  // The exit code: the value of the quit request that ended the program, else 0.
  virtual int ExitInstance();

 private:
  friend int AppMessageBox(const std::wstring& text);
  static int ShowMessage(const std::wstring& caption, const std::wstring& text);

  std::wstring name_;
  int quit_code_ = 0;
};

// The application message box of the running program (also without an application object).
int AppMessageBox(const std::wstring& text);

// The name of the running program file without extension, computed from its module path.
std::wstring ProgramName();

// The full path of the running program file.
std::wstring ProgramPath();

}  // namespace fx
