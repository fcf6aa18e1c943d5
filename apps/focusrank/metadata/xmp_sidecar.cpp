#include "xmp_sidecar.h"

#include <cerrno>
#include <cstring>
#include <exiv2/exiv2.hpp>
#include <iterator>
#include <map>

#include "failure_text.h"
#include "folder_files.h"
#include "metadata_setup.h"
#include "sidecar_marks.h"
#include "xmp_root.h"

namespace focusrate {

namespace {

const std::string kOwnKeys = std::string("Xmp.") + kProjectPrefix + ".";
const std::string kRatingRecord = kOwnKeys + "SetRating";
const std::string kLabelRecord = kOwnKeys + "SetLabel";
const std::string kRating = "Xmp.xmp.Rating";
const std::string kLabel = "Xmp.xmp.Label";

// An image's folder and the names in it that matter.
struct ImageFiles {
  std::string folder, image, sidecar, otherSidecar;
};

ImageFiles FilesOf(const std::string& image, SidecarNaming naming) {
  const std::string::size_type slash = image.rfind('/');
  const std::string name = image.substr(slash == std::string::npos ? 0 : slash + 1);
  const SidecarNaming other =
      naming == SidecarNaming::Append ? SidecarNaming::Replace : SidecarNaming::Append;
  return {slash == std::string::npos ? "."
          : slash == 0               ? "/"
                                     : image.substr(0, slash),
          name, SidecarPath(name, naming), SidecarPath(name, other)};
}

std::string Text(const Exiv2::XmpData& xmp, const std::string& key) {
  const auto found = xmp.findKey(Exiv2::XmpKey(key));
  return found == xmp.end() ? std::string() : found->toString();
}

// Sets key to value; "" removes it.
void Put(Exiv2::XmpData& xmp, const std::string& key, const std::string& value) {
  const auto found = xmp.findKey(Exiv2::XmpKey(key));
  if (found != xmp.end()) xmp.erase(found);
  if (!value.empty()) xmp[key] = value;
}

using Flat = std::multimap<std::string, std::string>;

Flat Flatten(const Exiv2::XmpData& xmp) {
  Flat all;
  for (const Exiv2::Xmpdatum& datum : xmp) all.emplace(datum.key(), datum.toString());
  return all;
}

struct UsersMarks {
  std::string rating, label;
};

// The user's marks in the other naming's sidecar and in the image's own XMP,
// each read in a scope of its own; a file without XMP has none. "" or why the
// sidecar must not be written.
std::string FindUsersMarks(const Folder& folder, const ImageFiles& files, UsersMarks& marks) {
  for (const std::string& name : {files.otherSidecar, files.image}) {
    FileContents file;
    if (name == files.sidecar || folder.Read(name, file) != 0 || file.kind != FileKind::Regular)
      continue;
    const MetadataScope scope;
    Exiv2::XmpData xmp;
    try {
      if (name == files.image) {
        const auto image =
            Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(file.bytes.data()),
                                      static_cast<long>(file.bytes.size()));
        image->readMetadata();
        xmp = image->xmpData();
      } else if (!HasXmpRoot(file.bytes) || Exiv2::XmpParser::decode(xmp, file.bytes) != 0) {
        continue;
      }
    } catch (const Exiv2::Error&) {
      continue;
    }
    const std::string foreign = scope.ForeignPrefix();
    if (!foreign.empty()) return "foreign namespace for prefix " + foreign + " in " + name;
    if (marks.rating.empty())
      marks.rating = MarkState{Text(xmp, kRating), Text(xmp, kRatingRecord)}.Users();
    if (marks.label.empty())
      marks.label = MarkState{Text(xmp, kLabel), Text(xmp, kLabelRecord)}.Users();
  }
  return std::string();
}

// Sets one kind of mark and its record as DecideMark chooses, and adds what
// changed to the note's list.
void Revise(Exiv2::XmpData& xmp, const char* what, const std::string& key,
            const std::string& recordKey, const std::string& elsewhere, const WantedMark& wanted,
            bool overwrite, std::string& changed) {
  if (!wanted.revise) return;
  const MarkState here{Text(xmp, key), Text(xmp, recordKey)};
  const MarkState chosen = DecideMark(here, elsewhere, wanted.value, overwrite);
  Put(xmp, recordKey, chosen.record);
  if (chosen.value == here.value) return;
  Put(xmp, key, chosen.value);
  changed += (changed.empty() ? "" : ", ") + std::string(what) + " " +
             (chosen.value.empty() ? "removed" : chosen.value);
}

SidecarOutcome Merge(const Folder& folder, const ImageFiles& files, const SidecarUpdate& update,
                     bool overwrite, bool dryRun) {
  FileContents old;
  if (const int error = folder.Read(files.sidecar, old))
    return SidecarNotWritten(CannotText("read", error));
  if (old.kind == FileKind::Link) return SidecarNotWritten("symbolic link");
  if (old.kind == FileKind::Other) return SidecarNotWritten("not a regular file");
  if (!old.bytes.empty() && !HasXmpRoot(old.bytes)) return SidecarNotWritten("not XMP");
  UsersMarks elsewhere;
  if (update.rating.revise || update.label.revise) {
    const std::string why = FindUsersMarks(folder, files, elsewhere);
    if (!why.empty()) return SidecarNotWritten(why);
  }
  const MetadataScope scope;
  Exiv2::XmpData xmp;
  if (Exiv2::XmpParser::decode(xmp, old.bytes) != 0)
    return SidecarNotWritten("not well-formed XMP");
  const std::string foreign = scope.ForeignPrefix();
  if (!foreign.empty()) return SidecarNotWritten("foreign namespace for prefix " + foreign);
  const std::string altered = scope.AlteredNamespace();
  if (!altered.empty()) return SidecarNotWritten("cannot keep namespace " + altered);
  const Flat before = Flatten(xmp);
  for (auto it = xmp.begin(); it != xmp.end();) {
    const std::string key = it->key();
    const bool replaced = key.compare(0, kOwnKeys.size(), kOwnKeys) == 0 && key != kRatingRecord &&
                          key != kLabelRecord;
    it = replaced ? xmp.erase(it) : std::next(it);
  }
  for (const auto& [name, text] : update.own) xmp[kOwnKeys + name] = text;
  std::string changed;
  Revise(xmp, "rating", kRating, kRatingRecord, elsewhere.rating, update.rating, overwrite,
         changed);
  Revise(xmp, "label", kLabel, kLabelRecord, elsewhere.label, update.label, overwrite, changed);
  if (old.kind == FileKind::Regular && Flatten(xmp) == before) return {false, "unchanged"};
  const std::string marks = changed.empty() ? "" : " (" + changed + ")";
  if (dryRun) {
    const int error = folder.CheckWritable(old);
    return error ? SidecarNotWritten(CannotText("replace", error))
                 : SidecarOutcome{false, "would write" + marks};
  }
  std::string text;
  if (Exiv2::XmpParser::encode(
          text, xmp, Exiv2::XmpParser::omitPacketWrapper | Exiv2::XmpParser::useCompactFormat) != 0)
    return SidecarNotWritten("cannot encode XMP");
  const int error = folder.Replace(files.sidecar, text, old);
  if (error == ELOOP) return SidecarNotWritten("symbolic link");
  if (error) return SidecarNotWritten(CannotText("replace", error));
  return {false, "written" + marks};
}

}  // namespace

SidecarOutcome SidecarNotWritten(const std::string& why) {
  return {true, "sidecar not written: " + why};
}

SidecarOutcome UpdateSidecar(const std::string& image, SidecarNaming naming,
                             const SidecarUpdate& update, bool overwriteRatings, bool dryRun) {
  const ImageFiles files = FilesOf(image, naming);
  Folder folder(files.folder);
  if (folder.OpenError()) return SidecarNotWritten(CannotText("read folder", folder.OpenError()));
  if (const int error = folder.Lock()) return SidecarNotWritten(CannotText("lock folder", error));
  try {
    return Merge(folder, files, update, overwriteRatings, dryRun);
  } catch (const Exiv2::Error& e) {
    return SidecarNotWritten(e.what());
  }
}

}  // namespace focusrate
