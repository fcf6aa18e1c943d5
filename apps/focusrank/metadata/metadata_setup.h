// exiv2 made ready once for the whole program.
#ifndef FOCUSRATE_METADATA_SETUP_H
#define FOCUSRATE_METADATA_SETUP_H

/// The XMP namespace of the project's own properties, and its prefix.
constexpr const char* kProjectNamespace = "http://ns.focusrate.org/1.0/";
constexpr const char* kProjectPrefix = "focusrate";

/// Readies exiv2's XMP toolkit, registers the project's namespace and keeps
/// exiv2's warnings off stderr (a bad file is said in its row). Call once,
/// before any other thread uses exiv2.
void InitMetadata();

#endif  // FOCUSRATE_METADATA_SETUP_H
