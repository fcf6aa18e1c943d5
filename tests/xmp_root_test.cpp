// Which documents count as XMP before any XMP parser sees them.
#include <gtest/gtest.h>

#include "xmp_root.h"

using namespace focusrate;

namespace {

struct RootCase {
  const char* text;
  bool xmp;
};
constexpr RootCase kRoots[] = {
    {"<x:xmpmeta xmlns:x='adobe:ns:meta/'/>", true},
    {"\xEF\xBB\xBF<?xpacket begin=''?>\n<!-- a -->\n<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">", true},
    {"<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>", true},
    {"<xmpmeta xmlns = 'adobe:ns:meta/'>", true},
    {"<y:xmpmeta a='x>' xmlns:y='adobe:ns:meta/'>", true},
    {"<x:xmpmeta xmlns:y='adobe:ns:meta/'>", false},  // x is not declared
    {"<x:xmpmeta xmlns:x='adobe:ns:meta'>", false},
    {"<x:RDF xmlns:x='adobe:ns:meta/'>", false},
    {"<root><x:xmpmeta xmlns:x='adobe:ns:meta/'/></root>", false},
    {"<!DOCTYPE x><x:xmpmeta xmlns:x='adobe:ns:meta/'/>", false},
    {"<!-- <x:xmpmeta xmlns:x='adobe:ns:meta/'/>", false},
    {"<?xpacket", false},
    {"<x:xmpmeta", false},
    {"", false}};

TEST(XmpRoot, OnlyXmpmetaOrRdfInTheirOwnNamespacesCount) {
  for (const RootCase& c : kRoots) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(HasXmpRoot(c.text), c.xmp);
  }
}

}  // namespace
