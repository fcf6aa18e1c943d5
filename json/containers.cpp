// Object and Array: containers that own their children outright. Children
// enter as copies (Add) or by handing over ownership (Adopt); nothing else
// ever deletes or shares them.
#include "jzon.h"

namespace Jzon {

ObjectIterator::ObjectIterator(const Member* member) : member_(member) {}

std::pair<std::string, Node&> ObjectIterator::operator*() const {
  return std::pair<std::string, Node&>(member_->first, *member_->second);
}

ObjectIterator& ObjectIterator::operator++() {
  ++member_;
  return *this;
}

bool ObjectIterator::operator!=(const ObjectIterator& other) const {
  return member_ != other.member_;
}

ArrayIterator::ArrayIterator(Node* const* element) : element_(element) {}

Node& ArrayIterator::operator*() const { return **element_; }

ArrayIterator& ArrayIterator::operator++() {
  ++element_;
  return *this;
}

bool ArrayIterator::operator!=(const ArrayIterator& other) const {
  return element_ != other.element_;
}

Object::Object() = default;

// Delegating to the empty constructor makes the destructor release the
// children copied so far if a later Clone throws.
Object::Object(const Object& other) : Object() {
  members_.reserve(other.members_.size());
  for (const Member& member : other.members_) {
    Adopt(member.first, std::unique_ptr<Node>(member.second->Clone()));
  }
}

Object::Object(const Node& node) : Object(node.AsObject()) {}

Object::Object(Object&& other) noexcept : Node(), members_(std::move(other.members_)) {}

Object::~Object() { Clear(); }

void Object::Add(const std::string& name, const Node& node) {
  // Cloned before anything is stored, so adding an Object to itself copies
  // it as it was and the tree stays finite.
  Adopt(name, std::unique_ptr<Node>(node.Clone()));
}

void Object::Add(const std::string& name, Value value) {
  Adopt(name, std::unique_ptr<Node>(new Value(value)));
}

void Object::Adopt(const std::string& name, std::unique_ptr<Node> node) {
  // Stored first, released after: a failed allocation leaves the node with
  // its unique_ptr, which deletes it.
  members_.emplace_back(name, node.get());
  node.release();
}

void Object::Remove(const std::string& name) {
  for (auto it = members_.begin(); it != members_.end(); ++it) {
    if (it->first == name) {
      delete it->second;
      members_.erase(it);
      return;
    }
  }
}

void Object::Clear() {
  for (Member& member : members_) {
    delete member.second;
    member.second = nullptr;
  }
  members_.clear();
}

ObjectIterator Object::begin() const {
  return ObjectIterator(members_.empty() ? nullptr : members_.data());
}

ObjectIterator Object::end() const {
  return ObjectIterator(members_.empty() ? nullptr : members_.data() + members_.size());
}

NodeType Object::Kind() const { return ObjectNode; }

bool Object::HasChild(const std::string& name) const {
  for (const Member& member : members_) {
    if (member.first == name) return true;
  }
  return false;
}

unsigned Object::ChildCount() const { return static_cast<unsigned>(members_.size()); }

Node& Object::ChildNamed(const std::string& name) const {
  for (const Member& member : members_) {
    if (member.first == name) return *member.second;
  }
  throw NotFoundException();
}

Node* Object::Clone() const { return new Object(*this); }

Array::Array() = default;

Array::Array(const Array& other) : Array() {
  elements_.reserve(other.elements_.size());
  for (const Node* element : other.elements_) {
    Adopt(std::unique_ptr<Node>(element->Clone()));
  }
}

Array::Array(const Node& node) : Array(node.AsArray()) {}

Array::Array(Array&& other) noexcept : Node(), elements_(std::move(other.elements_)) {}

Array::~Array() { Clear(); }

void Array::Add(const Node& node) { Adopt(std::unique_ptr<Node>(node.Clone())); }

void Array::Add(Value value) { Adopt(std::unique_ptr<Node>(new Value(value))); }

void Array::Adopt(std::unique_ptr<Node> node) {
  elements_.push_back(node.get());
  node.release();
}

void Array::Remove(unsigned index) {
  if (index >= elements_.size()) return;
  delete elements_[index];
  elements_.erase(elements_.begin() + index);
}

void Array::Clear() {
  for (Node*& element : elements_) {
    delete element;
    element = nullptr;
  }
  elements_.clear();
}

ArrayIterator Array::begin() const {
  return ArrayIterator(elements_.empty() ? nullptr : elements_.data());
}

ArrayIterator Array::end() const {
  return ArrayIterator(elements_.empty() ? nullptr : elements_.data() + elements_.size());
}

NodeType Array::Kind() const { return ArrayNode; }

unsigned Array::ChildCount() const { return static_cast<unsigned>(elements_.size()); }

Node& Array::ChildAt(unsigned index) const {
  if (index >= elements_.size()) throw NotFoundException();
  return *elements_[index];
}

Node* Array::Clone() const { return new Array(*this); }

}  // namespace Jzon
