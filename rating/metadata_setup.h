// exiv2 for one file at a time, left as it was found.
#ifndef FOCUSRATE_METADATA_SETUP_H
#define FOCUSRATE_METADATA_SETUP_H

#include <mutex>
#include <string>

namespace focusrate {

/// The XMP namespace of the project's own properties, and its prefix.
constexpr const char* kProjectNamespace = "http://ns.focusrate.org/1.0/";
constexpr const char* kProjectPrefix = "focusrate";

/// Every use of exiv2 (reading a capture time, merging a sidecar) happens
/// inside one scope. exiv2 and its XMP toolkit keep process-wide namespace
/// tables that each packet read changes: a packet binding the prefix xmp to
/// another URI would re-register xmp for every later file. So a scope starts
/// from the tables exiv2 ships plus the project's namespace and tears them
/// down (freeing what packets registered) when it ends; scopes run one at a
/// time, from any thread. exiv2's warnings stay off stderr (a bad file is
/// said in its row). Scopes must not nest.
///   const MetadataScope scope;
///   Exiv2::XmpParser::decode(xmp, packet);
///   if (!scope.ForeignPrefix().empty()) ...  // the packet cannot be trusted
class MetadataScope {
 public:
  MetadataScope();
  ~MetadataScope();
  MetadataScope(const MetadataScope&) = delete;
  MetadataScope& operator=(const MetadataScope&) = delete;

  /// A prefix known when the scope began (exiv2's own, the toolkit's, or
  /// focusrate) that a packet read since bound to another namespace, "" when
  /// none: the packet's properties under it cannot be told from the real ones.
  std::string ForeignPrefix() const;
  /// A namespace a packet read since uses whose URI ends in neither / nor #,
  /// "" when none: exiv2 would write its properties under the URI with a /
  /// added, into another namespace.
  std::string AlteredNamespace() const;

 private:
  std::lock_guard<std::mutex> lock_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_METADATA_SETUP_H
