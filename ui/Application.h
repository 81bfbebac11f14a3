// The application object: COM for the thread, the hidden application
// window that carries the taskbar button and the application title, the
// list of open forms, the message loop and the general error report.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Dpi.h"
#include "ui/TaskbarPreview.h"

namespace qn3::ids {

// The hidden application window's class; tests find the program by it.
inline constexpr char kAppWindowClass[] = "QN3Helper.Application";

}  // namespace qn3::ids

namespace qn3::ui {

class TForm;

class TApplication {
public:
  explicit TApplication(HINSTANCE instance);
  ~TApplication();  // uninitialises COM, once, only if it was initialised
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  HINSTANCE Instance() const { return instance_; }
  HWND Handle() const { return handle_; }
  const Dpi& ScreenDpi() const { return dpi_; }
  const DpiFunctions& PerDpi() const { return perDpi_; }
  // The DPI a window is laid out at: one of our forms' own, else the one the
  // system draws it at, else the system DPI.
  Dpi WindowDpi(HWND window) const;
  bool ComInitialized() const { return comInitialized_; }

  // The taskbar text, separate from any window caption.
  std::string Title() const;
  void SetTitle(const std::string& title);

  // Shows the main form in the show state the program was started with
  // (WinMain's): minimised ones start the program minimised, with the
  // form hidden; SW_SHOWNOACTIVATE and SW_SHOWNA leave the foreground
  // alone; any other shows it normally, as the form cannot be maximised.
  // Then runs the message loop until the form is closed.
  void Run(TForm& mainForm, int showCmd = SW_SHOWNORMAL);
  TForm* MainForm() const { return mainForm_; }

  // The general error report; the caller has already abandoned its handler.
  void HandleException(const std::exception& error) noexcept;
  void HandleUnknownException() noexcept;

  // Forms register themselves while their window exists.
  void AddForm(TForm* form);
  void RemoveForm(TForm* form);
  bool IsOpenWindowName(std::string_view name) const;
  const std::vector<TForm*>& Forms() const { return forms_; }

  // Runs one message through dialog navigation or dispatch; false on WM_QUIT.
  bool ProcessMessage();

  // Minimises the taskbar button; the forms go with it.
  void Minimize();

  // The main form has painted: the taskbar previews can be set up now,
  // without delaying the first paint, and the form's FormPainted runs.
  void MainFormPainted();
  // What the main form shows has changed in a way its preview would show.
  void PreviewChanged() const;

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void ShowErrorBox(const std::string& message) noexcept;
  // The main form and the windows it owns follow the application window
  // into and out of the minimised state, by whatever route it goes.
  void HideForms();
  void ShowForms();
  // After each message: a new focus changes the main form's picture.
  void FocusMayHaveMoved();
  // The window that takes the activation: the modal window open, else the
  // main form; null when neither can.
  HWND FrontWindow() const;

  HINSTANCE instance_;
  bool comInitialized_ = false;
  HWND handle_ = nullptr;
  Dpi dpi_;
  DpiFunctions perDpi_;
  TForm* mainForm_ = nullptr;
  bool formsHidden_ = false;  // by a minimise, to be shown by the restore
  bool hiding_ = false;       // in HideForms
  bool previewAsked_ = false;
  HWND focus_ = nullptr;  // the thread's focus after the last message
  TaskbarPreview preview_;
  std::vector<TForm*> forms_;
};

// The running program file's full path, as the system reports it.
std::string ProgramPath();

// Disables the thread's other enabled top-level windows while it lives, then
// enables them again and brings the window that was active back to the
// foreground with the focus it had.
class ModalScope {
public:
  explicit ModalScope(HWND except);
  ~ModalScope();
  // Enables them again early: a modal window does so before it hides.
  void EnableAgain();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

private:
  std::vector<HWND> disabled_;
  HWND active_;
  HWND focus_;
};

}  // namespace qn3::ui
