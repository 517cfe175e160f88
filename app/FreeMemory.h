#pragma once
// Hands the memory the start has used and freed again back to the system.

// The start decodes and renders pictures and reads the soundfont through scratch buffers; the
// allocator keeps what they freed for later, although the game never needs that much again.
// Called once when the start has settled; where the C library cannot give memory back,
// nothing happens.
void ReturnFreedMemory();
