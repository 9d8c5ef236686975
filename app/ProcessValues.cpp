#include "app/ProcessValues.h"

namespace app {

int textCodePage = 936;

void ReleaseProcessValues() {}

}  // namespace app
