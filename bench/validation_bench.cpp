// The full validation run through the loaded add-in module on generated models of N elements
// (pools, lanes, tasks, gateways, sub-processes, start, end and boundary events, sequence and
// message flows, one diagram placing everything). Prints elements per second; asserts nothing.
//
//   bench_validation_bench [N ...]      default: 1000 10000 100000
//
// The module is ORBELT_ADDIN, else liborbelt.so beside this program.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "kelvo/host.h"
#include "kelvo/model_data.h"
#include "kelvo/session.h"
#include "kelvo/validation.h"
#include "platform/loader.h"

namespace {

using Tags = std::vector<kelvo::Tag>;

const Tags kTask{{u"ActivityType", u"Task"}, {u"TaskType", u"None"}, {u"StartQuantity", u"1"}};
const Tags kSendTask{
    {u"ActivityType", u"Task"}, {u"TaskType", u"Send"}, {u"Message", u"order"}, {u"StartQuantity", u"1"}};
const Tags kSubProcess{
    {u"ActivityType", u"Sub-Process"}, {u"SubProcessType", u"Embedded"}, {u"StartQuantity", u"1"}};

// Builds a model of about `target` elements, lane by lane, each lane one process.
class Generator {
 public:
  explicit Generator(std::size_t target) : target_(target) {
    data_.packages = {{1, u"Model", 0}, {2, u"Process", 1}};
  }

  kelvo::ModelData Build() {
    while (!Full()) {
      const std::int32_t pool = Add(u"Pool", 0, {{u"Participant", u"participant"}});
      for (int lane = 0; lane < 2 && !Full(); ++lane) Process(Add(u"Lane", pool, {}));
    }
    kelvo::DiagramData diagram;
    diagram.id = 1;
    diagram.package = 2;
    diagram.name = u"Process";
    for (const auto& element : data_.elements) diagram.placements.push_back(element.id);
    data_.diagrams.push_back(std::move(diagram));
    data_.active_diagram = 1;
    return std::move(data_);
  }

 private:
  bool Full() const { return data_.elements.size() >= target_; }

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

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// The host calls that an End Event's container scan makes for one placement (GetAt,
// PlacedElementId, ElementById, StereotypeName, ParentId twice), made `scans` times over the whole
// diagram straight from here, without the add-in: the least that any check following that scan
// can cost per placement. The repository comes through the session, so the calls stay virtual.
double HostCallsPerPlacement(const kelvo::Session& session, std::int32_t event_id, std::size_t scans) {
  const host::Ref<host::Repository> repository(
      std::dynamic_pointer_cast<host::Repository>(session.Repository()));
  const host::Ref<host::Element> event = repository->ElementById(event_id);
  std::size_t matches = 0;
  std::size_t visits = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t scan = 0; scan < scans; ++scan) {
    for (const auto& placement : repository->ActiveDiagram()->Placements()) {
      const host::Ref<host::Element> candidate = repository->ElementById(placement->PlacedElementId());
      const bool start_event = candidate->StereotypeName() == std::u16string_view(u"StartEvent");
      const bool same_container = candidate->ParentId() == event->ParentId();
      matches += start_event && same_container;
      ++visits;
    }
  }
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  [[maybe_unused]] volatile std::size_t kept = matches;  // the loop's result must not be optimised away
  return seconds * 1e9 / static_cast<double>(visits);
}

void Measure(const platform::LoadedModule& module, std::size_t target) {
  const auto generated = std::chrono::steady_clock::now();
  kelvo::ModelData data = Generator(target).Build();
  const std::size_t elements = data.elements.size();
  const std::size_t connectors = data.connectors.size();
  // Every start and end event scans all placements of the diagram: the quadratic part.
  std::size_t events = 0;
  for (const auto& element : data.elements)
    events += element.stereotype == u"StartEvent" || element.stereotype == u"EndEvent";
  const std::size_t visits = events * data.diagrams.front().placements.size();
  const auto end_event = std::find_if(data.elements.begin(), data.elements.end(),
                                      [](const auto& element) { return element.stereotype == u"EndEvent"; });
  const std::int32_t first_event =
      end_event == data.elements.end() ? data.elements.front().id : end_event->id;
  auto host = kelvo::Host::Create(std::move(data));
  const auto built = std::chrono::steady_clock::now();
  const kelvo::ValidationResult result = kelvo::ValidateModel(module, host, 1);
  const auto validated = std::chrono::steady_clock::now();

  const double seconds = Seconds(validated - built);
  std::cout << elements << " elements, " << connectors << " connectors: model built in "
            << Seconds(built - generated) << " s, validated in " << seconds << " s, "
            << static_cast<long long>(static_cast<double>(elements) / seconds) << " elements/s ("
            << result.errors() << " errors, " << result.warnings() << " warnings, " << result.failures.size()
            << " failed runs); " << events << " start and end events scanned " << visits
            << " placements, at most " << seconds * 1e9 / static_cast<double>(visits)
            << " ns each; the host calls of one visit alone take "
            << HostCallsPerPlacement(kelvo::Session(host), first_event, std::min<std::size_t>(events, 200))
            << " ns\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  try {
    const platform::LoadedModule module(orbelt::cli::AddinPath(""));
    std::cout << "add-in module: " << module.path() << "\n";
    for (const std::size_t size : sizes) Measure(module, size);
  } catch (const std::exception& e) {
    std::cerr << "bench_validation_bench: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
