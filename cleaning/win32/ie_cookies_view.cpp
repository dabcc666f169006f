#include "cleaning/win32/ie_cookies_view.h"

#include "cleaning/win32/ie_cookies_resource.h"

namespace trwk::win32 {

namespace {

// Cookie files end their lines with a line feed alone; the edit control wants CR LF.
std::string withCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

IeCookiesView::IeCookiesView(IeCookiesModel& model)
    : KeepListView(model,
                   {IDC_IEC_ALL_LABEL,
                    IDC_IEC_FILES,
                    IDC_IEC_EXCLUDED_LABEL,
                    IDC_IEC_ENTRIES,
                    IDC_IEC_ADD,
                    IDC_IEC_DELETE,
                    IDC_IEC_TOOLBAR,
                    IDC_IEC_TOOL_FIRST,
                    {0, 2, 360, 18}},
                   {&IeCookiesModel::files, &IeCookiesModel::selectedFile, &IeCookiesModel::selectFile,
                    &IeCookiesModel::doubleClickFile}) {}

void IeCookiesView::refreshOwn() {
  setText(IDC_IEC_INFO_LABEL, IeCookiesModel::kInformationLabel);
  const std::string& preview = model().preview;
  if (preview != shownPreview_) {  // setting the same text again would scroll it back
    setText(IDC_IEC_PREVIEW, withCrLf(preview));
    shownPreview_ = preview;
  }
}

}  // namespace trwk::win32
