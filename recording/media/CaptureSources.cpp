#include "recording/media/CaptureSources.h"

CaptureSources::~CaptureSources() = default;
