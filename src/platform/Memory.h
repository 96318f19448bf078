#pragma once

namespace quelm::platform {

// Memory the program frees stays with it for the next use instead of going back to the system at once. Refilling a
// list of 100,000 records frees and takes again some 30 MB; given back and taken again page by page, that cost about
// a third as much as reading the records. Called once at start-up, before any list is filled.
void KeepFreedMemory();

} // namespace quelm::platform
