// The shared state that the pages, the backdrop and the browse dialog read, as the start-up would
// leave it for a product "Quorra Pad", for tests that run them inside the test program.
#pragma once

// Resets the state and fills in the instance, the screen size, the product name and captions,
// the destination and a minimum space of 1024 KB.
void PrepareQuorraPadState(const char* destination = "C:\\QUORRA");
