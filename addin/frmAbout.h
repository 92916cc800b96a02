// frmAbout: the About dialog. Its texts are set from the string table when it loads; its OK
// button unloads it.
#pragma once

#include "platform/ui.h"

class frmAbout : public platform::Form {
 public:
  frmAbout();

 protected:
  void OnLoad() override;
  void OnClick(const std::string& control_name) override;
};
