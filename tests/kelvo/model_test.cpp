// The live model: derivations of the model file (defaults, connector lists, children, diagram
// collections) and the behaviour of ids that the model lacks.
#include <gtest/gtest.h>

#include "kelvo/host.h"
#include "kelvo/model.h"
#include "support/model_builder.h"

namespace {

using test_support::ModelBuilder;

std::vector<std::int32_t> ConnectorIds(host::Element& element) {
  std::vector<std::int32_t> ids;
  auto list = element.ConnectorList();
  for (auto connector : *list) ids.push_back(connector->SourceId() * 1000 + connector->TargetId());
  return ids;
}

std::vector<std::int32_t> ElementIds(host::Collection<host::Element>& list) {
  std::vector<std::int32_t> ids;
  for (auto element : list) ids.push_back(element->Id());
  return ids;
}

TEST(ModelDerivations, MetatypeDefaultsToTheStereotypeAndBaseTypeFollowsIt) {
  ModelBuilder b;
  const auto start = b.Element(u"StartEvent");
  const auto gateway = b.Element(u"Gateway");
  const auto lane = b.Element(u"Lane");
  const auto group = b.Element(u"Group");
  const auto property = b.Element(u"Property");
  const auto web_service = b.Element(u"WebService");
  const auto other = b.Element(u"Something");
  const auto plain = b.Element(u"");
  const auto given = b.Element(u"IntermediateEvent");
  b.element(given).metatype = u"Custom";
  b.element(given).base_type = u"ObjectNode";
  auto host = b.Host();

  EXPECT_EQ(host->ElementById(start)->MetaTypeName(), u"StartEvent");
  EXPECT_EQ(host->ElementById(start)->BaseType(), u"Event");
  EXPECT_EQ(host->ElementById(gateway)->BaseType(), u"Decision");
  EXPECT_EQ(host->ElementById(lane)->BaseType(), u"ActivityPartition");
  EXPECT_EQ(host->ElementById(group)->BaseType(), u"SysBoundary");
  EXPECT_EQ(host->ElementById(property)->BaseType(), u"Attribute");
  EXPECT_EQ(host->ElementById(web_service)->BaseType(), u"Class");
  EXPECT_EQ(host->ElementById(other)->MetaTypeName(), u"Something");
  EXPECT_EQ(host->ElementById(other)->BaseType(), u"");
  EXPECT_EQ(host->ElementById(plain)->MetaTypeName(), u"");
  EXPECT_EQ(host->ElementById(given)->MetaTypeName(), u"Custom");
  EXPECT_EQ(host->ElementById(given)->BaseType(), u"ObjectNode");
}

TEST(ModelDerivations, KeyDefaultsToTheDecimalId) {
  ModelBuilder b;
  const auto plain = b.Element(u"Activity");
  const auto keyed = b.Element(u"Activity");
  b.element(keyed).key = u"Task_1";
  auto host = b.Host();
  EXPECT_EQ(host->model().FindElement(plain)->data().key, u"10");
  EXPECT_EQ(host->model().FindElement(keyed)->data().key, u"Task_1");
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
  EXPECT_EQ(ConnectorIds(*host->ElementById(a)),
            (std::vector<std::int32_t>{x * 1000 + a, a * 1000 + a, a * 1000 + y}));
  EXPECT_EQ(ConnectorIds(*host->ElementById(x)), (std::vector<std::int32_t>{x * 1000 + a, y * 1000 + x}));
}

TEST(ModelDerivations, ChildrenAndNestedElementsListTheDirectChildrenInFileOrder) {
  ModelBuilder b;
  const auto pool = b.Element(u"Pool");
  const auto sub = b.Element(u"Activity", u"", pool);
  const auto inner = b.Element(u"StartEvent", u"", sub);
  const auto task = b.Element(u"Activity", u"", pool);
  const auto outside = b.Element(u"Activity");
  auto host = b.Host();
  auto element = host->ElementById(pool);
  EXPECT_EQ(ElementIds(*element->Children()), (std::vector<std::int32_t>{sub, task}));
  EXPECT_EQ(ElementIds(*element->NestedElements()), (std::vector<std::int32_t>{sub, task}));
  EXPECT_EQ(ElementIds(*host->ElementById(sub)->Children()), (std::vector<std::int32_t>{inner}));
  EXPECT_EQ(host->ElementById(outside)->Children()->Count(), 0);
}

TEST(ModelDerivations, ChildrenMayPrecedeTheirParentInTheFile) {
  ModelBuilder b;
  const auto child = b.Element(u"Activity");
  const auto parent = b.Element(u"Pool");
  b.element(child).parent = parent;
  auto host = b.Host();
  EXPECT_EQ(ElementIds(*host->ElementById(parent)->Children()), (std::vector<std::int32_t>{child}));
}

TEST(ModelDerivations, DiagramsBelongToTheirElementOrElseToTheirPackage) {
  ModelBuilder b;
  const auto sub = b.Element(u"Activity");
  const auto top = b.Diagram(u"Top");
  const auto inner = b.Diagram(u"Inner");
  b.data().diagrams.back().parent = sub;
  auto host = b.Host();
  auto package_diagrams = host->model().FindPackage(ModelBuilder::kProcessPackage)->diagrams().items();
  ASSERT_EQ(package_diagrams.size(), 1u);
  EXPECT_EQ(package_diagrams[0]->Id(), top);
  EXPECT_EQ(host->ElementById(sub)->OwnedDiagrams()->ItemCount(), 1);
  EXPECT_EQ(host->model().FindElement(sub)->owned_diagrams().items()[0]->Id(), inner);
}

TEST(ModelDerivations, TagsKeepFileOrderAndRepeatedNames) {
  ModelBuilder b;
  const auto e = b.Element(u"StartEvent");
  b.Tag(e, u"Trigger", u"None").Tag(e, u"Message", u"").Tag(e, u"Trigger", u"Timer");
  auto host = b.Host();
  std::vector<std::u16string> seen;
  auto tags = host->ElementById(e)->Tags();
  for (auto tag : *tags) seen.push_back(tag->Name() + u"=" + tag->Value());
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"Trigger=None", u"Message=", u"Trigger=Timer"}));
}

TEST(ModelDerivations, PlacementsKeepOrderAndRepeats) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  const auto c = b.Element(u"Activity");
  const auto d = b.Diagram(u"D", {c, a, c});
  auto host = b.Host();
  std::vector<std::int32_t> placed;
  auto placements = host->ActiveDiagram()->Placements();
  for (auto p : *placements) placed.push_back(p->PlacedElementId());
  EXPECT_EQ(host->ActiveDiagram()->Id(), d);
  EXPECT_EQ(placed, (std::vector<std::int32_t>{c, a, c}));
}

TEST(ModelLookups, UnknownElementFailsUnknownConnectorIsUnset) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  b.Connector(a, a, u"SequenceFlow");
  auto host = b.Host();
  try {
    host->ElementById(999);
    FAIL() << "ElementById(999) returned";
  } catch (const host::Error& e) {
    EXPECT_EQ(e.kind(), host::ErrorKind::host);
  }
  EXPECT_FALSE(host->ConnectorById(999));
  EXPECT_TRUE(host->ConnectorById(100));
}

TEST(ModelLookups, CollectionIndexPastTheEndFailsWithIndex) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  auto host = b.Host();
  try {
    host->ElementById(a)->Tags()->GetAt(0);
    FAIL();
  } catch (const host::Error& e) {
    EXPECT_EQ(e.kind(), host::ErrorKind::index);
  }
}

TEST(ModelLookups, SparseIdsResolveThroughTheHashIndex) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  b.element(a).id = 2000000000;
  const auto c = b.Element(u"Activity");
  b.element(c).id = -7;
  auto host = b.Host();
  EXPECT_EQ(host->ElementById(2000000000)->Id(), 2000000000);
  EXPECT_EQ(host->ElementById(-7)->Id(), -7);
  EXPECT_FALSE(host->model().FindElement(0));
}

TEST(ModelLookups, MemberReadsReturnTheSameStringAndCollectionObjects) {
  ModelBuilder b;
  const auto a = b.Element(u"Activity");
  auto host = b.Host();
  auto element = host->ElementById(a);
  EXPECT_EQ(&element->StereotypeName(), &element->StereotypeName());
  EXPECT_EQ(element->ConnectorList().shared().get(), element->ConnectorList().shared().get());
  EXPECT_EQ(element->Children().shared().get(), element->NestedElements().shared().get());
  EXPECT_EQ(host->ElementById(a).shared().get(), element.shared().get());
}

TEST(IdIndex, GrowsAndSwitchesToHashing) {
  kelvo::IdIndex index;
  EXPECT_EQ(index.Build({5, 6, 7}), kelvo::IdIndex::kNone);
  index.Add(9, 3);
  index.Add(1 << 30, 4);
  index.Add(-3, 5);
  EXPECT_EQ(index.Find(5), 0u);
  EXPECT_EQ(index.Find(7), 2u);
  EXPECT_EQ(index.Find(9), 3u);
  EXPECT_EQ(index.Find(1 << 30), 4u);
  EXPECT_EQ(index.Find(-3), 5u);
  EXPECT_EQ(index.Find(8), kelvo::IdIndex::kNone);
  EXPECT_EQ(index.Build({1, 2, 1}), 2u);
}

}  // namespace
