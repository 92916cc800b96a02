#include "addin/frmAbout.h"

#include "addin/HelperFuncs.h"
#include "resources/messages.h"

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
  caption = HelperFuncs::LoadText(messages::kAboutCaption);
  control("lblTitle").text = HelperFuncs::LoadText(messages::kProductName);
  control("lblVersion").text = HelperFuncs::LoadText(messages::kVersionText);
  control("cmdOK").text = HelperFuncs::LoadText(messages::kAboutOkButton);
}

void frmAbout::OnClick(const std::string& control_name) {
  if (control_name == "cmdOK") Unload();
}
