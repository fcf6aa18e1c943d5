// The README's "Jzon in five minutes" snippets, compiled and run, so the
// documentation breaks the build when the API drifts from it. Each text
// between "README snippet" and "end of snippet" is quoted verbatim there.
#include <gtest/gtest.h>

#include <iostream>
#include <vector>

#include "jzon_test_util.h"
#include "scratch_files.h"

TEST(ReadmeTour, BuildWriteReadSaveAndLoad) {
  const ScratchDir dir;
  const std::string path = dir / "tour.json";
  // README snippet: build
  Jzon::Object doc;                  // an empty object; members keep insertion order
  doc.Add("image", "lena.png");      // strings, numbers and booleans become Values
  doc.Add("Laplace", 12.5);
  doc.Add("sharp", true);
  Jzon::Array size;                  // containers nest
  size.Add(512);
  size.Add(384);
  doc.Add("size", size);             // Add stores a deep copy; size stays yours
  // end of snippet

  // README snippet: write
  Jzon::Emitter emitter(doc, Jzon::CompactStyle);  // borrows doc: keep it alive
  emitter.Write();
  std::string compact = emitter.GetResult();
  // {"image":"lena.png","Laplace":12.5,"sharp":true,"size":[512,384]}

  emitter.SetStyle(Jzon::IndentedStyle);           // one TAB per level
  emitter.Write();                                 // rebuilds the text
  std::string indented = emitter.GetResult();
  // end of snippet
  EXPECT_EQ(compact, R"({"image":"lena.png","Laplace":12.5,"sharp":true,"size":[512,384]})");

  // README snippet: read
  double laplace = doc.ChildNamed("Laplace").ToDouble();  // 12.5
  int width = doc.ChildNamed("size").ChildAt(0).ToInt();  // 512
  std::vector<std::string> names;
  for (const auto& member : doc) names.push_back(member.first);
  // doc.ChildNamed("missing") throws Jzon::NotFoundException;
  // doc.ChildNamed("image").ToInt() throws Jzon::ValueException.
  // end of snippet
  EXPECT_EQ(laplace, 12.5);
  EXPECT_EQ(width, 512);
  EXPECT_EQ(names, (std::vector<std::string>{"image", "Laplace", "sharp", "size"}));

  // README snippet: save
  // Replaces the file whole, or keeps the old one and returns false.
  if (!Jzon::FileSaver::SaveFile(path, doc, Jzon::IndentedStyle)) {
    std::cerr << "cannot write " << path << '\n';
  }
  // end of snippet
  EXPECT_EQ(ReadBytes(path), indented);

  // README snippet: load
  Jzon::FileLoader loader(path);                     // reads the file whole
  std::unique_ptr<Jzon::Node> root;                  // the caller owns the root
  switch (loader.DetectNodeType()) {                 // '{' object, '[' array, else value
    case Jzon::ObjectNode: root.reset(new Jzon::Object); break;
    case Jzon::ArrayNode: root.reset(new Jzon::Array); break;
    case Jzon::ValueNode: root.reset(new Jzon::Value); break;
  }
  if (!loader.ParseInto(*root)) {                    // never throws for bad text
    std::cerr << path << ": " << loader.ErrorMessage() << '\n';
  }
  // end of snippet
  EXPECT_EQ(jzon_test::Describe(*root), jzon_test::Describe(doc));
}
