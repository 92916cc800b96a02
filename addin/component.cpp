// What the module serves: the library Orbelt with its classes, COrbelt (created by the host) and
// CBPMNRules (created by COrbelt only), and the version record that marks it self-registering.
#include "platform/component.h"

#include "addin/COrbelt.h"
#include "platform/module_info.h"
#include "rules/CBPMNRules.h"

platform::InProcessServer& platform::ModuleServer() {
  static platform::InProcessServer server("Orbelt", {platform::MakeCoClass<COrbelt>("COrbelt", true),
                                                     platform::MakeCoClass<CBPMNRules>("CBPMNRules", false)});
  return server;
}

const platform::VersionRecord& platform::ModuleVersion() {
  static const platform::VersionRecord kVersion{"Tarrow Technology for BPMN", "1.3.0.0", true};
  return kVersion;
}
