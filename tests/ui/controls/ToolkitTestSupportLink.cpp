// The control tests use the same helpers as the core tests (memory canvases, recording
// owners, a small dialog): compiled into this executable from their one source.
#include "ui/core/ToolkitTestSupport.cpp"
