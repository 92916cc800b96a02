// Checks of an activity (a Task or a Sub-Process): start quantity, looping, ad-hoc and
// independent sub-processes, the Message Flows each kind of Task sends and receives, and the
// web-service reference.
#include <array>
#include <cstdlib>
#include <string>

#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Appends the digits at `i` to `out` and returns how many there were.
std::size_t TakeDigits(const std::u16string& text, std::size_t& i, std::string& out) {
  const std::size_t start = i;
  while (i < text.size() && IsDigit(text[i])) out.push_back(static_cast<char>(text[i++]));
  return i - start;
}

// Reads the number at the start of `text` as far as it goes: leading blanks, an optional
// sign, digits, an optional decimal point with further digits, an optional exponent. Whatever
// follows is ignored; a text that does not begin with a number reads as 0.
double LeadingNumber(const std::u16string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) number.push_back(static_cast<char>(text[i++]));
  std::size_t digits = TakeDigits(text, i, number);
  if (i < text.size() && text[i] == u'.') {
    number.push_back('.');
    ++i;
    digits += TakeDigits(text, i, number);
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
      exponent.push_back(static_cast<char>(text[j++]));
    if (TakeDigits(text, j, exponent) > 0) number += exponent;
  }
  return std::strtod(number.c_str(), nullptr);
}

// One test of a Task row, on the Message Flow counts and, where named, a message tag.
enum class FlowTest {
  kNone,
  kNoIncoming,   // no incoming Message Flow and `tag` empty
  kNoOutgoing,   // no outgoing Message Flow and `tag` empty
  kHasIncoming,  // an incoming Message Flow
  kHasOutgoing,  // an outgoing Message Flow
  kHasAny,       // an incoming or an outgoing Message Flow
};

struct TaskTest {
  FlowTest test;
  const char16_t* tag;
  std::int32_t message;
};

struct TaskRow {
  const char16_t* task_type;
  TaskTest first;
  TaskTest second;
};

constexpr TaskTest kNoTest{FlowTest::kNone, nullptr, 0};

constexpr std::array<TaskRow, 8> kTaskRows{{
    {u"Service",
     {FlowTest::kNoIncoming, u"InMessage", messages::kServiceTaskWithoutIncomingMessage},
     {FlowTest::kNoOutgoing, u"OutMessage", messages::kServiceTaskWithoutOutgoingMessage}},
    {u"Receive",
     {FlowTest::kHasOutgoing, nullptr, messages::kReceiveTaskWithOutgoingMessage},
     {FlowTest::kNoIncoming, u"Message", messages::kReceiveTaskWithoutIncomingMessage}},
    {u"Send",
     {FlowTest::kHasIncoming, nullptr, messages::kSendTaskWithIncomingMessage},
     {FlowTest::kNoOutgoing, u"Message", messages::kSendTaskWithoutOutgoingMessage}},
    {u"User",
     {FlowTest::kNoIncoming, u"InMessage", messages::kUserTaskWithoutIncomingMessage},
     {FlowTest::kNoOutgoing, u"OutMessage", messages::kUserTaskWithoutOutgoingMessage}},
    {u"Script", {FlowTest::kHasAny, nullptr, messages::kScriptTaskWithMessageFlow}, kNoTest},
    {u"Manual", {FlowTest::kHasAny, nullptr, messages::kManualTaskWithMessageFlow}, kNoTest},
    {u"Reference", kNoTest, kNoTest},
    {u"None", {FlowTest::kHasAny, nullptr, messages::kNoneTaskWithMessageFlow}, kNoTest},
}};

}  // namespace

void CBPMNRules::CheckActivity(const RepositoryRef& repository, const ElementRef& element) {
  if (!IsActivity(element)) return;

  if (!(LeadingNumber(GetTagValue(element, u"StartQuantity"sv)) > 0)) {
    ReportViolation(repository, rules::kRule07, messages::kActivityStartQuantityNotPositive,
                    rules::Level::kWarning);
  }
  CheckLoopTags(repository, element);
  if (GetTagValue(element, u"ActivityType"sv) == u"Sub-Process"sv) CheckSubProcessTags(repository, element);
  if (GetTagValue(element, u"ActivityType"sv) == u"Task"sv) CheckTaskMessageFlows(repository, element);
  CheckWebServiceReference(repository, element);
}

// Only the tags of the selected LoopType are read.
void CBPMNRules::CheckLoopTags(const RepositoryRef& repository, const ElementRef& element) const {
  const std::u16string loop_type = GetTagValue(element, u"LoopType"sv);
  if (loop_type == u"Standard"sv) {
    if (GetTagValue(element, u"LoopCondition"sv).empty())
      ReportViolation(repository, rules::kRule07, messages::kActivityLoopConditionUndefined,
                      rules::Level::kWarning);
    return;
  }
  if (loop_type != u"MultiInstance"sv) return;
  if (GetTagValue(element, u"MI_Condition"sv).empty())
    ReportViolation(repository, rules::kRule07, messages::kActivityMiConditionUndefined,
                    rules::Level::kWarning);
  if (GetTagValue(element, u"MI_FlowCondition"sv) == u"Complex"sv &&
      GetTagValue(element, u"ComplexMI_FlowCondition"sv).empty()) {
    ReportViolation(repository, rules::kRule07, messages::kActivityComplexMiFlowConditionUndefined,
                    rules::Level::kWarning);
  }
}

void CBPMNRules::CheckSubProcessTags(const RepositoryRef& repository, const ElementRef& element) const {
  if (GetTagValue(element, u"AdHoc"sv) == u"true"sv &&
      GetTagValue(element, u"AdHocCompletionCondition"sv).empty()) {
    ReportViolation(repository, rules::kRule07, messages::kAdHocCompletionConditionUndefined,
                    rules::Level::kWarning);
  }
  if (GetTagValue(element, u"SubProcessType"sv) == u"Independent"sv) {
    // A child diagram is an owned diagram or a DiagramRef; both are asked, the diagrams first.
    const std::int16_t owned = element->OwnedDiagrams()->ItemCount();
    const bool no_reference = GetTagValue(element, u"DiagramRef"sv).empty();
    if (owned == 0 && no_reference)
      ReportViolation(repository, rules::kRule07, messages::kIndependentSubProcessWithoutDiagram,
                      rules::Level::kWarning);
  }
}

// The Message Flows each kind of Task sends and receives. Counts are asked afresh for each
// test, before any tag of the same test.
void CBPMNRules::CheckTaskMessageFlows(const RepositoryRef& repository, const ElementRef& element) const {
  const auto broken = [&](const TaskTest& t) {
    switch (t.test) {
      case FlowTest::kNone:
        return false;
      case FlowTest::kNoIncoming: {
        const bool none = CountIncomingMessageFlows(element) == 0;
        return GetTagValue(element, t.tag).empty() && none;
      }
      case FlowTest::kNoOutgoing: {
        const bool none = CountOutgoingMessageFlows(element) == 0;
        return GetTagValue(element, t.tag).empty() && none;
      }
      case FlowTest::kHasIncoming:
        return CountIncomingMessageFlows(element) > 0;
      case FlowTest::kHasOutgoing:
        return CountOutgoingMessageFlows(element) > 0;
      case FlowTest::kHasAny: {
        const std::int16_t in = CountIncomingMessageFlows(element);
        const std::int16_t out = CountOutgoingMessageFlows(element);
        return in > 0 || out > 0;
      }
    }
    return false;
  };
  const std::u16string task_type = GetTagValue(element, u"TaskType"sv);
  for (const auto& row : kTaskRows) {
    if (task_type != row.task_type) continue;
    for (const TaskTest& t : {row.first, row.second}) {
      if (broken(t)) ReportViolation(repository, rules::kRule07, t.message, rules::Level::kWarning);
    }
    return;
  }
}
