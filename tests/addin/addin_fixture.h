// A COrbelt object in a host session over a small model, with the recording user interface.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "addin/COrbelt.h"
#include "kelvo/host.h"
#include "platform/ui.h"

class AddinTest : public testing::Test {
 public:
  // Packages: 1 "Model" (a root node), 2 "Orders" under it. Element 10 is a start event.
  static kelvo::ModelData SmallModel() {
    kelvo::ModelData model;
    model.packages = {{1, u"Model", 0}, {2, u"Orders", 1}};
    kelvo::ElementData start;
    start.id = 10;
    start.package = 2;
    start.name = u"Order received";
    start.stereotype = u"StartEvent";
    model.elements = {start};
    return model;
  }

 protected:
  void SetUp() override { platform::SetUserInterface(ui_); }
  void TearDown() override { platform::SetUserInterface(nullptr); }

  void StartSession(kelvo::ModelData model = SmallModel(), kelvo::HostOptions options = {}) {
    host_ = kelvo::Host::Create(std::move(model), options);
  }
  COrbelt::RepositoryRef Repository() { return COrbelt::RepositoryRef(host_); }

  host::Variant Menu(std::u16string name) {
    std::u16string location = u"MainMenu";
    return addin_.Kelvo_GetMenuItems(Repository(), location, name);
  }
  void Click(std::u16string item) {
    std::u16string location = u"MainMenu";
    std::u16string menu = u"-&BPMN Technology";
    addin_.Kelvo_MenuClick(Repository(), location, menu, item);
  }
  std::vector<std::u16string> MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const auto& box : ui_->message_boxes) texts.push_back(box.text);
    return texts;
  }

  std::shared_ptr<platform::RecordingUserInterface> ui_ =
      std::make_shared<platform::RecordingUserInterface>();
  std::shared_ptr<kelvo::Host> host_ = kelvo::Host::Create(SmallModel());
  COrbelt addin_;
};
