#pragma once

#include <cstdint>

namespace quelm::platform {

// How many transactions that wrote to a database were committed in this run, on any connection. A window that
// shows rows read earlier remembers the count it read them at; another count means they may have changed since.
std::uint64_t CommittedWrites();

} // namespace quelm::platform
