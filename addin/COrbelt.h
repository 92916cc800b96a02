// COrbelt: the class that the host creates. It describes the add-in's menu, runs the command
// that the user picks, forwards the host's validation events to its rule engine and answers
// the new-element event.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/objects.h"
#include "platform/component.h"
#include "rules/CBPMNRules.h"

class COrbelt {
 public:
  using RepositoryRef = host::Ref<host::Repository>;

  COrbelt();   // Class_Initialize
  ~COrbelt();  // Class_Terminate

  static const platform::DispatchInterface<COrbelt>& Interface();

  host::Variant Kelvo_GetMenuItems(const RepositoryRef& Repository, std::u16string& MenuLocation,
                                   std::u16string& MenuName);
  void Kelvo_MenuClick(const RepositoryRef& Repository, std::u16string& MenuLocation,
                       std::u16string& MenuName, std::u16string& ItemName);
  void ShowTechnology(const RepositoryRef& Repository);
  void HideTechnology(const RepositoryRef& Repository);
  void DoLoad(const RepositoryRef& Repository);
  void DoUnload(const RepositoryRef& Repository);
  void DoNewDiagram(const RepositoryRef& Repository);
  bool Kelvo_OnPostNewElement(const RepositoryRef& Repository, const host::Ref<host::InfoBag>& Info);
  void Kelvo_OnInitializeUserRules(const RepositoryRef& Repository);
  void Kelvo_OnRunElementRule(const RepositoryRef& Repository, std::u16string& sRuleID,
                              const host::Ref<host::Element>& Element);
  void Kelvo_OnRunConnectorRule(const RepositoryRef& Repository, std::u16string& sRuleID,
                                std::int32_t& lConnectorID);

 private:
  // Menu commands without a public operation of their own.
  void OpenHelp(const RepositoryRef& Repository);
  void ExportToBPEL(const RepositoryRef& Repository);
  void ShowAbout(const RepositoryRef& Repository);

  std::unique_ptr<CBPMNRules> Rules;
};
