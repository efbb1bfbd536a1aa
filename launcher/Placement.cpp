#include "launcher/Placement.h"

namespace launcher {

WindowPlacement CentredPlacement(int screenWidth, int screenHeight, int width, int height) {
    // C++ integer division truncates toward zero, which is the rule we want
    // for negative halves too; an arithmetic shift would round down instead.
    return {(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

}  // namespace launcher
