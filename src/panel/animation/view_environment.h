#pragma once

// Process-wide facts that change how the panel's views draw.
namespace ViewEnvironment {

// While previews are rendered, views show their final, still state instead of animating.
bool renderingPreview();
void setRenderingPreview(bool on);

// The desktop asks for reduced motion: decorative animation (the airflow) draws nothing, and
// transitions jump to their end.
bool reducedMotion();
void setReducedMotion(bool on);

} // namespace ViewEnvironment
