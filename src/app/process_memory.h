#pragma once

namespace lumivane::cli {

// Lets the allocator keep freed memory for the next page rather than hand it back to the system
// at once. A page's texts and tree are a few hundred KB each, above the size at which the C
// library maps and unmaps memory for every allocation; restyling page after page, and on several
// threads, then spends more time in page faults and in the kernel flushing every core's address
// tables than on the page itself. Call first thing in main, before any thread starts.
void keepFreedMemoryForReuse();

}  // namespace lumivane::cli
