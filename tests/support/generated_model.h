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
#include "support/model_builder.h"

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
  explicit GeneratedModel(std::size_t target) : target_(target) {}

  kelvo::ModelData Build() {
    while (!Full()) {
      const std::int32_t pool = Add(u"Pool", 0, {{u"Participant", u"participant"}});
      for (int lane = 0; lane < 2 && !Full(); ++lane) Process(Add(u"Lane", pool, {}));
    }
    // The overview comes first and is the active diagram; every element follows its pool.
    std::vector<std::int32_t> everything;
    std::vector<std::vector<std::int32_t>> pools;
    for (const auto& element : data().elements) {
      everything.push_back(element.id);
      if (element.stereotype == u"Pool") pools.emplace_back();
      pools.back().push_back(element.id);
    }
    model_.Diagram(u"Process", std::move(everything));
    for (auto& pool : pools) model_.Diagram(u"Pool", std::move(pool));
    return std::move(data());
  }

 private:
  kelvo::ModelData& data() { return model_.data(); }
  bool Full() { return data().elements.size() >= target_; }

  std::int32_t Add(const char16_t* stereotype, std::int32_t parent, Tags tags,
                   const char16_t* base_type = u"") {
    const std::int32_t id = model_.Element(stereotype, {}, parent);
    data().elements.back().tags = std::move(tags);
    data().elements.back().base_type = base_type;
    return id;
  }

  void Connect(std::int32_t source, std::int32_t target, const char16_t* stereotype = u"SequenceFlow",
               Tags tags = {{u"ConditionType", u"None"}}) {
    model_.Connector(source, target, stereotype, std::move(tags));
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
      data().elements[last_task_data_].tags = kSendTask;
    }
    std::int32_t previous = start;
    for (int step = 0; step < 12 && !Full(); ++step) {
      previous = Task(lane, previous);
      last_task_ = previous;
      last_task_data_ = data().elements.size() - 1;
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
  ModelBuilder model_;
  std::int32_t last_task_ = 0;
  std::size_t last_task_data_ = 0;  // its place in the element list
};

}  // namespace test_support
