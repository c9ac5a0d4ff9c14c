#pragma once

namespace lumivane {

// Hands memory that the program has freed back to the operating system, where the C library
// would keep it for later. Worth it after freeing a page's tree: the freed blocks lie scattered
// between others, too small for the page-sized texts that follow, so without this the process
// would hold the tree's memory and the texts' memory at once. Does nothing where the C library
// offers no way to do it.
void releaseFreedMemory();

}  // namespace lumivane
