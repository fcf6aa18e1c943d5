// Jzon: a small JSON document library.
//
// A document is a tree of nodes: Object (named children in insertion order),
// Array (ordered children) and Value (a scalar kept as text). Containers own
// their children and always store copies. The tree can be written as text
// under a WriteStyle (Emitter, FileSaver) and read back from lenient JSON text
// (TextParser, FileLoader).
//
// Failure model:
//   - misusing the tree (wrong kind, missing child, bad conversion) throws
//     TypeException, ValueException or NotFoundException;
//   - reading text or files never throws for bad input: the call returns
//     false and ErrorMessage() holds one line saying why;
//   - saving returns false when the whole text did not reach the file.
#ifndef JZON_JZON_H
#define JZON_JZON_H

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Jzon {

class Object;
class Array;
class Value;

enum NodeType { ObjectNode = 0, ArrayNode = 1, ValueNode = 2 };

enum ValueType { NullValue = 0, StringValue = 1, NumberValue = 2, BoolValue = 3 };

/// Thrown when a node is used as a kind it is not (a container converted to a
/// scalar, ChildAt on an Object, HasChild on an Array, AsObject on a Value...).
class TypeException : public std::logic_error {
 public:
  TypeException();
};

/// Thrown when a Value is converted to a type its kind does not allow
/// (ToInt on a string, ToBool on a number...). Null never throws.
class ValueException : public std::logic_error {
 public:
  ValueException();
};

/// Thrown by Object::ChildNamed and Array::ChildAt when there is no such child.
class NotFoundException : public std::out_of_range {
 public:
  NotFoundException();
};

/// Abstract base of every node. Nodes are destroyed through Node* by their
/// owner: the container holding them, or whoever received a Clone().
class Node {
 public:
  virtual ~Node();

  virtual NodeType Kind() const = 0;
  virtual bool IsNull() const;
  virtual bool IsString() const;
  virtual bool IsNumber() const;
  virtual bool IsBool() const;

  /// Scalar conversions; the base (and so every container) throws TypeException.
  virtual std::string ToString() const;
  virtual int ToInt() const;
  virtual float ToFloat() const;
  virtual double ToDouble() const;
  virtual bool ToBool() const;

  /// Child access; TypeException on kinds that do not support it.
  virtual bool HasChild(const std::string& name) const;
  virtual unsigned ChildCount() const;
  virtual Node& ChildAt(unsigned index) const;
  virtual Node& ChildNamed(const std::string& name) const;

  /// A new deep copy, owned by the caller.
  virtual Node* Clone() const = 0;

  bool IsObject() const;
  bool IsArray() const;
  bool IsValue() const;

  /// Checked casts: TypeException when the node is of another kind.
  Object& AsObject();
  const Object& AsObject() const;
  Array& AsArray();
  const Array& AsArray() const;
  Value& AsValue();
  const Value& AsValue() const;
};

/// A scalar: null, string, number or boolean, kept as text. Numbers keep the
/// characters that spell them, so a number read from a file is written back
/// unchanged. A float or double that is NaN or infinite becomes null, since
/// JSON has no spelling for it.
///   Jzon::Value v(2.5);        // NumberValue "2.5"
///   double d = v.ToDouble();   // 2.5
class Value : public Node {
 public:
  Value();
  Value(const Value& other);
  Value(const Node& node);  // NOLINT: a Value node converts implicitly
  Value(ValueType kind, const std::string& text);
  Value(const std::string& text);  // NOLINT
  Value(const char* text);         // NOLINT
  Value(int number);               // NOLINT
  Value(float number);             // NOLINT
  Value(double number);            // NOLINT
  Value(bool flag);                // NOLINT
  ~Value() override;

  Value& operator=(const Value& other);
  Value& operator=(const Node& node);
  Value& operator=(const std::string& text);
  Value& operator=(const char* text);
  Value& operator=(int number);
  Value& operator=(float number);
  Value& operator=(double number);
  Value& operator=(bool flag);

  NodeType Kind() const override;
  bool IsNull() const override;
  bool IsString() const override;
  bool IsNumber() const override;
  bool IsBool() const override;

  /// "null" for null, otherwise the stored text (never throws).
  std::string ToString() const override;
  /// Numbers are parsed from their text on every call; null gives 0;
  /// strings and booleans throw ValueException.
  int ToInt() const override;
  float ToFloat() const override;
  double ToDouble() const override;
  /// Null gives false, a boolean whether its text is "true"; others throw.
  bool ToBool() const override;

  Node* Clone() const override;

  ValueType ValueKind() const;

  void Set(const Value& other);
  void SetNull();
  /// Stores text and kind exactly as given (no unescaping).
  void SetRaw(ValueType kind, const std::string& text);
  /// Stores the string with its escape sequences decoded (UnescapeText).
  void Set(const std::string& text);
  void Set(const char* text);
  void Set(int number);
  void Set(float number);
  void Set(double number);
  void Set(bool flag);

 private:
  std::string text_;
  ValueType kind_;
};

/// An object member: its name and the node the Object owns.
typedef std::pair<std::string, Node*> Member;

/// Position in an Object's members; yields (name, node). Invalidated by any
/// Add, Remove or Clear on the Object.
class ObjectIterator {
 public:
  explicit ObjectIterator(const Member* member);
  std::pair<std::string, Node&> operator*() const;
  ObjectIterator& operator++();
  bool operator!=(const ObjectIterator& other) const;

 private:
  const Member* member_;
};

/// Position in an Array's elements; yields the element node.
class ArrayIterator {
 public:
  explicit ArrayIterator(Node* const* element);
  Node& operator*() const;
  ArrayIterator& operator++();
  bool operator!=(const ArrayIterator& other) const;

 private:
  Node* const* element_;
};

/// Named children in insertion order. Names may repeat; look-ups find the
/// first. Every child is a copy the Object owns and deletes with itself.
///   Jzon::Object doc;
///   doc.Add("Laplace", Jzon::Value(12.5f));
class Object : public Node {
 public:
  Object();
  Object(const Object& other);
  Object(const Node& node);  // NOLINT: TypeException unless node is an Object
  Object(Object&& other) noexcept;
  Object& operator=(const Object&) = delete;
  ~Object() override;

  /// Appends a deep copy of node under name.
  void Add(const std::string& name, const Node& node);
  /// Appends a copy of value under name.
  void Add(const std::string& name, Value value);
  /// Appends node itself under name; the Object takes ownership (no copy).
  void Adopt(const std::string& name, std::unique_ptr<Node> node);
  /// Deletes the first member of that name; nothing when there is none.
  void Remove(const std::string& name);
  void Clear();

  ObjectIterator begin() const;
  ObjectIterator end() const;

  NodeType Kind() const override;
  bool HasChild(const std::string& name) const override;
  unsigned ChildCount() const override;
  /// First member of that name; NotFoundException when there is none.
  Node& ChildNamed(const std::string& name) const override;
  Node* Clone() const override;

 private:
  std::vector<Member> members_;
};

/// Ordered children. Every element is a copy the Array owns.
class Array : public Node {
 public:
  Array();
  Array(const Array& other);
  Array(const Node& node);  // NOLINT: TypeException unless node is an Array
  Array(Array&& other) noexcept;
  Array& operator=(const Array&) = delete;
  ~Array() override;

  /// Appends a deep copy of node.
  void Add(const Node& node);
  /// Appends a copy of value.
  void Add(Value value);
  /// Appends node itself; the Array takes ownership (no copy).
  void Adopt(std::unique_ptr<Node> node);
  /// Deletes the element at index; nothing when index >= ChildCount().
  void Remove(unsigned index);
  void Clear();

  ArrayIterator begin() const;
  ArrayIterator end() const;

  NodeType Kind() const override;
  unsigned ChildCount() const override;
  /// NotFoundException when index >= ChildCount().
  Node& ChildAt(unsigned index) const override;
  Node* Clone() const override;

 private:
  std::vector<Node*> elements_;
};

/// Layout of written JSON.
struct WriteStyle {
  bool multiLine;          ///< line breaks and indentation
  bool spaced;             ///< one space after ':' (and as the break when single-line)
  bool indentWithTabs;     ///< TAB rather than SPACE for indentation
  unsigned indentWidth;    ///< indentation characters per level
};

/// {"a":1,"b":[true,null]}
extern const WriteStyle CompactStyle;
/// One member per line, one TAB per level, a space after each colon.
extern const WriteStyle IndentedStyle;

namespace detail {
struct ResolvedStyle;
}

/// Turns a tree into JSON text in memory. Borrows the root: it must stay
/// alive and unchanged while Write runs.
///   Jzon::Emitter emitter(doc, Jzon::CompactStyle);
///   emitter.Write();
///   std::string text = emitter.GetResult();
class Emitter {
 public:
  Emitter(const Node& root, const WriteStyle& style);
  ~Emitter();
  Emitter(const Emitter&) = delete;
  Emitter& operator=(const Emitter&) = delete;

  /// Takes effect at the next Write.
  void SetStyle(const WriteStyle& style);
  /// Rebuilds the text from the start.
  void Write();
  const std::string& GetResult() const;

 private:
  void WriteNode(const Node& node, unsigned depth);
  void WriteObject(const Object& object, unsigned depth);
  void WriteArray(const Array& array, unsigned depth);
  void WriteValue(const Value& value);

  std::string result_;
  std::unique_ptr<detail::ResolvedStyle> layout_;
  const Node* root_;
};

/// Streams text into one file so that no reader ever sees half of it. A
/// regular file (or a path that does not exist yet; symbolic links are
/// followed to the file they end at) gets a temporary file beside it, which
/// Commit syncs and renames over the target, keeping the old file's owner
/// and group (where the caller may give them) and mode; a hard link to the
/// old file keeps the old content. Open refuses (EPERM) a file it could not
/// rename over. Other targets (/dev/stdout, pipes, devices) cannot be
/// replaced, so they are appended to directly and Commit just closes them.
/// The writer owns its descriptor and temporary file; destroying it before a
/// successful Commit removes the temporary file, leaving the old content.
/// Never throws: calls return false, LastErrno() says why (a directory target
/// gives EISDIR), and once a call has failed every later call fails too.
///   Jzon::FileWriter out("rows.csv");
///   if (!out.Open() || !out.Write(text.data(), text.size()) || !out.Commit()) ...
class FileWriter {
 public:
  explicit FileWriter(const std::string& fileName);
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  /// Decides where the text goes and creates or opens it; call once.
  bool Open();
  bool Write(const char* data, std::size_t size);
  /// Makes the written text the file's content; the writer is then closed.
  bool Commit();
  int LastErrno() const { return errno_; }
  /// The temporary file being written, "" when writing in place or closed.
  const std::string& TempPath() const { return temp_; }

  /// Open, Write and Commit of bytes in one call; on failure error holds why
  /// (an errno value) and an existing file is left as it was.
  static bool WriteFile(const std::string& fileName, const std::string& bytes, int& error);

 private:
  bool Fail();

  std::string fileName_;
  std::string target_;  ///< the file renamed over, or written in place
  std::string temp_;    ///< "" unless writing through a temporary file
  int fd_ = -1;
  int errno_ = 0;
  bool failed_ = false;
};

/// Writes one tree as JSON text into one file through a FileWriter: the text
/// is built whole first, so a failure (even running out of memory) leaves an
/// old file as it was. Returns true only when the whole text reached the file.
///   if (!Jzon::FileSaver::SaveFile("out.json", doc, Jzon::IndentedStyle)) ...
class FileSaver {
 public:
  explicit FileSaver(const std::string& fileName);
  bool Save(const Node& node, const WriteStyle& style) const;
  /// Why the last Save failed (an errno value); 0 after a success.
  int LastErrno() const { return errno_; }
  static bool SaveFile(const std::string& fileName, const Node& node,
                       const WriteStyle& style);

 private:
  std::string fileName_;
  mutable int errno_ = 0;
};

/// The root kind the text needs: '{' Object, '[' Array, anything else Value.
NodeType DetectNodeType(const std::string& json);

/// Parses lenient JSON text into a root the caller owns (and picks the kind
/// of, see DetectNodeType). Accepts comments, keywords in any case, missing
/// or repeated commas and unterminated input. Never throws for bad input:
/// Run returns false and ErrorMessage() says why; the root keeps what was
/// added before the failure. Nesting deeper than 1,000 containers fails.
///   Jzon::Object root;
///   Jzon::TextParser parser(root, text);
///   if (!parser.Run()) std::cerr << parser.ErrorMessage() << '\n';
class TextParser {
 public:
  TextParser(Node& root, const std::string& json);
  void SetText(const std::string& json);
  bool Run();
  const std::string& ErrorMessage() const;

 private:
  // Tokens are scanned on demand while the tree is built (text_scanner.h),
  // so no token list of the whole document is ever held.
  bool BuildTree();

  std::string text_;  // the text after stripping
  Node& root_;
  std::string error_;
};

/// Reads one JSON file whole, then parses it into roots the caller owns.
/// Bad input never throws: ParseInto returns false and ErrorMessage() says
/// why. The first failure sticks, so later ParseInto calls return false too.
///   Jzon::FileLoader loader(path);
///   Jzon::Object root;
///   if (!loader.ParseInto(root)) std::cerr << loader.ErrorMessage() << '\n';
class FileLoader {
 public:
  explicit FileLoader(const std::string& fileName);
  bool ParseInto(Node& root);
  NodeType DetectNodeType() const;
  const std::string& ErrorMessage() const;
  static bool LoadFile(const std::string& fileName, Node& root);

 private:
  static bool ReadWholeFile(const std::string& fileName, std::string& out);

  std::string text_;
  std::string error_;
};

}  // namespace Jzon

#endif  // JZON_JZON_H
