// The node base with its default behaviour, the library's exceptions, and the
// scalar Value, which keeps every kind of content as text.
#include <cmath>
#include <sstream>

#include "jzon_detail.h"

namespace Jzon {

namespace {

// The stream's default formatting decides every number text, so a number is
// written the same way however it reaches a Value.
template <typename Number>
std::string FormatNumber(Number number) {
  std::stringstream out(std::ios::in | std::ios::out);
  out << number;
  return out.str();
}

// Reads the longest leading number of that type; the rest of the text is
// ignored. A text that starts with no number yields what the failed
// extraction leaves, which is 0 (or the type's limit when out of range).
template <typename Number>
Number ParseNumber(const std::string& text) {
  std::stringstream in(text, std::ios::in | std::ios::out);
  Number number = 0;
  in >> number;
  return number;
}

}  // namespace

TypeException::TypeException()
    : std::logic_error("A Node was used as the wrong type") {}

ValueException::ValueException()
    : std::logic_error("A Value was used as the wrong type") {}

NotFoundException::NotFoundException()
    : std::out_of_range("The node could not be found") {}

Node::~Node() = default;

bool Node::IsNull() const { return false; }
bool Node::IsString() const { return false; }
bool Node::IsNumber() const { return false; }
bool Node::IsBool() const { return false; }

std::string Node::ToString() const { throw TypeException(); }
int Node::ToInt() const { throw TypeException(); }
float Node::ToFloat() const { throw TypeException(); }
double Node::ToDouble() const { throw TypeException(); }
bool Node::ToBool() const { throw TypeException(); }

bool Node::HasChild(const std::string&) const { throw TypeException(); }
unsigned Node::ChildCount() const { return 0; }
Node& Node::ChildAt(unsigned) const { throw TypeException(); }
Node& Node::ChildNamed(const std::string&) const { throw TypeException(); }

bool Node::IsObject() const { return Kind() == ObjectNode; }
bool Node::IsArray() const { return Kind() == ArrayNode; }
bool Node::IsValue() const { return Kind() == ValueNode; }

Object& Node::AsObject() {
  if (!IsObject()) throw TypeException();
  return static_cast<Object&>(*this);
}

const Object& Node::AsObject() const {
  if (!IsObject()) throw TypeException();
  return static_cast<const Object&>(*this);
}

Array& Node::AsArray() {
  if (!IsArray()) throw TypeException();
  return static_cast<Array&>(*this);
}

const Array& Node::AsArray() const {
  if (!IsArray()) throw TypeException();
  return static_cast<const Array&>(*this);
}

Value& Node::AsValue() {
  if (!IsValue()) throw TypeException();
  return static_cast<Value&>(*this);
}

const Value& Node::AsValue() const {
  if (!IsValue()) throw TypeException();
  return static_cast<const Value&>(*this);
}

Value::Value() : kind_(NullValue) {}
Value::Value(const Value& other) : Node(), kind_(NullValue) { Set(other); }
Value::Value(const Node& node) : kind_(NullValue) { Set(node.AsValue()); }
Value::Value(ValueType kind, const std::string& text) : kind_(NullValue) {
  SetRaw(kind, text);
}
Value::Value(const std::string& text) : kind_(NullValue) { Set(text); }
Value::Value(const char* text) : kind_(NullValue) { Set(text); }
Value::Value(int number) : kind_(NullValue) { Set(number); }
Value::Value(float number) : kind_(NullValue) { Set(number); }
Value::Value(double number) : kind_(NullValue) { Set(number); }
Value::Value(bool flag) : kind_(NullValue) { Set(flag); }
Value::~Value() = default;

Value& Value::operator=(const Value& other) {
  Set(other);
  return *this;
}

Value& Value::operator=(const Node& node) {
  if (&node != this) Set(node.AsValue());
  return *this;
}

Value& Value::operator=(const std::string& text) {
  Set(text);
  return *this;
}

Value& Value::operator=(const char* text) {
  Set(text);
  return *this;
}

Value& Value::operator=(int number) {
  Set(number);
  return *this;
}

Value& Value::operator=(float number) {
  Set(number);
  return *this;
}

Value& Value::operator=(double number) {
  Set(number);
  return *this;
}

Value& Value::operator=(bool flag) {
  Set(flag);
  return *this;
}

NodeType Value::Kind() const { return ValueNode; }
bool Value::IsNull() const { return kind_ == NullValue; }
bool Value::IsString() const { return kind_ == StringValue; }
bool Value::IsNumber() const { return kind_ == NumberValue; }
bool Value::IsBool() const { return kind_ == BoolValue; }

std::string Value::ToString() const { return IsNull() ? "null" : text_; }

int Value::ToInt() const {
  if (IsNull()) return 0;
  if (!IsNumber()) throw ValueException();
  return ParseNumber<int>(text_);
}

float Value::ToFloat() const {
  if (IsNull()) return 0.0f;
  if (!IsNumber()) throw ValueException();
  return ParseNumber<float>(text_);
}

double Value::ToDouble() const {
  if (IsNull()) return 0.0;
  if (!IsNumber()) throw ValueException();
  return ParseNumber<double>(text_);
}

bool Value::ToBool() const {
  if (IsNull()) return false;
  if (!IsBool()) throw ValueException();
  return text_ == "true";
}

Node* Value::Clone() const { return new Value(*this); }

ValueType Value::ValueKind() const { return kind_; }

void Value::Set(const Value& other) {
  if (&other == this) return;
  text_ = other.text_;
  kind_ = other.kind_;
}

void Value::SetNull() {
  text_.clear();
  kind_ = NullValue;
}

void Value::SetRaw(ValueType kind, const std::string& text) {
  text_ = text;
  kind_ = kind;
}

void Value::Set(const std::string& text) { SetRaw(StringValue, detail::UnescapeText(text)); }
// A null pointer holds no text at all, so it becomes a null value.
void Value::Set(const char* text) {
  if (text == nullptr) {
    SetNull();
  } else {
    Set(std::string(text));
  }
}
void Value::Set(int number) { SetRaw(NumberValue, FormatNumber(number)); }

// JSON has no spelling for NaN or infinity; null keeps written documents valid.
// A float widened to double formats exactly as the stream's float insertion.
void Value::Set(float number) { Set(static_cast<double>(number)); }

void Value::Set(double number) {
  if (std::isfinite(number)) {
    SetRaw(NumberValue, FormatNumber(number));
  } else {
    SetNull();
  }
}

void Value::Set(bool flag) { SetRaw(BoolValue, flag ? "true" : "false"); }

}  // namespace Jzon
