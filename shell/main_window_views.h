#pragma once
// What the main window model asks of its window. The Win32 view implements it; tests
// record the calls.

namespace trwk {

class TipsModel;
class IeCookiesModel;
class NetscapeCookiesModel;
class ListViewerModel;
class PreviewModel;

class MainWindowViews {
 public:
  virtual ~MainWindowViews() = default;
  virtual void show() = 0;                     // puts the window on screen
  virtual void refresh() = 0;                  // copies the model onto the controls
  virtual void showTips(TipsModel& tips) = 0;  // modal, owned by the main window
  // The "Internet Explorer Cookies" window, modal, owned by the main window.
  virtual void showIeCookies(IeCookiesModel& cookies) = 0;
  // The "Netscape Cookies" window, modal, owned by the main window.
  virtual void showNetscapeCookies(NetscapeCookiesModel& cookies) = 0;
  // A viewer window ("Internet Explorer Cache", "Run History" ...), opened and listed
  // already, modal, owned by the main window.
  virtual void showViewer(ListViewerModel& viewer) { (void)viewer; }
  // The "Preview" window, modal, owned by the main window; it starts the preview once it
  // is up (PreviewModel::start).
  virtual void showPreview(PreviewModel& preview) { (void)preview; }
  virtual void closeOtherWindows() = 0;  // every open window of the program but this one
  virtual void close() = 0;              // destroys the window; the program ends
  // Automatic cleaning armed: the icon into the notification area, the window hidden.
  virtual void enterTray() {}
  // Automatic cleaning stopped: the icon taken away; the window stays as it is.
  virtual void leaveTray() {}
};

}  // namespace trwk
