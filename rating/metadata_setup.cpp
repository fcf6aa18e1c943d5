#include "metadata_setup.h"

#include <exiv2/exiv2.hpp>
#include <set>

namespace focusrate {

namespace {

std::mutex& ExivLock() {
  static std::mutex lock;
  return lock;
}

// exiv2's and the toolkit's, and ours; taken in the first scope, before any
// packet was read, as every later scope starts from the same tables.
const std::set<std::string>& KnownPrefixes() {
  static const std::set<std::string> known = [] {
    Exiv2::Dictionary all;
    Exiv2::XmpProperties::registeredNamespaces(all);
    std::set<std::string> prefixes;
    for (const auto& entry : all) prefixes.insert(entry.first);
    for (const auto& entry : Exiv2::XmpProperties::nsRegistry_)
      prefixes.insert(entry.second.prefix_);
    return prefixes;
  }();
  return known;
}

}  // namespace

MetadataScope::MetadataScope() : lock_(ExivLock()) {
  Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
  Exiv2::XmpParser::initialize();
  Exiv2::XmpProperties::registerNs(kProjectNamespace, kProjectPrefix);
  KnownPrefixes();
}

// Unregisters (and frees) every namespace registered since, the project's
// too, and empties the toolkit's own table; the next scope sets both up anew.
MetadataScope::~MetadataScope() { Exiv2::XmpParser::terminate(); }

std::string MetadataScope::ForeignPrefix() const {
  // exiv2 registers a packet's namespace only when it does not know the URI,
  // so a known prefix registered again names some other namespace.
  for (const auto& [ns, info] : Exiv2::XmpProperties::nsRegistry_) {
    const std::string prefix = info.prefix_;
    const bool ours = prefix == kProjectPrefix && ns == kProjectNamespace;
    if (!ours && KnownPrefixes().count(prefix) != 0) return prefix;
  }
  return std::string();
}

std::string MetadataScope::AlteredNamespace() const {
  Exiv2::Dictionary all;  // the toolkit's: URIs as the packets spelled them
  Exiv2::XmpProperties::registeredNamespaces(all);
  for (const auto& [prefix, ns] : all) {
    if (KnownPrefixes().count(prefix) == 0 && !ns.empty() && ns.back() != '/' && ns.back() != '#')
      return ns;
  }
  return std::string();
}

}  // namespace focusrate
