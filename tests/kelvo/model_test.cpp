// The live model: derivations of the model file (defaults, connector lists, children, diagram
// collections), the behaviour of ids that the model lacks, and the constant-time lookups.
#include "kelvo/model.h"

#include <gtest/gtest.h>

#include <functional>

#include "kelvo/host.h"
#include "support/model_builder.h"

namespace {

using test_support::ModelBuilder;
using Ids = std::vector<std::int32_t>;

// The ids of a host collection or of a model's object list, in order.
template <class Range>
Ids IdsOf(Range&& range) {
  Ids ids;
  for (auto item : range) ids.push_back(item->Id());
  return ids;
}

std::optional<host::ErrorKind> ErrorKindOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const host::Error& e) {
    return e.kind();
  }
  return std::nullopt;
}

TEST(ModelDerivations, MetatypeKeyAndBaseTypeDefaults) {
  struct Row {
    // As written ("" for the default): a stereotype of the base-type table, one outside it, none.
    std::u16string stereotype, metatype, base_type, key;
    std::u16string want_metatype, want_base_type, want_key;
  };
  const std::vector<Row> rows = {
      {u"StartEvent", u"", u"", u"", u"StartEvent", u"Event", u"10"},
      {u"Gateway", u"", u"", u"Gateway_1", u"Gateway", u"Decision", u"Gateway_1"},
      {u"Something", u"", u"", u"", u"Something", u"", u"12"},
      {u"", u"", u"", u"", u"", u"", u"13"},
      {u"IntermediateEvent", u"Custom", u"ObjectNode", u"", u"Custom", u"ObjectNode", u"14"}};
  ModelBuilder b;
  for (const auto& row : rows) {
    auto& e = b.element(b.Element(row.stereotype));
    e.metatype = row.metatype;
    e.base_type = row.base_type;
    e.key = row.key;
  }
  auto host = b.Host();
  for (std::int32_t id = 10; const auto& row : rows) {
    SCOPED_TRACE(id);
    EXPECT_EQ(host->ElementById(id)->MetaTypeName(), row.want_metatype);
    EXPECT_EQ(host->ElementById(id)->BaseType(), row.want_base_type);
    EXPECT_EQ(host->model().FindElement(id++)->data().key, row.want_key);
  }
}

TEST(ModelDerivations, ConnectorListHoldsBothEndsInFileOrderAndASelfLoopOnce) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  const auto x = b.Element(u"Activity");
  const auto y = b.Element(u"Activity");
  b.Connector(x, a, u"SequenceFlow");
  b.Connector(a, a, u"SequenceFlow");
  b.Connector(y, x, u"SequenceFlow");
  b.Connector(a, y, u"MessageFlow");
  auto host = b.Host();
  const auto ends = [&](std::int32_t id) {
    Ids ids;
    for (auto connector : *host->ElementById(id)->ConnectorList()) {
      ids.push_back(connector->SourceId() * 1000 + connector->TargetId());
    }
    return ids;
  };
  EXPECT_EQ(ends(a), (Ids{x * 1000 + a, a * 1000 + a, a * 1000 + y}));
  EXPECT_EQ(ends(x), (Ids{x * 1000 + a, y * 1000 + x}));
}

TEST(ModelDerivations, ChildrenAndNestedElementsListTheDirectChildrenInFileOrder) {
  ModelBuilder b;
  const auto early = b.Element(u"Activity");  // given its parent below, which comes later in the file
  const auto pool = b.Element(u"Pool");
  const auto sub = b.Element(u"Activity", u"", pool);
  const auto inner = b.Element(u"StartEvent", u"", sub);
  const auto task = b.Element(u"Activity", u"", pool);
  b.element(early).parent = pool;
  auto host = b.Host();
  auto element = host->ElementById(pool);
  EXPECT_EQ(IdsOf(*element->Children()), (Ids{early, sub, task}));
  EXPECT_EQ(IdsOf(*element->NestedElements()), (Ids{early, sub, task}));
  EXPECT_EQ(IdsOf(*host->ElementById(sub)->Children()), (Ids{inner}));
  EXPECT_EQ(host->ElementById(task)->Children()->Count(), 0);
}

TEST(ModelDerivations, DiagramsBelongToTheirElementOrElseToTheirPackage) {
  ModelBuilder b;
  const auto sub = b.Element(u"Activity");
  const auto top = b.Diagram(u"Top");
  const auto inner = b.Diagram(u"Inner");
  b.data().diagrams.back().parent = sub;
  auto host = b.Host();
  EXPECT_EQ(IdsOf(host->model().FindPackage(ModelBuilder::kProcessPackage)->diagrams().items()), (Ids{top}));
  EXPECT_EQ(IdsOf(host->model().FindElement(sub)->owned_diagrams().items()), (Ids{inner}));
}

TEST(ModelDerivations, TagsAndPlacementsKeepFileOrderAndRepeats) {
  ModelBuilder b;
  const auto e = b.Element(u"StartEvent");
  const auto c = b.Element(u"Activity");
  b.Tag(e, u"Trigger", u"None").Tag(e, u"Message", u"").Tag(e, u"Trigger", u"Timer");
  b.Diagram(u"D", {c, e, c});
  auto host = b.Host();
  std::vector<std::u16string> tags;
  for (auto tag : *host->ElementById(e)->Tags()) tags.push_back(tag->Name() + u"=" + tag->Value());
  EXPECT_EQ(tags, (std::vector<std::u16string>{u"Trigger=None", u"Message=", u"Trigger=Timer"}));
  Ids placed;
  for (auto placement : *host->ActiveDiagram()->Placements()) placed.push_back(placement->PlacedElementId());
  EXPECT_EQ(placed, (Ids{c, e, c}));
}

TEST(ModelLookups, MissingObjectsFailAsTheHostDoes) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  b.Connector(a, a, u"SequenceFlow");
  auto host = b.Host();
  EXPECT_EQ(ErrorKindOf([&] { host->ElementById(999); }), host::ErrorKind::kHost);
  EXPECT_EQ(ErrorKindOf([&] { host->ElementById(a)->Tags()->GetAt(0); }), host::ErrorKind::kIndex);
  EXPECT_EQ(ErrorKindOf([&] { host->ElementById(a)->ConnectorList()->GetAt(-1); }), host::ErrorKind::kIndex);
  EXPECT_FALSE(host->ConnectorById(999));
  EXPECT_TRUE(host->ConnectorById(100));
}

TEST(ModelLookups, SparseIdsResolveAndMemberReadsReturnTheSameObjects) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  b.element(a).id = 2000000000;
  b.element(b.Element(u"Activity")).id = -7;
  auto host = b.Host();
  EXPECT_EQ(host->ElementById(-7)->Id(), -7);
  EXPECT_FALSE(host->model().FindElement(0));
  auto element = host->ElementById(2000000000);
  EXPECT_EQ(element->Id(), 2000000000);
  EXPECT_EQ(&element->StereotypeName(), &element->StereotypeName());
  EXPECT_EQ(element->ConnectorList().shared().get(), element->ConnectorList().shared().get());
  EXPECT_EQ(element->Children().shared().get(), element->NestedElements().shared().get());
  EXPECT_EQ(host->ElementById(2000000000).shared().get(), element.shared().get());
}

TEST(IdIndex, GrowsAndSwitchesToHashing) {
  kelvo::IdIndex index;
  EXPECT_EQ(index.Build({5, 6, 7}), kelvo::IdIndex::kNone);
  index.Add(9, 3);
  index.Add(1 << 30, 4);
  index.Add(-3, 5);
  const std::vector<std::pair<std::int32_t, std::size_t>> expected = {
      {5, 0}, {7, 2}, {9, 3}, {1 << 30, 4}, {-3, 5}, {8, kelvo::IdIndex::kNone}, {4, kelvo::IdIndex::kNone}};
  for (const auto& [id, position] : expected) EXPECT_EQ(index.Find(id), position) << id;
  EXPECT_EQ(index.Build({1, 2, 1}), 2u);
}

}  // namespace
