#include "app/engine/DirectDrawProbe.h"

namespace ov {

bool ProbeDirectDraw7() {
  return false;
}

}  // namespace ov
