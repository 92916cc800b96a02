// A generated host model of about N elements, the way a large process model is drawn: pools with
// two lanes, each lane one process (start, tasks, data-based splits joined by parallel gateways, a
// timer on one task's boundary, an embedded sub-process with its own start, task and end, end
// events, message flows between lanes), an overview diagram placing everything and one diagram
// per pool placing the pool's elements. Shared by the tests and the benchmarks; header-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kelvo/model_data.h"

namespace test_support {

using Tags = std::vector<kelvo::Tag>;

const Tags kTask{{u"ActivityType", u"Task"}, {u"TaskType", u"None"}, {u"StartQuantity", u"1"}};
const Tags kSendTask{
    {u"ActivityType", u"Task"}, {u"TaskType", u"Send"}, {u"Message", u"order"}, {u"StartQuantity", u"1"}};
const Tags kSubProcess{
    {u"ActivityType", u"Sub-Process"}, {u"SubProcessType", u"Embedded"}, {u"StartQuantity", u"1"}};

// Builds a model of about `target` elements, lane by lane, each lane one process.
class GeneratedModel {
 public:
  explicit GeneratedModel(std::size_t target) : target_(target) {
    data_.packages = {{1, u"Model", 0}, {2, u"Process", 1}};
  }

  kelvo::ModelData Build() {
    while (!Full()) {
      const std::int32_t pool = Add(u"Pool", 0, {{u"Participant", u"participant"}});
      for (int lane = 0; lane < 2 && !Full(); ++lane) Process(Add(u"Lane", pool, {}));
    }
    // Every element follows its pool.
    AddDiagram(u"Process");
    for (const auto& element : data_.elements) data_.diagrams.front().placements.push_back(element.id);
    for (const auto& element : data_.elements) {
      if (element.stereotype == u"Pool") AddDiagram(u"Pool");
      data_.diagrams.back().placements.push_back(element.id);
    }
    data_.active_diagram = 1;
    return std::move(data_);
  }

 private:
  bool Full() const { return data_.elements.size() >= target_; }

  void AddDiagram(const char16_t* name) {
    kelvo::DiagramData& diagram = data_.diagrams.emplace_back();
    diagram.id = static_cast<std::int32_t>(data_.diagrams.size());
    diagram.package = 2;
    diagram.name = name;
  }

  std::int32_t Add(const char16_t* stereotype, std::int32_t parent, Tags tags,
                   const char16_t* base_type = u"") {
    kelvo::ElementData element;
    element.id = static_cast<std::int32_t>(data_.elements.size()) + 1;
    element.package = 2;
    element.parent = parent;
    element.stereotype = stereotype;
    element.base_type = base_type;
    element.tags = std::move(tags);
    data_.elements.push_back(std::move(element));
    return data_.elements.back().id;
  }

  void Connect(std::int32_t source, std::int32_t target, const char16_t* stereotype = u"SequenceFlow",
               Tags tags = {{u"ConditionType", u"None"}}) {
    kelvo::ConnectorData connector;
    connector.id = static_cast<std::int32_t>(data_.connectors.size()) + 1;
    connector.source = source;
    connector.target = target;
    connector.stereotype = stereotype;
    connector.tags = std::move(tags);
    data_.connectors.push_back(std::move(connector));
  }

  std::int32_t Task(std::int32_t parent, std::int32_t previous) {
    const std::int32_t task = Add(u"Activity", parent, kTask);
    Connect(previous, task);
    return task;
  }

  // A data-based split into two tasks joined by a parallel gateway; returns the join.
  std::int32_t SplitAndJoin(std::int32_t parent, std::int32_t previous) {
    const std::int32_t split = Add(u"Gateway", parent, {{u"GatewayType", u"XOR"}, {u"XORType", u"Data"}});
    Connect(previous, split);
    const std::int32_t join = Add(u"Gateway", parent, {{u"GatewayType", u"AND"}});
    for (const char16_t* condition : {u"amount > 100", u"amount <= 100"}) {
      const std::int32_t branch = Add(u"Activity", parent, kTask);
      Connect(split, branch, u"SequenceFlow",
              {{u"ConditionType", u"Expression"}, {u"ConditionExpression", condition}});
      Connect(branch, join);
    }
    return join;
  }

  // An embedded sub-process with its own start, task and end.
  std::int32_t SubProcess(std::int32_t parent, std::int32_t previous) {
    const std::int32_t sub_process = Add(u"Activity", parent, kSubProcess);
    Connect(previous, sub_process);
    const std::int32_t start = Add(u"StartEvent", sub_process, {{u"Trigger", u"None"}});
    const std::int32_t end = Add(u"EndEvent", sub_process, {{u"Result", u"None"}});
    Connect(Task(sub_process, start), end);
    return sub_process;
  }

  // start, tasks with two splits and a timer on one task's boundary, a sub-process, end; a
  // message flow from the previous lane's last task to this start.
  void Process(std::int32_t lane) {
    const std::int32_t start = Add(u"StartEvent", lane, {{u"Trigger", u"Message"}, {u"Message", u"order"}});
    if (last_task_) {
      Connect(last_task_, start, u"MessageFlow", {});
      data_.elements[static_cast<std::size_t>(last_task_ - 1)].tags = kSendTask;
    }
    std::int32_t previous = start;
    for (int step = 0; step < 12 && !Full(); ++step) {
      previous = Task(lane, previous);
      last_task_ = previous;
      if (step % 5 == 1) previous = SplitAndJoin(lane, previous);
      if (step == 6) {
        const std::int32_t timer =
            Add(u"IntermediateEvent", last_task_, {{u"Trigger", u"Timer"}}, u"ObjectNode");
        Connect(Task(lane, timer), Add(u"EndEvent", lane, {{u"Result", u"Terminate"}}));
      }
    }
    previous = SubProcess(lane, previous);
    Connect(previous, Add(u"EndEvent", lane, {{u"Result", u"None"}}));
  }

  std::size_t target_;
  kelvo::ModelData data_;
  std::int32_t last_task_ = 0;
};

}  // namespace test_support
