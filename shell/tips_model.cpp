#include "shell/tips_model.h"

#include "foundation/trap.h"

namespace trwk {

TipsModel::TipsModel(Session& session, bool& showTips)
    : notices{"This verision of Tarnwick runs on Windows 95 and Windows 98.",
              "It supports Internet Explorer 5.01 - 5.5, Netscape 4.61 - 4.74 and Opera 4.",
              "You must close your browser(s) before you start the cleaning. If they are running "
              "some files may be locked and can't be removed."},
      session_(session),
      showTips_(showTips) {}

void TipsModel::setDoNotPrompt(bool ticked) {
  doNotPrompt = ticked;
  if (!ticked) return;  // clearing the box again changes nothing stored
  Trap trap(session_.log, "frmTip1.chkLoadTipsAtStartup");
  trap.run([&] {
    session_.settings.AddToini("Inst", "Showtip", "0", session_.maintenIni());
    showTips_ = false;
  });
}

}  // namespace trwk
