// Parse throughput of Jzon::TextParser beside nlohmann/json and RapidJSON on
// the same bytes: number-heavy arrays, string-heavy objects with comments
// (both baselines are told to skip comments) and deeply nested objects.
// Each document is made once per size from a fixed seed, outside the timed
// loop; every parser's result is checked once before timing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>
#include <rapidjson/document.h>

#include "jzon.h"

namespace {

enum class Doc { Numbers, Strings, Nested };

struct Document {
  std::string text;
  std::size_t topCount;  // children of the root, to check each parse
};

std::string NumberText(std::mt19937& rng) {
  char buf[40];
  switch (rng() % 3) {
    case 0:
      std::snprintf(buf, sizeof buf, "%d", static_cast<int>(rng() % 2000001) - 1000000);
      break;
    case 1:
      std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(rng()) / 1000.0 - 2e6);
      break;
    default:
      std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(rng()) * 1e-7);
      break;
  }
  return buf;
}

// [[n, n, ... 8 numbers], ...]
Document MakeNumbers(std::size_t bytes, std::mt19937& rng) {
  Document doc{"[\n", 0};
  while (doc.text.size() < bytes) {
    doc.text += doc.topCount++ ? ",\n  [" : "  [";
    for (int i = 0; i < 8; ++i) {
      if (i) doc.text += ", ";
      doc.text += NumberText(rng);
    }
    doc.text += "]";
  }
  doc.text += "\n]\n";
  return doc;
}

std::string Sentence(std::mt19937& rng) {
  static const char* const kWords[] = {"focus", "sharp", "blur",     "lens", "edge",
                                       "photo", "grey",  "contrast", "tab\\there",
                                       "say \\\"cheese\\\"", "back\\\\slash", "line\\n",
                                       "caf\\u00e9"};
  const std::size_t count = 3 + rng() % 10;
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    if (i) out += ' ';
    out += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
  }
  return out;
}

// {"key_0": "words...", ...} with line and block comments between members.
Document MakeStrings(std::size_t bytes, std::mt19937& rng) {
  Document doc{"{\n", 0};
  while (doc.text.size() < bytes) {
    if (doc.topCount) doc.text += ",\n";
    if (rng() % 4 == 0) doc.text += "  // " + Sentence(rng) + "\n";
    doc.text += "  \"key_" + std::to_string(doc.topCount++) + "\": \"" + Sentence(rng) + "\"";
    if (rng() % 4 == 0) doc.text += " /* " + Sentence(rng) + " */";
  }
  doc.text += "\n}\n";
  return doc;
}

// Objects nested depth deep, each level holding a number, a string and the
// next level.
void AppendChain(std::string& text, std::size_t depth) {
  for (std::size_t level = 0; level < depth; ++level) {
    text += "{\"n\":" + std::to_string(level) + ",\"s\":\"level\",\"next\":";
  }
  text += "null";
  text.append(depth, '}');
}

// [chain, ...] with chains 1 to 900 deep, or all maxDepth deep when fixed.
Document MakeNested(std::size_t bytes, std::mt19937& rng, std::size_t maxDepth, bool fixed) {
  Document doc{"[", 0};
  while (doc.text.size() < bytes) {
    if (doc.topCount++) doc.text += ",";
    AppendChain(doc.text, fixed ? maxDepth : 1 + rng() % maxDepth);
  }
  doc.text += "]";
  return doc;
}

const Document& GetDocument(Doc kind, std::size_t megabytes) {
  static std::map<std::pair<Doc, std::size_t>, Document> cache;
  const auto key = std::make_pair(kind, megabytes);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  std::mt19937 rng(20261206u + static_cast<unsigned>(kind));
  const std::size_t bytes = megabytes << 20;
  Document doc = kind == Doc::Numbers ? MakeNumbers(bytes, rng)
                 : kind == Doc::Strings ? MakeStrings(bytes, rng)
                                        : MakeNested(bytes, rng, 900, false);
  return cache.emplace(key, std::move(doc)).first->second;
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("parse check failed: ") + what);
}

std::size_t ParseJzon(const std::string& text, bool object) {
  if (object) {
    Jzon::Object root;
    Jzon::TextParser parser(root, text);
    Check(parser.Run(), "Jzon");
    return root.ChildCount();
  }
  Jzon::Array root;
  Jzon::TextParser parser(root, text);
  Check(parser.Run(), "Jzon");
  return root.ChildCount();
}

std::size_t ParseNlohmann(const std::string& text, bool) {
  const nlohmann::json json = nlohmann::json::parse(text, nullptr, true, true);
  return json.size();
}

std::size_t ParseRapidJson(const std::string& text, bool) {
  rapidjson::Document json;
  json.Parse<rapidjson::kParseCommentsFlag>(text.data(), text.size());
  Check(!json.HasParseError(), "RapidJSON");
  return json.IsObject() ? json.MemberCount() : json.Size();
}

using ParseFn = std::size_t (*)(const std::string&, bool);

void RunParse(benchmark::State& state, Doc kind, std::size_t megabytes, ParseFn parse) {
  const Document& doc = GetDocument(kind, megabytes);
  const bool object = (kind == Doc::Strings);
  Check(parse(doc.text, object) == doc.topCount, "top-level count");
  for (auto _ : state) benchmark::DoNotOptimize(parse(doc.text, object));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc.text.size()));
}

// 4 MB of chains all of one depth (up to 999 below the root array): the
// rate must not fall as depth grows.
void RunDepth(benchmark::State& state) {
  std::mt19937 unused;
  const std::size_t depth = static_cast<std::size_t>(state.range(0));
  const Document doc = MakeNested(std::size_t{4} << 20, unused, depth, true);
  Check(ParseJzon(doc.text, false) == doc.topCount, "top-level count");
  for (auto _ : state) benchmark::DoNotOptimize(ParseJzon(doc.text, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc.text.size()));
}

}  // namespace

int main(int argc, char** argv) {
  const std::pair<const char*, Doc> docs[] = {
      {"Numbers", Doc::Numbers}, {"Strings", Doc::Strings}, {"Nested", Doc::Nested}};
  const std::pair<const char*, ParseFn> libs[] = {
      {"Jzon", ParseJzon}, {"nlohmann", ParseNlohmann}, {"RapidJSON", ParseRapidJson}};
  for (const auto& doc : docs) {
    for (std::size_t megabytes : {1, 4, 16, 64}) {
      for (const auto& lib : libs) {
        const std::string name = std::string("BM_Parse") + doc.first + "/" + lib.first + "/" +
                                 std::to_string(megabytes) + "MB";
        benchmark::RegisterBenchmark(name.c_str(), RunParse, doc.second, megabytes, lib.second)
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  benchmark::RegisterBenchmark("BM_ParseDepth/Jzon", RunDepth)
      ->Arg(10)
      ->Arg(100)
      ->Arg(999)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
