#include "sidecar_marks.h"

namespace focusrate {

MarkState DecideMark(const MarkState& here, const std::string& elsewhere, const std::string& wanted,
                     bool overwrite) {
  const std::string users = here.Users().empty() ? elsewhere : here.Users();
  if (!wanted.empty() && (overwrite || users.empty())) return {wanted, wanted};
  return {users, std::string()};
}

}  // namespace focusrate
