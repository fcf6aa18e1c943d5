#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "jzon.h"

namespace {

std::vector<std::string> MemberNames(const Jzon::Object& object) {
  std::vector<std::string> names;
  for (const auto& member : object) names.push_back(member.first);
  return names;
}

std::vector<int> ElementInts(const Jzon::Array& array) {
  std::vector<int> ints;
  for (const Jzon::Node& element : array) ints.push_back(element.ToInt());
  return ints;
}

TEST(ContainersEmpty, NewContainersHoldNothing) {
  const Jzon::Object object;
  const Jzon::Array array;
  EXPECT_EQ(object.ChildCount(), 0u);
  EXPECT_EQ(array.ChildCount(), 0u);
  EXPECT_FALSE(object.begin() != object.end());
  EXPECT_FALSE(array.begin() != array.end());
  EXPECT_FALSE(object.HasChild(""));
}

TEST(ObjectMembers, DuplicateNamesAreKeptAndFoundFirst) {
  Jzon::Object object;
  object.Add("x", 1);
  object.Add("y", 2);
  object.Add("x", 3);
  EXPECT_EQ(object.ChildCount(), 3u);
  EXPECT_EQ(MemberNames(object), (std::vector<std::string>{"x", "y", "x"}));
  EXPECT_EQ(object.ChildNamed("x").ToInt(), 1);

  object.Remove("x");
  EXPECT_EQ(object.ChildNamed("x").ToInt(), 3);
  EXPECT_EQ(MemberNames(object), (std::vector<std::string>{"y", "x"}));
  object.Remove("absent");
  EXPECT_EQ(object.ChildCount(), 2u);
}

TEST(ObjectMembers, MissingNamesAndCaseAreExact) {
  Jzon::Object object;
  object.Add("Laplace", 1.5);
  EXPECT_TRUE(object.HasChild("Laplace"));
  EXPECT_FALSE(object.HasChild("laplace"));
  EXPECT_THROW(object.ChildNamed("laplace"), Jzon::NotFoundException);
  EXPECT_THROW(object.ChildAt(0), Jzon::TypeException);
  EXPECT_EQ(object.ChildCount(), 1u);
}

TEST(ArrayElements, IndexAccessAndRemovalShiftDown) {
  Jzon::Array array;
  for (int i = 10; i <= 30; i += 10) array.Add(i);
  EXPECT_EQ(ElementInts(array), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(array.ChildAt(2).ToInt(), 30);
  EXPECT_THROW(array.ChildAt(3), Jzon::NotFoundException);
  EXPECT_THROW(array.ChildNamed("a"), Jzon::TypeException);

  array.Remove(3);
  EXPECT_EQ(array.ChildCount(), 3u);
  array.Remove(0);
  EXPECT_EQ(ElementInts(array), (std::vector<int>{20, 30}));
  array.Clear();
  EXPECT_EQ(array.ChildCount(), 0u);
  EXPECT_FALSE(array.begin() != array.end());
}

TEST(ContainersCopies, AddedNodesAreIndependentCopies) {
  Jzon::Value value(1);
  Jzon::Array inner;
  inner.Add(value);
  Jzon::Object object;
  object.Add("v", value);
  object.Add("inner", inner);

  value = 2;
  inner.Add(3);
  inner.ChildAt(0).AsValue() = 9;
  EXPECT_EQ(object.ChildNamed("v").ToInt(), 1);
  EXPECT_EQ(ElementInts(object.ChildNamed("inner").AsArray()), (std::vector<int>{1}));

  Jzon::Object copy(object);
  copy.ChildNamed("inner").AsArray().Add(4);
  copy.ChildNamed("v").AsValue() = "changed";
  EXPECT_EQ(object.ChildNamed("inner").ChildCount(), 1u);
  EXPECT_EQ(object.ChildNamed("v").ToInt(), 1);
}

TEST(ContainersCopies, AddingAContainerToItselfCopiesItsOldState) {
  Jzon::Array array;
  array.Add(1);
  array.Add(array);
  ASSERT_EQ(array.ChildCount(), 2u);
  EXPECT_EQ(ElementInts(array.ChildAt(1).AsArray()), (std::vector<int>{1}));

  Jzon::Object object;
  object.Add("a", true);
  object.Add("self", object);
  EXPECT_EQ(object.ChildNamed("self").ChildCount(), 1u);
  EXPECT_TRUE(object.ChildNamed("self").ChildNamed("a").ToBool());
}

TEST(ContainersCopies, ConvertingConstructorsCheckTheKind) {
  Jzon::Array array;
  array.Add("s");
  const Jzon::Node& arrayNode = array;
  EXPECT_THROW(Jzon::Object{arrayNode}, Jzon::TypeException);
  EXPECT_THROW(Jzon::Array{Jzon::Value(1)}, Jzon::TypeException);
  const Jzon::Array copy(arrayNode);
  EXPECT_EQ(copy.ChildAt(0).ToString(), "s");

  std::unique_ptr<Jzon::Node> clone(array.Clone());
  EXPECT_TRUE(clone->IsArray());
  EXPECT_NE(&clone->ChildAt(0), &array.ChildAt(0));
}

TEST(ContainersAdopt, AdoptTakesTheNodeWithoutCopying) {
  auto inner = std::make_unique<Jzon::Array>();
  inner->Add(7);
  Jzon::Node* const address = inner.get();
  Jzon::Object object;
  object.Adopt("inner", std::move(inner));
  EXPECT_EQ(inner.get(), nullptr);
  EXPECT_EQ(&object.ChildNamed("inner"), address);

  Jzon::Array array;
  array.Adopt(std::make_unique<Jzon::Value>("x"));
  array.Adopt(std::make_unique<Jzon::Object>(std::move(object)));
  EXPECT_EQ(object.ChildCount(), 0u);
  EXPECT_EQ(&array.ChildAt(1).ChildNamed("inner"), address);
  EXPECT_EQ(array.ChildAt(0).ToString(), "x");
}

TEST(ContainersMove, MovingLeavesTheSourceEmpty) {
  Jzon::Array array;
  array.Add(1);
  Jzon::Node* const element = &array.ChildAt(0);
  Jzon::Array moved(std::move(array));
  EXPECT_EQ(array.ChildCount(), 0u);
  EXPECT_EQ(&moved.ChildAt(0), element);
}

// Nesting as deep as the parser accepts must survive copying and destruction
// without exhausting the call stack (the sanitizer build has larger frames).
TEST(ContainersDepth, ThousandLevelTreeClonesAndDestroys) {
  constexpr int kDepth = 1000;
  auto root = std::make_unique<Jzon::Array>();
  for (int level = 1; level < kDepth; ++level) {
    auto parent = std::make_unique<Jzon::Array>();
    if (level % 2 == 0) {
      parent->Adopt(std::move(root));
      root = std::move(parent);
    } else {
      auto object = std::make_unique<Jzon::Object>();
      object->Adopt("n", std::move(root));
      parent->Adopt(std::move(object));
      root = std::move(parent);
    }
  }
  std::unique_ptr<Jzon::Node> clone(root->Clone());
  int depth = 0;
  for (const Jzon::Node* node = clone.get(); node->ChildCount() > 0; ++depth) {
    node = node->IsArray() ? &node->ChildAt(0) : &node->ChildNamed("n");
  }
  EXPECT_GE(depth, kDepth);
}

}  // namespace
