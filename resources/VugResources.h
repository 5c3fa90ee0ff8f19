#pragma once

// Registers the program's pictures (":/Pelmar/Images/..."). Resources in a static
// library are not registered by themselves; every user of a picture calls this
// first. Repeated calls do nothing.
void initVugResources();
