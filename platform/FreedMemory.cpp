#include "platform/FreedMemory.h"

#include <malloc.h>

namespace norvane::platform::FreedMemory {

void limitArenas(int arenas) { mallopt(M_ARENA_MAX, arenas); }

void release() { malloc_trim(0); }

} // namespace norvane::platform::FreedMemory
