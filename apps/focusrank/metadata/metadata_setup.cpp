#include "metadata_setup.h"

#include <exiv2/exiv2.hpp>

void InitMetadata() {
  Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
  Exiv2::XmpParser::initialize();
  Exiv2::XmpProperties::registerNs(kProjectNamespace, kProjectPrefix);
}
