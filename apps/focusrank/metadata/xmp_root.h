// Whether a file is XMP at all, before any XMP parser sees it: the toolkit
// reads RDF out of any XML, so a sidecar name on some other document would
// otherwise be replaced by a packet.
#ifndef FOCUSRATE_XMP_ROOT_H
#define FOCUSRATE_XMP_ROOT_H

#include <string>

namespace focusrate {

/// True when the first element of text (after a byte order mark, white
/// space, processing instructions such as <?xpacket?> and comments) is
/// xmpmeta in the namespace adobe:ns:meta/ or RDF in the RDF namespace,
/// declared on that element under its own prefix (x:xmpmeta, rdf:RDF) or as
/// the default namespace. A document type declaration makes it false.
bool HasXmpRoot(const std::string& text);

}  // namespace focusrate

#endif  // FOCUSRATE_XMP_ROOT_H
