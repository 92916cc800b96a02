#include "addin/frmAbout.h"

#include "addin/HelperFuncs.h"

namespace {
constexpr std::int32_t kCaption = 219;
constexpr std::int32_t kTitle = 218;
constexpr std::int32_t kVersion = 222;
constexpr std::int32_t kOkButton = 220;
}  // namespace

// The design-time texts; loading replaces them.
frmAbout::frmAbout() : Form("frmAbout") {
  caption = u"Tarrow Technology for BPMN - About";
  controls = {
      {"Picture1", "picture", u"", {}},
      {"lblTitle", "label", u"Tarrow Technology for BPMN", {"MS Sans Serif", 700, 13.5}},
      {"lblVersion", "label", u"Version 1.3", {}},
      {"cmdOK", "button", u"OK", {}},
  };
  default_button_ = "cmdOK";
}

void frmAbout::OnLoad() {
  caption = HelperFuncs::LoadText(kCaption);
  control("lblTitle").text = HelperFuncs::LoadText(kTitle);
  control("lblVersion").text = HelperFuncs::LoadText(kVersion);
  control("cmdOK").text = HelperFuncs::LoadText(kOkButton);
}

void frmAbout::OnClick(const std::string& control_name) {
  if (control_name == "cmdOK") Unload();
}
