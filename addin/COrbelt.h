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

  host::Variant Kelvo_GetMenuItems(const RepositoryRef& repository, std::u16string& menu_location,
                                   std::u16string& menu_name);
  void Kelvo_MenuClick(const RepositoryRef& repository, std::u16string& menu_location,
                       std::u16string& menu_name, std::u16string& item_name);
  void ShowTechnology(const RepositoryRef& repository);
  void HideTechnology(const RepositoryRef& repository);
  void DoLoad(const RepositoryRef& repository);
  void DoUnload(const RepositoryRef& repository);
  void DoNewDiagram(const RepositoryRef& repository);
  bool Kelvo_OnPostNewElement(const RepositoryRef& repository, const host::Ref<host::InfoBag>& info);
  void Kelvo_OnInitializeUserRules(const RepositoryRef& repository);
  void Kelvo_OnRunElementRule(const RepositoryRef& repository, std::u16string& rule_id,
                              const host::Ref<host::Element>& element);
  void Kelvo_OnRunConnectorRule(const RepositoryRef& repository, std::u16string& rule_id,
                                std::int32_t& connector_id);
  void Kelvo_OnStartValidation(const RepositoryRef& repository);
  void Kelvo_OnEndValidation(const RepositoryRef& repository);

 private:
  // Menu commands without a public operation of their own.
  void OpenHelp(const RepositoryRef& repository);
  void ExportToBPEL(const RepositoryRef& repository);
  void ShowAbout(const RepositoryRef& repository);

  std::unique_ptr<CBPMNRules> rules_;
};
