#include "addin/frmAbout.h"

#include "addin/shell.h"
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
  caption = addin::LoadText(messages::kAboutCaption);
  control("lblTitle").text = addin::LoadText(messages::kProductName);
  control("lblVersion").text = addin::LoadText(messages::kVersionText);
  control("cmdOK").text = addin::LoadText(messages::kAboutOkButton);
}

void frmAbout::OnClick(const std::string& control_name) {
  if (control_name == "cmdOK") Unload();
}
