#include "panel/animation/view_environment.h"

namespace ViewEnvironment {
namespace {
bool preview = false;
bool reduced = false;
} // namespace

bool renderingPreview() {
    return preview;
}
void setRenderingPreview(bool on) {
    preview = on;
}

bool reducedMotion() {
    return reduced;
}
void setReducedMotion(bool on) {
    reduced = on;
}

} // namespace ViewEnvironment
